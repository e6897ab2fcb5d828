#!/usr/bin/env bash
# A hard-used game: 500 real clicks on the lever 5 ms apart, then a spin every 600 ms. The
# game is alive at the end, shows the lever at rest, still answers a click, and its resident
# memory grew by less than 1 MiB from the end of the first minute to the end.
# Usage: soak.sh GAME SHOTS BUILD [PLAY_SECONDS]   (120 s of play; the test suite plays 20 s,
# and compares the memory after the first half with the memory at the end)
source "$(dirname "$0")/lib.sh" "$@"
seconds=${4:-20}
first=$((seconds >= 120 ? 60 : seconds / 2))

rss_kib() { awk '/^VmRSS/ { print $2 }' /proc/"$game_pid"/status; }

start_x
start_game
shot soak_start
point_at "${lever[@]}"
xdotool click --repeat 500 --delay 5 1
kill -0 "$game_pid" 2>/dev/null || fail "the game died under 500 quick clicks"
echo "500 clicks 5 ms apart: the game lives"

xdotool click --repeat $((seconds * 1000 / 600)) --delay 600 1 &
clicks=$!
sleep "$first"
early=$(rss_kib)
wait "$clicks"
late=$(rss_kib)
echo "resident memory after ${first} s of play: $early KiB, after ${seconds} s: $late KiB"
if [[ -z "${JANGORA_SANITIZED:-}" ]]; then # a sanitizer holds freed memory back on purpose
    ((late - early < 1024)) || fail "resident memory grew by $((late - early)) KiB"
fi

sleep 1 # the last spin ends
shot soak_end
lever_moved=$(differing soak_start soak_end 111x156+448+280)
((lever_moved == 0)) || fail "the lever is not at rest ($lever_moved pixels differ)"
click_lever
sleep 1
shot soak_answer
reels_changed=$(differing soak_end soak_answer 500x60+50+134)
((reels_changed > 0)) || fail "the window does not answer a click"
echo "after the soak: lever at rest, the window answers"
