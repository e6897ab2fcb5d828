#!/usr/bin/env bash
# A player's session on X11 with real X events: the mouse (held, side buttons, a release lost,
# 500 quick clicks), the keyboard (without a window manager too, and held into the guard's box),
# and keys held against the X server's own repeat, through another program's keyboard grab and
# with input methods running: one spin a hold.
source "$(dirname "$0")/lib.sh" "$@"

own_session_bus "$@"
start_x
[[ $(xset q) == *"auto repeat:  on"*"auto repeat delay:  660    repeat rate:  25"* ]] ||
    fail "the X server does not repeat held keys as a desktop does"

# Without a window manager a box takes the keyboard, and gives it back.
start_game
click_print
box '^Jangora 2\.4$' >/dev/null
xdotool key Escape # to whatever holds the keyboard
wait_for "the print question to take the keyboard" 2 -- eval '! shown_box "^Jangora 2\.4$"'
before=$(cents)
xdotool key space
sleep 1
(($(charged "$before" "$(cents)") == 1)) || fail "without a window manager the keyboard did not come back after the box"
stop_game

start_window_manager
start_game
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

before=$(cents)
xdotool click 8 click 9
shot_after 1 side_buttons
lever_at_rest side_buttons || fail "the lever stays pulled after the back and forward buttons"
xdotool mousedown 1
xdotool windowunmap --sync "$window"
xdotool mouseup 1
xdotool windowmap --sync "$window"
shot_after 0.5 remapped
lever_at_rest remapped || fail "the lever stays pulled after its release was lost"
(($(charged "$before" "$(cents)") == 2)) || fail "side buttons and a lost release charged other than 2 spins"
xdotool click --repeat 500 --delay 5 1
shot_after 1 hard_used
lever_at_rest hard_used || fail "the lever is not at rest after 500 quick clicks"

xdotool windowfocus --sync "$window"
xdotool keydown space
shot_after 0.2 key_held
lever_pulled key_held || fail "Space does not pull the lever"
xdotool keyup space
shot_after 1 key_spun
(($(differing hard_used key_spun 111x1+448+280) > 10)) || fail "no focus mark after a key"

held() { # held KEY SECONDS [GRAB AT SECONDS]: the key held, another program grabbing the keyboard
    local before                             # a while if asked; one spin charged
    before=$(cents)
    xdotool keydown "$1"
    if [[ -n ${3:-} ]]; then
        sleep "$3" && /usr/bin/python3 "$here/x11.py" grab "$4" &
        grabber=$!
    fi
    sleep "$2"
    xdotool keyup "$1"
    [[ -z ${3:-} ]] || wait "$grabber" || fail "the keyboard could not be grabbed"
    sleep 1 # the reveal over, the spin paid
    echo "$1 held $2 s${3:+, the keyboard grabbed at $3 s for $4 s}: $(charged "$before" "$(cents)") spins charged"
    (($(charged "$before" "$(cents)") == 1)) || fail "$1 held $2 s played other than 1 spin"
}
for seconds in 0.3 1 2 4; do held space $seconds; done
for seconds in 0.5 2; do held Return $seconds; done
held space 1.3 0.8 1 # let go while another program holds the keyboard
shot lever_after_grab
lever_at_rest lever_after_grab || fail "the lever stays pulled after a grab took Space's release"
held space 0.1
held space 2.3 0.3 0.5 # held through a grab, and after it
# With an input method running, and the game using it.
for method in "ibus-daemon --xim --panel=disable:ibus:libibusplatforminputcontextplugin" \
    "fcitx5:fcitx:libfcitx5platforminputcontextplugin"; do
    IFS=: read -r command module plugin <<<"$method"
    $command >"$shots/$module.log" 2>&1 &
    pids+=($!)
    sleep 1
    stop_game
    QT_IM_MODULE=$module start_game
    grep -q "$plugin" "/proc/$game_pid/maps" || fail "the game did not load $plugin"
    held space 2
    held Return 1.5
    kill "${pids[-1]}"
done

click_print
box '^Jangora 2\.4$' >/dev/null
wmctrl -i -c "$window" # with the box open
wait_for_end 3
((exit_status == 0)) || fail "closed with the print question open, the game ended with $exit_status"

# The key held to spend the last quarter does not answer the guard's box.
game=$build/bin/last_quarter
for key in Return space; do
    start_game
    xdotool keydown "$key"
    guard=$(box '^Jangora 2\.4$')
    sleep 1.5 # past the key's first repeats
    xdotool keyup "$key"
    sleep 0.5
    shown_box '^Jangora 2\.4$' >/dev/null || fail "$key, held to spend the last quarter, answered the guard"
    answer "$guard" Return
    wait_for_end 3
    ((exit_status == 0)) || fail "after the guard, the game ended with $exit_status"
done
echo "a session of mouse, side buttons, a lost release, keys and held keys; closed with a box open," \
    "and the guard's box left open by the key held into it: status 0"
