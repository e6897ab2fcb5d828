#!/usr/bin/env bash
# The game in odd surroundings: no reachable display, one that never answers and one that goes
# away (one line each, and the status the start-up refusals have); libfaketime a year ahead; odd
# locales; a device-pixel ratio of 2; an X11 screen of two monitors of different scales.
source "$(dirname "$0")/lib.sh" "$@"

private_runtime # so that only the display is missing
# A display that takes the connection and never answers: a port that listens and never accepts.
mute=$((6100 + RANDOM % 900))
/usr/bin/python3 -c "import socket, time; s = socket.socket(); s.bind(('127.0.0.1', $mute)); s.listen(); time.sleep(60)" &
pids+=($!)
sleep 0.3
refused() { # refused SETTING...: one line on stderr, saying what, and status 2; stopped at 20 s
    local status=0 began
    began=$(now_us)
    timeout 20 env XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM= "$@" "$game" 2>"$shots/refused.txt" </dev/null || status=$?
    said=$(cat "$shots/refused.txt")
    [[ $status != 124 ]] || said="still starting at 20 s, stopped: $said"
    local took=$((($(now_us) - began) / 1000))
    [[ $status == 2 && $said == *display* && $(wc -l <<<"$said") == 1 ]] && ((took < 12000)) ||
        fail "$*: status $status after $took ms, said: $said"
    echo "$* ($took ms): $said"
}
start_x 1400x1000x24
for setting in DISPLAY= DISPLAY=:99999 "DISPLAY=$DISPLAY.5" "DISPLAY=127.0.0.1:$((mute - 6000))" \
    "DISPLAY= WAYLAND_SOCKET=junk" "DISPLAY= WAYLAND_SOCKET=0" "DISPLAY= QT_QPA_PLATFORM=wayland WAYLAND_SOCKET=0"; do
    # shellcheck disable=SC2086 # the setting is words for env
    refused $setting
done

start_game env WAYLAND_SOCKET=junk 2>"$shots/junk_socket.txt" # dropped for the X display, and said
grep -q "^jangora: WAYLAND_SOCKET (junk) is no connection to a Wayland compositor" "$shots/junk_socket.txt" ||
    fail "a junk WAYLAND_SOCKET was dropped unsaid: $(cat "$shots/junk_socket.txt")"
stop_game
start_game 2>"$shots/display_lost.txt"
kill "$xvfb_pid" && xvfb_pid= # the X server goes away under the game
wait_for_end 5
said=$(grep '^jangora' "$shots/display_lost.txt" || true)
((exit_status == 1)) && [[ $said == "jangora: the game's display went away: the game ends." ]] ||
    fail "the display gone, the game ended with $exit_status, saying: $(cat "$shots/display_lost.txt")"
echo "the X server gone: status 1, $said"
start_x 1400x1000x24

# A year ahead: the status line blinks, the bankroll shows, a spin is revealed and evaluated.
# (In a sanitized build AddressSanitizer must not insist on coming first.)
start_game env LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME=+365d \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0"
shot faketime_start
shot_after 0.8 faketime_blinked
(($(differing faketime_start faketime_blinked $status_box) > 100)) || fail "no blink under faketime"
below "$(mean faketime_start "$bankroll_box")" 0.95 || fail "no bankroll under faketime"
click_lever
shot_after 1 faketime_spun
below "$(mean faketime_spun "${reel_boxes[2]}")" 0.97 || fail "no spin revealed under faketime"
(($(differing faketime_start faketime_spun "$bankroll_box") > 20)) || fail "no charge under faketime"
echo "a year ahead under libfaketime: blinks, shows the bankroll, plays a spin"
stop_game

for locale in xx_XX.UTF-8 ar_EG.UTF-8 he_IL.UTF-8 fa_IR.UTF-8; do
    LC_ALL=$locale LANG=$locale start_game
    shot "locale_$locale"
    echo "$locale: window up, $(ink "locale_$locale" "$bankroll_box") dark pixels in the bankroll box"
    (($(ink "locale_$locale" "$bankroll_box") > 40)) || fail "no bankroll shown in $locale"
    stop_game
done

# At a scale of 2 the window shows what it shows at 1 (outside the blinking status line), its
# text drawn at the finer scale: in a 1x picture blown up, every 2 x 2 block of device pixels
# is one colour; in the bankroll's text drawn at 2x, many are not.
twice() { # twice SHOT 1X: the window at a scale of 2 is twice as big, and its halves match 1X's
    [[ $(size_of "$1") == 1214x898 ]] || fail "$1: $(size_of "$1") at a scale of 2, not 1214x898"
    convert "$(shot_file "$1")" -filter box -resize 607x449 -fill white -draw 'rectangle 16,48 593,89' "$shots/$1_halved.png"
    convert "$(shot_file "$2")" -fill white -draw 'rectangle 16,48 593,89' "$shots/$2_still.png"
    below "$(rmse "$1_halved" "$2_still")" 0.06 || fail "$1: the layout differs from the 1x window's"
    convert "$shots/$1.png" -crop 482x66+240+784 +repage -filter box -resize 50% -filter point -resize 200% \
        "$shots/$1_blocks.png"
    convert "$shots/$1.png" -crop 482x66+240+784 +repage "$shots/$1_amount.png"
    (($(differing "$1_amount" "$1_blocks" 482x66+0+0) > 200)) || fail "$1: the text is not drawn at full resolution"
    echo "$1: 1214x898, as the 1x window halved, its text finer than 2 x 2 blocks"
}
QT_SCALE_FACTOR=1 start_game
shot hidpi_1x
[[ $(size_of hidpi_1x) == 607x449 ]] || fail "$(size_of hidpi_1x) at a scale of 1, not 607x449"
stop_game
QT_SCALE_FACTOR=2 start_game
shot hidpi_2x
twice hidpi_2x hidpi_1x
stop_game

# Two monitors of an X11 screen, A at scale 1 and B at scale 2 (as KDE's X11 session sets them
# for mixed DPI): moved onto B the window takes the size the game needs there, and plays.
kill "$xvfb_pid" && xvfb_pid=
start_x 4480x1440x24
xrandr --setmonitor A 2560/677x1440/381+0+0 screen >/dev/null
xrandr --setmonitor B 1920/254x1080/143+2560+0 none >/dev/null
start_window_manager
QT_SCREEN_SCALE_FACTORS="A=1;B=2" start_game
xdotool windowmove "$window" 2800 100
sleep 1.5
shot monitor_b
twice monitor_b hidpi_1x
point_at $((lever[0] * 2)) $((lever[1] * 2)) && xdotool click 1
shot_after 1 monitor_b_spun
below "$(mean monitor_b_spun 274x114+112+272)" 0.97 || fail "on monitor B no spin was revealed"
xdotool windowmove "$window" 100 100
sleep 1.5
shot monitor_a
[[ $(size_of monitor_a) == 607x449 ]] || fail "back on monitor A the window is $(size_of monitor_a)"
echo "moved onto a monitor at scale 2 the whole game shows, crisp, and plays; back on A, 607x449"
