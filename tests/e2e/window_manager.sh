#!/usr/bin/env bash
# Under a real window manager that keeps maximize for every resizable window (openbox), a
# maximize request is undone at once: the window stays 607 x 449 where it was, not maximized.
source "$(dirname "$0")/lib.sh" "$@"

start_x 1280x1024x24
openbox >"$shots/openbox.log" 2>&1 &
openbox_pid=$!
trap 'kill "$openbox_pid" 2>/dev/null || true; cleanup' EXIT
sleep 0.5
start_game
geometry() { xdotool getwindowgeometry "$window" | awk '/Position/ { p = $2 } /Geometry/ { g = $2 } END { print g, p }'; }
before=$(geometry)
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
sleep 1
after=$(geometry)
state=$(xprop -id "$window" _NET_WM_STATE)
echo "before: $before; after the maximize request: $after; $state"
[[ $after == "607x449 ${before#* }" ]] || fail "the window is now $after"
[[ $state != *MAXIMIZED* ]] || fail "the window is maximized"
