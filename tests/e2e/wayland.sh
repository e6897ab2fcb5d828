#!/usr/bin/env bash
# The game in a Wayland session: weston's headless compositor of the test's own and no X
# display. The game starts; its client area is pixel for pixel the one drawn under X11 (the
# blinking status line aside); the title bar it draws has a minimize and a close button and
# none to maximize; and, driven through Qt's own event delivery since nothing can be typed or
# clicked into a headless compositor, a maximize request is undone and a close request with
# the print question open ends the game with status 0 (host_tests on the Wayland platform).
source "$(dirname "$0")/lib.sh" "$@"

start_x
start_game
shot wayland_x11
stop_game

runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=
trap '[[ -n "$weston_pid" ]] && kill "$weston_pid"; cleanup; rm -rf "$runtime"' EXIT
socket=jangora-test
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --use-pixman --width=800 \
    --height=600 --idle-time=0 --debug --socket=$socket >"$shots/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [[ -S $runtime/$socket ]] && break
    sleep 0.05
done
wayland=(env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=)

"${wayland[@]}" "$game" &
game_pid=$!
sleep 2
kill -0 "$game_pid" 2>/dev/null || fail "the game did not start without an X display"
(cd "$runtime" && "${wayland[@]}" weston-screenshooter) || fail "no screenshot of weston"
mv "$runtime"/wayland-screenshot-*.png "$shots/wayland_desktop.png"
stop_game

# Below weston's panel, the white of the client area bounds it; the frame and the desktop
# around it are grey.
panel=32
client=$(convert "$shots/wayland_desktop.png" -crop 800x568+0+$panel +repage -fill black \
    +opaque white -trim -format '%wx%h%X%Y' info:)
[[ $client == 607x449+* ]] || fail "the client area is $client"
read -r left top <<<"$(echo "${client#*+}" | tr '+' ' ')"
top=$((top + panel))
convert "$shots/wayland_desktop.png" -crop "607x449+$left+$top" +repage "$shots/wayland.png"
for shot in wayland wayland_x11; do
    convert "$shots/$shot.png" -fill white -draw 'rectangle 16,48 593,89' "$shots/.$shot.png"
done
differ=$(compare -metric AE "$shots/.wayland.png" "$shots/.wayland_x11.png" null: 2>&1 || true)
rm -f "$shots/.wayland.png" "$shots/.wayland_x11.png"
echo "client area at $left,$top: $differ pixels differ from the X11 window"
((${differ%% *} == 0)) || fail "the client area differs from the X11 window"

# The title bar's buttons from the right: close, minimize, and where a third would be, nothing.
button() { # button N: the Nth button's box from the right of the title bar
    local right=$((left + 607 + 3 - 5))
    echo "18x18+$((right - $1 * 18 - ($1 - 1) * 5))+$((top - 30 + 6))"
}
colours() { convert "$shots/wayland_desktop.png" -crop "$1" +repage -unique-colors -format '%w' info:; }
(($(colours "$(button 1)") > 1 && $(colours "$(button 2)") > 1)) ||
    fail "no close and minimize buttons in the title bar"
(($(colours "$(button 3)") == 1)) || fail "the title bar has a third button"
echo "title bar: close and minimize buttons, no maximize button"

"${wayland[@]}" QT_QPA_PLATFORM=wayland "$build/bin/host_tests" \
    --gtest_filter='Host.ACloseRequest*:Host.AMaximizeRequest*' ||
    fail "the window system's requests on Wayland"
