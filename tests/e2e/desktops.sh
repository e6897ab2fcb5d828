#!/usr/bin/env bash
# The game's window on the desktops people use: openbox on X11, and on Wayland weston, KDE's
# KWin and GNOME's mutter. On each, the same checks: the window shows its client area of 607 x
# 449 under exactly one title bar (the desktop's, or the game's own where the desktop draws
# none), a maximize is undone, a box shows over the middle of the game, and a close ends the
# game with status 0. Then what only some desktops have: boxes inside the window answered by
# keys and the mouse, a key held on Wayland, the window moved by its own title bar.
source "$(dirname "$0")/lib.sh" "$@"

own_session_bus "$@"
on_wayland() { # on_wayland SOCKET COMMAND...: becomes a program of the game's, on the compositor's
    exec env -u DISPLAY QT_QPA_PLATFORM=wayland CUPS_SERVER=/nonexistent XDG_RUNTIME_DIR="$runtime" \
        WAYLAND_DISPLAY="$1" "${@:2}"
}
compositor() { # compositor SOCKET COMMAND...: a compositor on a runtime folder of its own, then the game
    private_runtime
    XDG_RUNTIME_DIR=$runtime "${@:2}" >"$shots/$1.log" 2>&1 &
    pids+=($!)
    wait_for "the compositor's socket" 20 -- test -S "$runtime/$1"
}

# Each desktop D has start_D; frame_D, which says "CLIENT OWN DESKTOP": the client area's size,
# and whether the game and the desktop each draw a title bar; maximize_D; box_D, which says how
# far the print question's middle is off the game's ("DX DY"), or nothing where the desktop
# takes no input; and close_D.

start_x11() { start_x && start_window_manager && start_game; }
frame_x11() {
    shot frame
    local top
    top=$(xprop -id "$window" _NET_FRAME_EXTENTS | awk -F', ' '{ print $3 }')
    echo "$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')" \
        "$( (($(ink frame 607x30+0+0) > 30)) && echo yes || echo no)" \
        "$( (($(number "$top") > 10)) && echo yes || echo no)"
}
maximize_x11() { # openbox maximizes on both axes, and on one (edge tiling, a middle click)
    local before
    before=$(xdotool getwindowgeometry "$window" | tr '\n' ' ')
    for axes in maximized_vert,maximized_horz maximized_vert maximized_horz; do
        wmctrl -i -r "$window" -b "add,$axes"
        sleep 1
        [[ $(xdotool getwindowgeometry "$window" | tr '\n' ' ') == "$before" &&
            $(xprop -id "$window" _NET_WM_STATE) != *MAXIMIZED* ]] || fail "x11: $axes not undone"
    done
}
box_x11() {
    local id x y w h
    click_print
    id=$(box '^Jangora 2\.4$')
    eval "$(xdotool getwindowgeometry --shell "$id")" && x=$X y=$Y w=$WIDTH h=$HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$window")"
    echo $((x + w / 2 - X - WIDTH / 2)) $((y + h / 2 - Y - HEIGHT / 2))
    answer "$id" Escape
}
close_x11() { wmctrl -i -c "$window"; }

