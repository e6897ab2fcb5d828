#!/usr/bin/env bash
# The real program under Xvfb opens its window with the starting screen.
source "$(dirname "$0")/lib.sh" "$@"

start_x
start_game
echo "window found $startup_ms ms after the process started"

read -r width height < <(xdotool getwindowgeometry --shell "$window" |
    awk -F= '/WIDTH/{w=$2} /HEIGHT/{h=$2} END{print w, h}')
[[ "$width" == 607 && "$height" == 449 ]] || fail "client area is ${width}x${height}"
shot window
# The lever, the banner and the bankroll box are on screen; the reel windows are empty.
[[ $(mean window 60x60+470+340) < 0.6 ]] || fail "no lever"
[[ $(mean window 120x40+56+140) == 1 ]] || fail "reel window 1 is not empty"
echo "screenshot: $shots/window.png"
