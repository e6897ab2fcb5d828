# Shared by the end-to-end tests: a private X server, the real game on it, screenshots.
#
# Usage: source lib.sh GAME SHOTS [BUILD]
#   GAME the game's binary; SHOTS a folder for screenshots; BUILD the build folder
# The helpers set `window` (the game's X window), `game_pid` and, after close_and_wait,
# `exit_status`: callers read these and never assign them.
set -Eeuo pipefail
# A command that fails outside a check ends the test too: say which.
trap '[[ $BASHPID != "$$" ]] || echo "FAIL: $BASH_SOURCE:$LINENO: $BASH_COMMAND (status $?)" >&2' ERR

game=$1
shots=$2
build=${3:-}
mkdir -p "$shots"

# Where things are in the client area, in pixels: where a player clicks, as the C++ tests have
# it, and boxes of what the tests look at.
place() { sed -n "s/.*QPointF $1{\([0-9]*\), \([0-9]*\)}.*/\1 \2/p" "$(dirname "${BASH_SOURCE[0]}")/../places.h"; }
read -ra lever <<<"$(place lever)"
read -ra print_button <<<"$(place printButton)"
status_box=577x41+16+48      # the status line
bankroll_box=237x29+122+394  # inside the bankroll's frame
reel_boxes=(137x57+56+136 137x57+240+136 129x57+432+136)
# Strips along the top of each lever picture's black band: black where that lever is shown.
band_at_rest=60x4+473+306
band_pulled=60x4+473+375

fail() { # ends the test, also from inside $(...) or a pipe, where exit would end only a subshell
    echo "FAIL: $*" >&2
    [[ $BASHPID == "$$" ]] || kill -TERM "$$"
    exit 1
}
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 < b + 0) }'; } # as numbers: 1e-05 < 0.1

# own_session_bus "$@": runs the test again on a D-Bus session of its own, with the
# accessibility bus enabled as a screen reader enables it.
own_session_bus() {
    [[ -n "${JANGORA_OWN_BUS:-}" ]] || JANGORA_OWN_BUS=1 exec dbus-run-session -- "$0" "$@"
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true >/dev/null
}
accessible() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/accessible.py" "$@"; }
cents() { # the bankroll, in cents, as a screen reader reads it
    local amount
    amount=$(accessible control Bankroll) || fail "no bankroll"
    amount=${amount//[$,.]/}
    echo $((10#$amount))
}
charged() { # charged BEFORE AFTER: quarters charged between two amounts; prizes are whole $5s
    echo $(((($1 - $2) % 500 + 500) % 500 / 25))
}

xvfb_pid=
manager_pid=
game_pid=
pids=()    # the other servers a test started, stopped at its end with the rest
scratch=() # folders of its own, removed at its end
cleanup() {
    for pid in "$game_pid" "${pids[@]}" "$manager_pid" "$xvfb_pid"; do
        [[ -z "$pid" ]] || kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "${scratch[@]}"
}
trap cleanup EXIT
private_runtime() { # a runtime folder, as a desktop session has, in $runtime
    runtime=$(mktemp -d)
    chmod 700 "$runtime"
    scratch+=("$runtime")
}

start_x() { # start_x [WxHxDEPTH]: Xvfb on a free display, DISPLAY pointed at it
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

start_window_manager() { # openbox, to frame and close the game's window as a desktop would
    # Only once it has started: a window mapped while it starts may be lost.
    openbox --startup "touch $shots/.openbox_started" >"$shots/openbox.log" 2>&1 &
    manager_pid=$!
    for _ in $(seq 100); do
        [[ -e $shots/.openbox_started ]] && { rm -f "$shots/.openbox_started"; return; }
        sleep 0.05
    done
    fail "openbox did not start"
}

start_game() { # start_game [COMMAND...]: the game, through COMMAND if given, and its window found
    "$@" "$game" &
    game_pid=$!
    window=
    for _ in $(seq 100); do # Qt's other windows of that name are never shown
        for window in $(xdotool search --name '^Jangora 2\.4$' 2>/dev/null); do
            xwininfo -id "$window" | grep -q IsViewable && break 2
        done
        window=
        sleep 0.05
    done
    [[ -n "$window" ]] || fail "no window titled 'Jangora 2.4' appeared"
    sleep 0.3 # the first frame
}

stop_game() { kill "$game_pid" && { wait "$game_pid" 2>/dev/null || true; } && game_pid=; }

shot() { import -window "$window" "$shots/$1.png"; }
shot_after() { sleep "$1" && shot "$2"; } # shot_after SECONDS NAME

mean() { # mean SHOT WxH+X+Y: the region's mean, 0 black to 1 white
    convert "$shots/$1.png" -crop "$2" +repage -colorspace Gray -format '%[fx:mean]' info:
}

differing() { # differing SHOT SHOT WxH+X+Y: how many pixels of the region differ
    convert "$shots/$1.png" -crop "$3" +repage "$shots/.a.png"
    convert "$shots/$2.png" -crop "$3" +repage "$shots/.b.png"
    compare -metric AE "$shots/.a.png" "$shots/.b.png" null: 2>&1 || true
    rm -f "$shots/.a.png" "$shots/.b.png"
}

lever_at_rest() { below "$(mean "$1" $band_at_rest)" 0.1 && ! below "$(mean "$1" $band_pulled)" 0.3; }
lever_pulled() { below "$(mean "$1" $band_pulled)" 0.1 && ! below "$(mean "$1" $band_at_rest)" 0.3; }

point_at() { xdotool mousemove --window "$window" "$1" "$2"; }
click_lever() { point_at "${lever[@]}" && xdotool click 1; }
click_print() { point_at "${print_button[@]}" && xdotool click 1; }

box() { # box TITLE [SECONDS]: the X id of the newest window so titled other than the game's own
    local id
    for _ in $(seq $((${2:-5} * 20))); do
        id=$(xdotool search --name "$1" 2>/dev/null | grep -vx "$window" | tail -n 1) || true
        [[ -n "$id" ]] && { echo "$id"; return; }
        sleep 0.05
    done
    fail "no box titled '$1' appeared"
}

shown_box() { # shown_box TITLE: the X ids of shown windows so titled other than the game's own
    local id
    for id in $(xdotool search --name "$1" 2>/dev/null | grep -vx "$window"); do
        xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && echo "$id"
    done
    true
}

answer() { xdotool windowfocus --sync "$1" key --clearmodifiers "${@:2}"; } # answer BOX KEY...

wait_for_end() { # wait_for_end [SECONDS]: until the game has ended; its status in exit_status
    for _ in $(seq $((${1:-3} * 20))); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$game_pid" 2>/dev/null && fail "the game is still running ${1:-3} s later"
    exit_status=0
    wait "$game_pid" || exit_status=$?
    game_pid=
}

close_and_wait() { # close_and_wait [SECONDS]: one close request through the window manager
    wmctrl -i -c "$window" || fail "the close request could not be sent"
    wait_for_end "${1:-3}"
}
