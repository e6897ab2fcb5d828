#!/usr/bin/env bash
# A player's session with real X events under a window manager: mouse, side buttons, a lost
# release, quick clicks, keys, maximize requests, and a close with a box open.
source "$(dirname "$0")/lib.sh" "$@"

own_session_bus "$@"
start_x
start_window_manager
start_game
[[ $(xdotool getwindowgeometry "$window") == *607x449* ]] || fail "the client area is not 607x449"
blinked=0
for i in 0 1 2 3; do
    shot "start_$i"
    ((i == 0)) || (($(differing start_0 "start_$i" $status_box) < 100)) || blinked=1
    sleep 0.4
done
((blinked)) || fail "the status line did not blink before the first spin"
[[ $(mean start_0 "${reel_boxes[0]}") == 1 ]] || fail "reel window 1 is not empty at the start"

point_at "${lever[@]}"
xdotool mousedown 1
shot_after 0.2 held
lever_pulled held || fail "the pulled lever is not shown while the button is held"
xdotool mouseup 1
shot_after 0.8 spun
lever_at_rest spun || fail "the lever is not back after the release"
for reel in "${reel_boxes[@]}"; do
    below "$(mean spun "$reel")" 0.97 || fail "reel window $reel is empty after a spin"
done
shot_after 0.8 still
(($(differing spun still $status_box) == 0)) || fail "the status line still blinks"

xdotool click 8 click 9
shot_after 1 side_buttons
lever_at_rest side_buttons || fail "the lever stays pulled after the back and forward buttons"
xdotool click 1
shot_after 1 left_again
(($(differing side_buttons left_again "$bankroll_box") > 20)) || fail "no spin after side buttons"

xdotool mousedown 1
xdotool windowunmap --sync "$window"
xdotool mouseup 1
xdotool windowmap --sync "$window"
shot_after 0.5 remapped
lever_at_rest remapped || fail "the lever stays pulled after its release was lost"
click_print
answer "$(box '^Jangora 2\.4$')" Escape
point_at "${lever[@]}"
xdotool click --repeat 500 --delay 5 1
shot_after 1 hard_used
lever_at_rest hard_used || fail "the lever is not at rest after 500 quick clicks"

xdotool windowfocus --sync "$window"
xdotool keydown space
shot_after 0.2 key_held
lever_pulled key_held || fail "Space does not pull the lever"
xdotool keyup space
shot_after 1 key_spun
(($(differing hard_used key_spun "$bankroll_box") > 20)) || fail "Space played no spin"
(($(differing hard_used key_spun 111x1+448+280) > 10)) || fail "no focus mark after a key"

geometry() { xdotool getwindowgeometry "$window" | awk '/Position|Geometry/ { printf "%s ", $2 }'; }
before=$(geometry)
for axes in maximized_vert,maximized_horz maximized_vert maximized_horz; do
    wmctrl -i -r "$window" -b add,$axes
    sleep 1
    [[ $(geometry) == "$before" && $(xprop -id "$window" _NET_WM_STATE) != *MAXIMIZED* ]] ||
        fail "$axes: $(geometry)instead of $before"
done

xdotool key Tab Return
box '^Jangora 2\.4$' >/dev/null
close_and_wait
((exit_status == 0)) || fail "closed with the print question open, the game ended with $exit_status"
echo "a session of mouse, side buttons, a lost release and keys; closed with a box open: status 0"
