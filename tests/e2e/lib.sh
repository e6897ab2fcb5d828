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
# time from the start of the process until the window was found.
start_game() {
    local began
    began=$(date +%s%N)
    "$game" "$@" &
    game_pid=$!
    window=
    for _ in $(seq 100); do
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
