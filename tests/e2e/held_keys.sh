#!/usr/bin/env bash
# A key held down plays one spin, whatever the hold, with the X server's own repeat, with an
# input method, and through another program's keyboard grab. The bankroll is read as a screen
# reader reads it.
source "$(dirname "$0")/lib.sh" "$@"

own_session_bus "$@"
start_x
start_window_manager
[[ $(xset q) == *"auto repeat:  on"*"auto repeat delay:  660    repeat rate:  25"* ]] ||
    fail "the X server does not repeat held keys as a desktop does"

hold() { # hold KEY SECONDS [EXPECTED]: the key held, then the quarters it charged checked
    local before after
    before=$(cents)
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
    sleep 1 # the reveal over, the spin paid
    after=$(cents)
    echo "$1 held $2 s: $(charged "$before" "$after") spins charged"
    (($(charged "$before" "$after") == ${3:-1})) || fail "$1 held $2 s played other than ${3:-1} spin"
}

start_game
for seconds in 0.3 1 2 4; do hold space $seconds; done
for seconds in 0.5 2; do hold Return $seconds; done

before=$(cents)
xdotool keydown space
sleep 0.8 # past the first repeat
/usr/bin/python3 "$(dirname "$0")/grab_keyboard.py" 1 &
grabber=$!
sleep 0.5
xdotool keyup space # to the program that grabbed the keyboard
wait "$grabber" || fail "the keyboard could not be grabbed"
shot_after 0.5 grab_over
lever_at_rest grab_over || fail "the lever stays pulled after a grab took Space's release"
(($(charged "$before" "$(cents)") == 1)) || fail "Space let go during a grab played other than 1 spin"
echo "Space let go during a grab: 1 spin charged, the lever sprang back"
hold space 0.1

before=$(cents)
xdotool keydown space
sleep 0.3
/usr/bin/python3 "$(dirname "$0")/grab_keyboard.py" 0.5
sleep 1.5 # still held, the X server repeating it into the window again
xdotool keyup space
sleep 1
(($(charged "$before" "$(cents)") == 1)) || fail "Space held through a grab played other than 1 spin"
echo "Space held through a grab and after it: 1 spin charged"
stop_game

# With an input method running, and the game using it.
uses() { grep -q "$1" "/proc/$game_pid/maps" || fail "the game did not load $1"; }
ibus-daemon --xim --panel=disable >"$shots/ibus.log" 2>&1 &
input_method=$!
sleep 1
QT_IM_MODULE=ibus start_game
uses libibusplatforminputcontextplugin
hold space 2
hold Return 1.5
stop_game
kill "$input_method"
fcitx5 >"$shots/fcitx5.log" 2>&1 &
input_method=$!
sleep 1
QT_IM_MODULE=fcitx start_game
uses libfcitx5platforminputcontextplugin
hold space 2
hold Return 1.5
kill "$input_method"
