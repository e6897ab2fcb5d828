# Shared by the end-to-end tests: a private X server, the real game on it, screenshots.
#
# Usage: source lib.sh GAME SHOTS [BUILD]
#   GAME   the game's binary          SHOTS  the folder for screenshots (made if missing)
#   BUILD  the build folder, for the helper programs (close_window)
# A caller may set, before start_game: `launcher` (an array the game runs under, valgrind say)
# and `window_wait` (seconds the game has to show its window, 5 by default).
# What the helpers set: `window` (the game's X window), `startup_ms`, `game_pid`, and
# `exit_status` after wait_for_end. Callers read these and never assign them.
set -euo pipefail

game=$1
shots=$2
build=${3:-}
mkdir -p "$shots"

# Where things are in the window, in pixels of its client area.
lever=(503 358)                  # the middle of the lever
print_button=(590 440)           # the part of the print button that shows at the starting size
status_box=577x41+16+48          # the status line
bankroll_box=237x29+122+394      # inside the bankroll's frame
reel_boxes=(137x57+56+136 137x57+240+136 129x57+432+136)
# A strip along the top of the black band of each lever picture, above the word: black where
# the band is shown, red where the other lever's plate is.
band_at_rest=60x4+473+306
band_pulled=60x4+473+375

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# True when the number $1 is below the number $2 (as numbers: 1e-05 is below 0.1).
below() {
    awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 < b + 0) }'
}

xvfb_pid=
game_pid=
cleanup() {
    [[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT

# Starts Xvfb on a free display number and points DISPLAY at it.
start_x() {
    local fifo display
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    # -noreset: a server that resets when its last client leaves refuses the next one a moment.
    Xvfb -displayfd 3 -screen 0 "${1:-800x600x24}" -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
    xvfb_pid=$!
    read -r display <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$display"
}

# Starts the game with the given arguments and waits for its window.
launcher=()
window_wait=5
start_game() {
    local began
    began=$(date +%s%N)
    "${launcher[@]}" "$game" "$@" &
    game_pid=$!
    window=
    for _ in $(seq $((window_wait * 20))); do
        window=$(xdotool search --name '^Jangora 2\.4$' 2>/dev/null | head -n 1) || true
        [[ -n "$window" ]] && break
        sleep 0.05
    done
    [[ -n "$window" ]] || fail "no window titled 'Jangora 2.4' appeared"
    startup_ms=$((($(date +%s%N) - began) / 1000000))
    # Let the first frame be drawn.
    sleep 0.3
}

stop_game() {
    kill "$game_pid"
    wait "$game_pid" 2>/dev/null || true
    game_pid=
}

# Saves the window's client area as a PNG.
shot() {
    import -window "$window" "$shots/$1.png"
}

# Prints the mean of a region (WxH+X+Y) of a saved shot, 0 black to 1 white.
mean() {
    convert "$shots/$1.png" -crop "$2" +repage -colorspace Gray -format '%[fx:mean]' info:
}

# Prints how many pixels of a region (WxH+X+Y) differ between two saved shots.
differing() {
    convert "$shots/$1.png" -crop "$3" +repage "$shots/.a.png"
    convert "$shots/$2.png" -crop "$3" +repage "$shots/.b.png"
    compare -metric AE "$shots/.a.png" "$shots/.b.png" null: 2>&1 || true
    rm -f "$shots/.a.png" "$shots/.b.png"
}

# Whether a saved shot shows the lever at rest, or pulled.
lever_at_rest() {
    below "$(mean "$1" $band_at_rest)" 0.1 && ! below "$(mean "$1" $band_pulled)" 0.3
}
lever_pulled() {
    below "$(mean "$1" $band_pulled)" 0.1 && ! below "$(mean "$1" $band_at_rest)" 0.3
}

# Moves the pointer to window coordinates.
point_at() {
    xdotool mousemove --window "$window" "$1" "$2"
}

# The X id of the newest window of the game titled like $1 other than its main window.
box() {
    local id
    for _ in $(seq 100); do
        id=$(xdotool search --name "$1" 2>/dev/null | grep -vx "$window" | tail -n 1) || true
        [[ -n "$id" ]] && { echo "$id"; return; }
        sleep 0.05
    done
    fail "no box titled '$1' appeared"
}

answer() { # answer BOX KEY
    xdotool windowfocus --sync "$1"
    xdotool key --clearmodifiers "$2"
}

click_print() {
    point_at "${print_button[@]}"
    xdotool click 1
}

# One click in the middle of the lever plays a spin.
click_lever() {
    point_at "${lever[@]}"
    xdotool click 1
}

# Asks the game's window to close once, as a window manager does, and waits up to $1 seconds
# (3 by default) for the game to end.
close_and_wait() {
    "$build/bin/close_window" "$window" || fail "the close request could not be sent"
    wait_for_end "${1:-3}"
}

# Waits up to $1 seconds for the game to end; sets `exit_status` to its exit status.
wait_for_end() {
    for _ in $(seq $(($1 * 20))); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$game_pid" 2>/dev/null && fail "the game is still running $1 s later"
    exit_status=0
    wait "$game_pid" || exit_status=$?
    game_pid=
}
