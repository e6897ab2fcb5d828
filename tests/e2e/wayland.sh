#!/usr/bin/env bash
# Under weston, which decorates nothing: the client area as under X11, the game's own title
# bar, and the window system's requests (host_tests on Wayland, since weston takes no input).
source "$(dirname "$0")/lib.sh" "$@"

start_x
start_game
shot wayland_x11
stop_game

private_runtime
socket=jangora-test
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --use-pixman --width=800 \
    --height=600 --idle-time=0 --debug --socket=$socket >"$shots/weston.log" 2>&1 &
pids+=($!)
until [[ -S $runtime/$socket ]]; do sleep 0.05; done
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
convert "$shots/wayland.png" -fill white -draw 'rectangle 16,48 593,89' "$shots/wayland_still.png"
convert "$shots/wayland_x11.png" -fill white -draw 'rectangle 16,48 593,89' "$shots/x11_still.png"
differ=$(differing wayland_still x11_still 607x449+0+0)
echo "client area at $left,$top: $differ pixels differ from the X11 window"
((${differ%% *} == 0)) || fail "the client area differs from the X11 window"

# The title bar's buttons from the right: close, minimize, and where a third would be, nothing.
colours() { # colours N: how many colours the Nth button's box from the right holds
    local right=$((left + 607 + 3 - 5))
    convert "$shots/wayland_desktop.png" -crop "18x18+$((right - $1 * 23 + 5))+$((top - 24))" \
        +repage -unique-colors -format '%w' info:
}
(($(colours 1) > 1 && $(colours 2) > 1)) || fail "no close and minimize buttons in the title bar"
(($(colours 3) == 1)) || fail "the title bar has a third button"
echo "title bar: close and minimize buttons, no maximize button"

"${wayland[@]}" QT_QPA_PLATFORM=wayland "$build/bin/host_tests" \
    --gtest_filter='Host.ACloseRequest*:Host.AMaximizeRequest*' ||
    fail "the window system's requests on Wayland"