client_of() { # client_of SHOT: where the client area is, the one white box of its size
    convert "$shots/$1.png" -crop 780x580+0+0 -fill black +opaque white -trim -format '%wx%h%X%Y' info: 2>/dev/null
}
screen_of() { # screen_of SHOT: the client area on a desktop's screenshot, and whether the game's
    local client x y # own title bar is drawn above it; these desktops decorate nothing themselves
    client=$(client_of "$1")
    read -r x y <<<"$(echo "${client#*+}" | tr '+' ' ')"
    [[ $client == 607x449+* ]] && ((y >= 30)) || fail "$desktop: no client area with room for a title bar: $client"
    echo "${client%%+*}" "$( (($(ink "$1" 600x25+$x+$((y - 28))) > 30)) && echo yes || echo no)" no
}

start_weston() { # headless: it takes no input, so the window system's requests come from Qt's own
    compositor weston weston --backend=headless-backend.so --use-pixman --width=800 --height=600 --idle-time=0 \
        --debug --socket=weston
    on_wayland weston "$game" &
    game_pid=$!
}
weston_screen() {
    (cd "$runtime" && XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=weston weston-screenshooter) >/dev/null 2>&1 &&
        convert "$runtime"/wayland-screenshot-*.png -crop 800x568+0+32 +repage "$shots/weston.png" &&
        rm "$runtime"/wayland-screenshot-*.png # below weston's panel
}
frame_weston() {
    wait_for "weston to show the game" 10 -- eval 'weston_screen && [[ $(client_of weston) == 607x449+* ]]'
    screen_of weston
}
maximize_weston() {
    (on_wayland weston "$build/bin/host_tests" --gtest_filter='Host.AMaximizeRequest*') >"$shots/maximize.log" 2>&1 ||
        fail "weston: a maximize request was not undone: $(cat "$shots/maximize.log")"
}
box_weston() { :; }
close_weston() { # the real host in host_tests, its window closed as weston's plugin would close it
    stop_game
    on_wayland weston "$build/bin/host_tests" --gtest_filter='Host.ACloseRequest*' >"$shots/close.log" 2>&1 &
    game_pid=$!
}

start_kwin() { # The installed binary carries a file capability that a container refuses: a
    local kwin # plain copy has none.
    kwin=$(mktemp -d) && scratch+=("$kwin") && cp /usr/bin/kwin_wayland "$kwin"
    compositor kwin env KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 QT_LOGGING_RULES=kwin_scripting=true \
        "$kwin/kwin_wayland" --virtual --socket kwin --width 1024 --height 768
    # KWin takes its bus name before it has made its scripting object: wait for the object.
    wait_for "KWin's scripting" 20 -- eval 'dbus-send --session --print-reply --dest=org.kde.KWin \
        /Scripting org.freedesktop.DBus.Introspectable.Introspect 2>/dev/null | grep -q kwin.Scripting'
    on_wayland kwin "$game" &
    game_pid=$!
}
kwin_window() { # kwin_window ACTION: KWin's sizes of the game's window in `seen`, then ACTION;
    local script # fails while KWin has no such window
    script=$(now_us) # a name of its own: frames are asked for from subshells
    printf 'const ACTION = "%s";\nconst SCRIPT = %d;\n' "$1" "$script" |
        cat - "$here/kwin_window.js" >"$runtime/$script.js"
    local id
    id=$(dbus-send --session --print-reply --dest=org.kde.KWin /Scripting org.kde.kwin.Scripting.loadScript \
        string:"$runtime/$script.js" string:"s$script" | awk '/int32/ { print $2 }')
    (($(number "${id:--1}") >= 0)) || return 1 # KWin not ready yet
    dbus-send --session --print-reply --dest=org.kde.KWin "/$id" org.kde.kwin.Script.run >/dev/null
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        seen=$(sed -n "s/.*game window $script: //p" "$shots/kwin.log")
        [[ -n $seen ]] && return
        sleep 0.1
    done
    return 1
}
frame_kwin() {
    wait_for "KWin to show the game" 10 -- kwin_window nothing
    read -r _ client _ frame <<<"${seen//,/}"
    echo "$client no $( ((${frame#*x} > ${client#*x})) && echo yes || echo no)"
}
maximize_kwin() { check "KWin did not maximize the game" -- kwin_window maximize && sleep 1; }
box_kwin() { :; }
close_kwin() { check "KWin did not close the game" -- kwin_window close; }

start_mutter() {
    start_x 1024x768x24
    compositor gnome env MUTTER_DEBUG_DUMMY_MODE_SPECS=800x600 mutter --nested --wayland --no-x11 --wayland-display=gnome
    # The pointer away from where the window opens: mutter nested in X moves a pointer that was
    # over a window as it opened without telling the window, which then takes clicks there.
    xdotool mousemove 790 590
    on_wayland gnome "$game" &
    game_pid=$!
    mutter_place
}
mutter_screen() { xdotool mousemove 790 590 && sleep 0.1 && import -window root -crop 800x600+0+0 +repage "$shots/$1.png"; }
mutter_place() { # where the game's window is on mutter's screen, in `left` and `top`
    wait_for "mutter to show the game" 10 -- eval 'mutter_screen mutter && [[ $(client_of mutter) == 607x449+* ]]'
    read -r left top <<<"$(client_of mutter | cut -d+ -f2- | tr '+' ' ')"
    left=$((left - 3)) top=$((top - 30)) # the game's own frame: a 3 px border, a 30 px bar
}
frame_mutter() { mutter_screen mutter && screen_of mutter; }
at() { xdotool mousemove "$((left + $1))" "$((top + $2))" && sleep 0.2; } # at X Y: in the window
click_at() { at "$@" && xdotool click 1; }
maximize_mutter() { at 300 15 && xdotool key super+Up && sleep 1; }
box_mutter() {
    click_at $((3 + print_button[0])) $((30 + print_button[1]))
    asked where "Jangora 2.4"
    echo $((bx + bw / 2 - 3 - 607 / 2)) $((by + bh / 2 - 30 - 449 / 2))
    xdotool key Escape
}
asked() { # asked where BOX [BUTTON]: where it is, in bx, by, bw and bh, once it is there
    wait_for "$2 ${3:-}" 5 -- eval 'accessible "$@" >/dev/null'
    read -r bx by bw bh <<<"$(accessible "$@")"
}
close_mutter() { click_at $((607 + 6 - 3 - 5 - 9)) 15; } # the close button, first from the right

box_gone() { ! accessible box "$1" >/dev/null; }
mutter_extras() { # boxes inside the window, by keys and the mouse; a held key; the window moved
    click_at $((3 + print_button[0])) $((30 + print_button[1]))
    asked where "Jangora 2.4"
    mutter_screen question
    (($(ink question "${bw}x24+$((left + bx))+$((top + by - 27))") > 100)) || fail "mutter: no title above the box"
    xdotool key Tab Tab Tab Return # round its two buttons, and Return on No
    wait_for "mutter: the question answered" 3 -- box_gone "Jangora 2.4"
    sleep 0.5
    box_gone "Jangora 2.4: no printer" || fail "mutter: Return on No printed"
    click_at $((3 + print_button[0])) $((30 + print_button[1]))
    asked where "Jangora 2.4" Yes
    click_at $((bx + bw / 2)) $((by + bh / 2))
    wait_for "mutter: the offer of a PDF file after Yes" 5 -- accessible box "Jangora 2.4: no printer" >/dev/null
    xdotool key Escape
    wait_for "mutter: the offer answered" 3 -- box_gone "Jangora 2.4: no printer"
    local before
    before=$(cents)
    hold space 2 && sleep 1 # Qt repeats a held key on Wayland itself
    (($(charged "$before" "$(cents)") == 1)) || fail "mutter: Space held 2 s played $(charged "$before" "$(cents)") spins"
    at 200 15 && xdotool mousedown 1 && sleep 0.2
    for step in 1 2 3 4 5; do xdotool mousemove_relative -- 10 8 && sleep 0.1; done
    xdotool mouseup 1 && sleep 0.5
    local was_left=$left was_top=$top
    mutter_place
    ((left == was_left + 50 && top == was_top + 40)) || fail "mutter: dragged 50,40 by its title bar, the window moved $((left - was_left)),$((top - was_top))"
    echo "mutter: boxes inside the window answered by keys and the mouse; Space held 2 s, 1 spin;" \
        "dragged by its own title bar"
}

for desktop in ${JANGORA_DESKTOPS:-x11 weston kwin mutter}; do # or those named, to look again
    "start_$desktop"
    [[ $("frame_$desktop") == "607x449 "* ]] || fail "$desktop: the client area is not 607x449: $("frame_$desktop")"
    read -r _ own theirs <<<"$("frame_$desktop")"
    [[ $own != "$theirs" ]] || fail "$desktop: title bars: the game's $own, the desktop's $theirs"
    "maximize_$desktop"
    [[ $("frame_$desktop") == "607x449 "* ]] || fail "$desktop: the maximize was not undone"
    offset=$("box_$desktop")
    if [[ -n $offset ]]; then
        read -r dx dy <<<"$offset"
        ((dx * dx + dy * dy <= 30 * 30)) || fail "$desktop: the box is $dx,$dy off the middle of the game"
    fi
    [[ $desktop != mutter ]] || mutter_extras
    "close_$desktop"
    wait_for_end 5
    ((exit_status == 0)) || fail "$desktop: closed, the game ended with $exit_status"
    echo "$desktop: 607x449 under one title bar (the game's: $own), maximize undone," \
        "box ${offset:-not asked (no input)} off the middle, closed with status 0"
    cleanup && pids=() && manager_pid= && xvfb_pid=
done
