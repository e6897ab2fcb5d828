#!/usr/bin/env bash
# Real X button events: the side buttons pull the lever and let it spring back, and a press
# whose release the window never gets (it was unmapped meanwhile) does not capture the next click.
source "$(dirname "$0")/lib.sh" "$@"

start_x
start_game
point_at "${lever[@]}"
xdotool click 8
xdotool click 9
sleep 1
shot buttons_side
lever_at_rest buttons_side || fail "the lever stays pulled after the back and forward buttons"
xdotool click 1
sleep 1
shot buttons_left
changed=$(differing buttons_side buttons_left "$bankroll_box")
((changed > 20)) || fail "a left click after the side buttons did not play ($changed pixels)"

xdotool mousedown 1
xdotool windowunmap --sync "$window"
xdotool mouseup 1
xdotool windowmap --sync "$window"
sleep 0.5
shot buttons_remapped
lever_at_rest buttons_remapped || fail "the lever stays pulled after its release was lost"
click_print
answer "$(box '^Jangora 2\.4$')" Escape
echo "side buttons play and release; a lost release does not capture the next click"
