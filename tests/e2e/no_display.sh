#!/usr/bin/env bash
# Without a reachable display the game says so in one line and exits with status 2.
set -uo pipefail
game=$1
err=$(mktemp)
trap 'rm -f "$err"' EXIT

for display in "" ":99999"; do
    DISPLAY=$display QT_QPA_PLATFORM= "$game" 2>"$err" </dev/null
    status=$?
    [[ $status == 2 ]] || { echo "FAIL: DISPLAY='$display' gave status $status"; exit 1; }
    [[ $(wc -l <"$err") == 1 ]] || { echo "FAIL: not one line:"; cat "$err"; exit 1; }
    grep -q "display" "$err" || { echo "FAIL: no word of the display"; exit 1; }
    cat "$err"
done
