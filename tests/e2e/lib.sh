# Shared by the end-to-end tests: a private X server, the real game on it, screenshots.
# Usage: source lib.sh BINARY OUTPUT_FOLDER
set -euo pipefail

game=$1
shots=$2
mkdir -p "$shots"

fail() {
    echo "FAIL: $*" >&2
    exit 1
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
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    # -noreset: a server that resets when its last client leaves refuses the next one a moment.
    Xvfb -displayfd 3 -screen 0 "${1:-800x600x24}" -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
    xvfb_pid=$!
    read -r display <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$display"
}

# Starts the game and waits for its window; sets `window` to its X id and `startup_ms` to the
# time from the start of the process until the window was found. The game runs under
# `launcher` when it is set (valgrind, say), and has `window_wait` seconds to show its window.
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

# Moves the pointer to window coordinates.
point_at() {
    xdotool mousemove --window "$window" "$1" "$2"
}

# The X id of the newest window of the game other than its main window.
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
    point_at 590 440 # the part of the button that shows at the starting size
    xdotool click 1
}

# The middle of the lever: one click plays a spin.
click_lever() {
    point_at 503 358
    xdotool click 1
}

# Asks the game's window to close as a window manager does, again every 2 s for up to $1
# seconds until the game has ended; sets `status` to its exit status and `requests` to the
# number of requests it took. (Qt 6.4 here sometimes leaves a close request unread until
# more happens on the display; a player would press the close button again.)
close_and_wait() {
    requests=0
    for _ in $(seq $(($1 / 2))); do
        "$build/bin/close_window" "$window"
        xdotool mousemove_relative -- 1 1
        requests=$((requests + 1))
        for _ in $(seq 40); do
            kill -0 "$game_pid" 2>/dev/null || break 2
            sleep 0.05
        done
    done
    wait_for_end 2
}

# Waits up to $1 seconds for the game to end; sets `status` to its exit status.
wait_for_end() {
    for _ in $(seq $(($1 * 20))); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$game_pid" 2>/dev/null && fail "the game is still running after $1 s"
    status=0
    wait "$game_pid" || status=$?
    game_pid=
}
