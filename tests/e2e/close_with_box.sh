#!/usr/bin/env bash
# Closing the game's window the way a window manager asks, while one of the game's boxes is
# open, ends the game cleanly with status 0.
source "$(dirname "$0")/lib.sh" "$@"
build=$3

start_x
start_game
click_print
box '^Jangora 2\.4$' >/dev/null
close_and_wait 20
((status == 0)) || fail "the game ended with status $status"
echo "closed with the print question open: status 0, after $requests close request(s)"
