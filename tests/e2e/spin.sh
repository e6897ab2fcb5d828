#!/usr/bin/env bash
# A real click on the lever: pulled while the button is held, at rest after the release, and
# about half a second later the three reel windows filled and the status line changed.
source "$(dirname "$0")/lib.sh" "$@"

start_x
start_game
shot spin_before

point_at "${lever[@]}"
xdotool mousedown 1
sleep 0.2
shot spin_held
lever_pulled spin_held || fail "the pulled lever is not shown while the button is held"
xdotool mouseup 1
sleep 0.1
shot spin_released
lever_at_rest spin_released || fail "the lever at rest is not back after the release"

sleep 0.8
shot spin_after
for reel in "${reel_boxes[@]}"; do
    below "$(mean spin_after "$reel")" 0.97 || fail "reel window $reel is empty"
done
changed=$(differing spin_before spin_after $status_box)
((changed > 100)) || fail "the status line did not change ($changed pixels)"
echo "status line: $changed pixels changed; screenshots in $shots"
