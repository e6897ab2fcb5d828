#!/usr/bin/env bash
# The real program under valgrind's memcheck: start, one spin, close the window. No invalid
# read or write, and nothing definitely lost beyond the libraries' own leaks listed, with
# their reasons, in valgrind.supp.
source "$(dirname "$0")/lib.sh" "$@"
log="$shots/valgrind.log"

start_x
launcher=(valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --child-silent-after-fork=yes
          --show-leak-kinds=definite --errors-for-leak-kinds=definite
          --suppressions="$(dirname "$0")/valgrind.supp" --log-file="$log")
window_wait=90
start_game
echo "window found under valgrind after $startup_ms ms"
sleep 2
click_lever
sleep 5 # the reveal and the result, slowed down by valgrind
# Memcheck reads the whole heap for leaks before the process ends.
close_and_wait 60
grep -E "ERROR SUMMARY|definitely lost|invalid|Invalid" "$log" || true
((exit_status == 0)) || fail "valgrind found errors or leaks (status $exit_status); see $log"
echo "valgrind: clean"
