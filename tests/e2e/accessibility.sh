#!/usr/bin/env bash
# The game as a screen reader sees it: on a session bus of its own, with the accessibility
# bus enabled as a screen reader enables it, the tree read with pyatspi (accessibility.py).
source "$(dirname "$0")/lib.sh" "$@"

if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" || -z "${JANGORA_OWN_BUS:-}" ]]; then
    JANGORA_OWN_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
    variant:boolean:true >/dev/null
start_x
start_game
/usr/bin/python3 "$(dirname "$0")/accessibility.py" || fail "see above"
