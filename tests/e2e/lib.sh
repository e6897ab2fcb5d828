# Shared by the end-to-end tests: private displays, the real game on them, and what it shows
# and says. A check fails its test where it fails, also inside $(...) or a pipe; every wait is
# bounded and says what it waited for; a measurement that is not a number, or a helper that
# fails, fails the test.
#
# Usage: source lib.sh GAME SHOTS [BUILD]
#   GAME the game's binary; SHOTS a folder for screenshots; BUILD the build folder
# The helpers set `window` (the game's X window), `game_pid` and, after wait_for_end,
# `exit_status`: callers read these and never assign them.
set -Eeuo pipefail
# A command that fails outside a check ends the test too: say which.
trap '[[ $BASHPID != "$$" ]] || echo "FAIL: $BASH_SOURCE:$LINENO: $BASH_COMMAND (status $?)" >&2' ERR

game=$1
shots=$(realpath -m "$2")
build=${3:-}
here=$(dirname "${BASH_SOURCE[0]}")
mkdir -p "$shots"

fail() { # ends the test, also from inside $(...) or a pipe, where exit would end only a subshell
    echo "FAIL: $*" >&2
    [[ $BASHPID == "$$" ]] || kill -TERM "$$"
    exit 1
}
check() { # check MESSAGE -- COMMAND...: fails with MESSAGE unless COMMAND succeeds
    local message=$1
    shift 2
    "$@" || fail "$message"
}
now_us() { echo "${EPOCHREALTIME/./}"; }
wait_for() { # wait_for WHAT SECONDS -- COMMAND...: until COMMAND succeeds, or fails saying WHAT
    local what=$1 seconds=$2 deadline
    deadline=$(($(now_us) + ${2%.*} * 1000000))
    shift 3
    until "$@"; do
        (($(now_us) < deadline)) || fail "waited $seconds s for $what"
        sleep 0.05
    done
}
number() { # the argument, which must be a number
    [[ $1 =~ ^-?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?$ ]] || fail "not a number: '$1'"
    echo "$1"
}
below() { awk -v a="$(number "$1")" -v b="$(number "$2")" 'BEGIN { exit !(a < b) }'; }

# Where things are in the client area, in pixels: where a player clicks, as the C++ tests have
# it, and boxes of what the tests look at.
place() { sed -n "s/.*QPointF $1{\([0-9]*\), \([0-9]*\)}.*/\1 \2/p" "$here/../support.h"; }
read -ra lever <<<"$(place lever)"
read -ra print_button <<<"$(place printButton)"
status_box=577x41+16+48      # the status line
bankroll_box=237x29+122+394  # inside the bankroll's frame
reel_boxes=(137x57+56+136 137x57+240+136 129x57+432+136)
# Strips along the top of each lever picture's black band: black where that lever is shown.
band_at_rest=60x4+473+306
band_pulled=60x4+473+375

