#!/usr/bin/env bash
# A real click on the lever: pulled while the button is held, at rest after the release, and
# about half a second later the three reel windows filled and the status line changed.
source "$(dirname "$0")/lib.sh" "$@"

start_x
start_game
shot spin_before

# A strip along the top of the black band of each lever, above the word: black where the band
# is, red where the other lever's plate is.
band_at_rest=60x4+473+306
band_pulled=60x4+473+375

point_at 503 358
xdotool mousedown 1
sleep 0.2
shot spin_held
[[ $(mean spin_held $band_pulled) < 0.1 && $(mean spin_held $band_at_rest) > 0.3 ]] ||
    fail "the pulled lever is not shown while the button is held"
xdotool mouseup 1
sleep 0.1
shot spin_released
[[ $(mean spin_released $band_at_rest) < 0.1 && $(mean spin_released $band_pulled) > 0.3 ]] ||
    fail "the lever at rest is not back after the release"

sleep 0.8
shot spin_after
for window in 137x57+56+136 137x57+240+136 129x57+432+136; do
    [[ $(mean spin_after $window) < 0.97 ]] || fail "reel window $window is empty"
done
status=577x41+16+48
changed=$(differing spin_before spin_after $status)
((changed > 100)) || fail "the status line did not change ($changed pixels)"
echo "status line: $changed pixels changed; screenshots in $shots"
