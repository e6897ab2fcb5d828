#!/usr/bin/env bash
# Without a reachable display the game says so in one line and exits with status 2: no
# display set, a display nobody serves, and a screen the display does not have.
source "$(dirname "$0")/lib.sh" "$@"
err=$shots/no_display.txt

start_x
for display in "" ":99999" "$DISPLAY.5"; do
    exit_status=0
    DISPLAY=$display QT_QPA_PLATFORM= "$game" 2>"$err" </dev/null || exit_status=$?
    ((exit_status == 2)) || fail "DISPLAY='$display' gave status $exit_status: $(cat "$err")"
    [[ $(wc -l <"$err") == 1 ]] || fail "not one line: $(cat "$err")"
    grep -q "display" "$err" || fail "no word of the display: $(cat "$err")"
    cat "$err"
done