# Measurements of screenshots, by ImageMagick, whose every answer must be a number.
magick() { # magick COMMAND...: what it prints, a number; compare's 1 only says "different"
    local said status=0
    said=$("$@" 2>&1) || status=$?
    [[ $1 == compare && $status == 1 ]] && status=0
    ((status == 0)) || fail "$1 failed with status $status: $said"
    if [[ $said == *"("*")"* ]]; then said=${said#*(} && said=${said%%)*}; fi # compare's 0 to 1
    number "${said%% *}"
}
shot_file() { [[ -s $shots/$1.png ]] || fail "no screenshot $1" && echo "$shots/$1.png"; }
mean() { magick convert "$(shot_file "$1")" -crop "$2" +repage -colorspace Gray -format '%[fx:mean]' info:; }
ink() { # ink SHOT BOX: how many pixels of the box are dark
    magick convert "$(shot_file "$1")" -crop "$2" +repage -colorspace Gray -threshold 50% \
        -format '%[fx:round((1 - mean) * w * h)]' info:
}
differing() { magick compare -metric AE "$(shot_file "$1")[$3]" "$(shot_file "$2")[$3]" null:; }
rmse() { magick compare -metric RMSE "$(shot_file "$1")" "$(shot_file "$2")" null:; } # 0 to 1
size_of() { # WxH of a screenshot
    local size
    size=$(identify -format '%wx%h' "$(shot_file "$1")")
    [[ $size =~ ^[0-9]+x[0-9]+$ ]] || fail "no size of $1: $size"
    echo "$size"
}
lever_at_rest() { below "$(mean "$1" $band_at_rest)" 0.1 && ! below "$(mean "$1" $band_pulled)" 0.3; }
lever_pulled() { below "$(mean "$1" $band_pulled)" 0.1 && ! below "$(mean "$1" $band_at_rest)" 0.3; }

# What the game tells a screen reader. A helper's failure fails the test: status 1 is "not
# there", any other a fault of the bus or the game.
accessible() { # accessible control DESCRIPTION | box TITLE | where TITLE [BUTTON] | call ...
    local status=0
    /usr/bin/python3 "$here/accessible.py" "${game_pid:-0}" "$@" || status=$?
    ((status <= 1)) || fail "the accessibility bus: accessible.py $* ended with $status"
    return "$status"
}
cents() { # the bankroll, in cents, as a screen reader reads it
    local amount
    amount=$(accessible control Bankroll) || fail "no bankroll on the accessibility bus"
    amount=${amount//[$,.]/}
    number "$((10#$amount))"
}
charged() { echo $(((($1 - $2) % 500 + 500) % 500 / 25)); } # quarters charged; prizes are $5s

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
private_runtime() { # a runtime folder of the test's own, as a desktop session has, in $runtime
    runtime=$(mktemp -d)
    chmod 700 "$runtime"
    scratch+=("$runtime")
}

# own_session_bus "$@": runs the test again on a D-Bus session and in a runtime folder of its
# own (where the accessibility bus lives), the accessibility bus enabled as a screen reader
# enables it.
own_session_bus() {
    if [[ -z ${JANGORA_OWN_BUS:-} ]]; then
        private_runtime
        XDG_RUNTIME_DIR=$runtime JANGORA_OWN_BUS=1 dbus-run-session -- "$0" "$@" || exit $?
        exit 0
    fi
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true >/dev/null
}

start_x() { # start_x [WxHxDEPTH]: Xvfb on a free display, DISPLAY pointed at it
    local fifo display
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    # -noreset: a server that resets when its last client leaves refuses the next one a moment.
    Xvfb -displayfd 3 -screen 0 "${1:-800x600x24}" -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
    xvfb_pid=$!
    read -r -t 10 display <"$fifo" || fail "Xvfb did not start"
    rm -f "$fifo"
    export DISPLAY=":$display"
}

start_window_manager() { # openbox, to frame and close the game's window as a desktop would
    local started=$shots/.openbox_started_$$ # a window mapped while it starts may be lost
    rm -f "$started"
    openbox --startup "touch $started" >"$shots/openbox_$$.log" 2>&1 &
    manager_pid=$!
    wait_for "openbox to start" 5 -- test -e "$started"
}

game_window() { # the game's shown window; Qt's other windows of that name are never shown
    local id
    for id in $(xdotool search --pid "$game_pid" --name '^Jangora 2\.4$' 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && window=$id && return
    done
    return 1
}
start_game() { # start_game [COMMAND...]: the game, through COMMAND if given, and its window found
    "$@" "$game" &
    game_pid=$!
    wait_for "the game's window" 10 -- game_window
    sleep 0.3 # the first frame
}
stop_game() { kill "$game_pid" && { wait "$game_pid" 2>/dev/null || true; } && game_pid=; }
wait_for_end() { # wait_for_end [SECONDS]: until the game has ended; its status in exit_status
    wait_for "the game to end" "${1:-3}" -- eval '! kill -0 "$game_pid" 2>/dev/null'
    exit_status=0
    wait "$game_pid" || exit_status=$?
    game_pid=
}

shot() { import -window "$window" "$shots/$1.png"; }
shot_after() { sleep "$1" && shot "$2"; } # shot_after SECONDS NAME

point_at() { xdotool mousemove --window "$window" "$1" "$2"; }
click_lever() { point_at "${lever[@]}" && xdotool click 1; }
click_print() { point_at "${print_button[@]}" && xdotool click 1; }

shown_box() { # shown_box TITLE: the X id of the newest shown window so titled but the game's
    local id found=
    for id in $(xdotool search --name "$1" 2>/dev/null | grep -vx "$window"); do
        xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && found=$id
    done
    [[ -n $found ]] && echo "$found"
}
box() { # box TITLE [SECONDS]: as shown_box, once there is one
    wait_for "a box titled '$1'" "${2:-5}" -- shown_box "$1" >/dev/null
    shown_box "$1"
}
answer() { xdotool windowfocus --sync "$1" key --clearmodifiers "${@:2}"; } # answer BOX KEY...
hold() { # hold KEY SECONDS: a key held down, repeated by the X server as a desktop's is
    xdotool keydown "$1" && sleep "$2" && xdotool keyup "$1"
}
