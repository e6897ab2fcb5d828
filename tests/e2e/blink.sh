#!/usr/bin/env bash
# Before the first spin the status line blinks every 750 ms; after it, it holds still.
# Five screenshots 400 ms apart span more than two blinks, so some of them must differ.
source "$(dirname "$0")/lib.sh" "$@"

# Prints how many of five shots, 400 ms apart, differ from the first in the status line.
changes() {
    local count=0 i
    shot "$1_0"
    for i in 1 2 3 4; do
        sleep 0.4
        shot "$1_$i"
        (($(differing "$1_0" "$1_$i" $status_box) > 100)) && count=$((count + 1))
    done
    echo "$count"
}

start_x
start_game
blinking=$(changes blink_before)
((blinking > 0)) || fail "the status line did not blink before the first spin"

click_lever
sleep 1
still=$(changes blink_after)
((still == 0)) || fail "the status line still changes after the first spin"
echo "before the first spin $blinking of 4 shots differed; after it none"
