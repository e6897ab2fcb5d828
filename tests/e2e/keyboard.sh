#!/usr/bin/env bash
# The keyboard alone: Space on the lever pulls it while held and plays a spin, Tab and Return
# reach the print button's question, Shift+Tab and Return play again. The focus is marked only
# once a key has been used.
source "$(dirname "$0")/lib.sh" "$@"

start_x
start_game
shot keyboard_start
xdotool windowfocus --sync "$window"
xdotool keydown space
sleep 0.2
shot keyboard_held
lever_pulled keyboard_held || fail "Space does not pull the lever"
xdotool keyup space
sleep 1
shot keyboard_spun
lever_at_rest keyboard_spun || fail "the lever is not back after Space came up"
changed=$(differing keyboard_start keyboard_spun "$bankroll_box")
((changed > 20)) || fail "Space played no spin ($changed pixels of the bankroll changed)"
# The lever's box, less the frame the focus draws along its edge, is as a mouse player sees it.
marked=$(differing keyboard_start keyboard_spun 111x1+448+280)
((marked > 10)) || fail "no focus mark on the lever after a key ($marked pixels)"

xdotool key Tab Return
answer "$(box '^Jangora 2\.4$')" Escape
xdotool windowfocus --sync "$window"
shot keyboard_before_second
xdotool key shift+Tab Return
sleep 1
shot keyboard_second
changed=$(differing keyboard_before_second keyboard_second "$bankroll_box")
((changed > 20)) || fail "Shift+Tab and Return played no spin ($changed pixels)"
echo "the keyboard alone played two spins and asked to print"
