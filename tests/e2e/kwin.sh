#!/usr/bin/env bash
# Under KDE's compositor, which decorates windows itself: one title bar, KWin's; a maximize from
# KWin undone; a close from KWin ends the game with status 0. KWin is driven by scripts.
source "$(dirname "$0")/lib.sh" "$@"

[[ -n "${JANGORA_OWN_BUS:-}" ]] || JANGORA_OWN_BUS=1 exec dbus-run-session -- "$0" "$@"
private_runtime
# The installed binary carries a file capability that a container refuses: a plain copy has none.
cp /usr/bin/kwin_wayland "$runtime/kwin_wayland"
XDG_RUNTIME_DIR=$runtime KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 QT_LOGGING_RULES=kwin_scripting=true \
    "$runtime/kwin_wayland" --virtual --socket kwin --width 1024 --height 768 \
    >"$shots/kwin.log" 2>&1 &
pids+=($!)
# KWin takes its bus name before it has made its scripting object: wait for the object itself (a
# ping would be answered for any path once the name is taken).
until [[ -S $runtime/kwin ]] && dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
    org.freedesktop.DBus.Introspectable.Introspect 2>/dev/null | grep -q org.kde.kwin.Scripting; do
    sleep 0.05
done

env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=kwin QT_QPA_PLATFORM= "$game" &
game_pid=$!
script=0
kwin_window() { # kwin_window ACTION: KWin's sizes of the game's window in `seen`, then ACTION
    script=$((script + 1))
    printf 'const ACTION = "%s";\nconst SCRIPT = %d;\n' "$1" "$script" |
        cat - "$(dirname "$0")/kwin_window.js" >"$runtime/$script.js"
    local id
    id=$(dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
        org.kde.kwin.Scripting.loadScript string:"$runtime/$script.js" string:"s$script" |
        awk '/int32/ { print $2 }')
    dbus-send --session --print-reply --dest=org.kde.KWin "/$id" org.kde.kwin.Script.run >/dev/null
    for _ in $(seq 20); do
        grep -q "game window $script:" "$shots/kwin.log" && break
        sleep 0.05
    done
    seen=$(sed -n "s/.*game window $script: //p" "$shots/kwin.log")
}
for _ in $(seq 50); do
    kwin_window nothing
    [[ -n $seen ]] && break
    sleep 0.1
done
echo "at the start: $seen"
[[ $seen == "client 607x449, frame 607x"* && $seen != *"frame 607x449" ]] ||
    fail "not exactly one title bar, KWin's: $seen"
kwin_window maximize
sleep 1
kwin_window nothing
echo "maximized by KWin, a second later: $seen"
[[ $seen == "client 607x449,"* ]] || fail "the maximize was not undone: $seen"
kwin_window close
wait_for_end 3
((exit_status == 0)) || fail "closed by KWin, the game ended with $exit_status"
echo "closed by KWin: status 0"
