#!/usr/bin/env bash
# Closing the game's window the way a window manager asks, while one of the game's boxes is
# open, ends the game cleanly with status 0.
source "$(dirname "$0")/lib.sh" "$@"

start_x
start_game
click_print
box '^Jangora 2\.4$' >/dev/null
close_and_wait
((exit_status == 0)) || fail "the game ended with status $exit_status"
echo "closed with the print question open: status 0"
