#!/usr/bin/env bash
# The keyboard where it is easily lost: a box without a window manager, and the key held to
# spend the last quarter, which must not answer the guard's box.
source "$(dirname "$0")/lib.sh" "$@"

start_x
start_game
click_print
box '^Jangora 2\.4$' >/dev/null
xdotool key Escape # to whatever holds the keyboard
sleep 0.5
[[ -z $(shown_box '^Jangora 2\.4$') ]] || fail "the print question did not take the keyboard"
shot no_manager_before
xdotool key space
shot_after 1 no_manager_after
(($(differing no_manager_before no_manager_after "$bankroll_box") > 20)) ||
    fail "the keyboard did not come back to the game after the box"
echo "without a window manager: Escape answered the box, then Space played a spin"
stop_game

start_window_manager
game=$build/bin/last_quarter
for key in Return space; do
    start_game
    xdotool keydown "$key"
    guard=$(box '^Jangora 2\.4$')
    sleep 1.5 # past the key's first repeats
    xdotool keyup "$key"
    sleep 0.5
    [[ -n $(shown_box '^Jangora 2\.4$') ]] || fail "$key, held to spend the last quarter, answered the guard"
    answer "$guard" Return
    wait_for_end 3
    ((exit_status == 0)) || fail "after the guard, the game ended with $exit_status"
    echo "$key held through the guard's box left it open; Return pressed there ended the game"
done
