#!/usr/bin/env bash
# The game as a process, side by side with the floor program on a private Xvfb: CPU time
# idle and playing, repaints, time to the first painted frame, peak memory, and the timing
# of the reveal. Runs alternate floor and game; each figure is the median over the runs.
# Usage: bench/process.sh GAME FLOOR OUTPUT_FOLDER [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
floor=$2
out=$3
runs=${4:-5}
# shellcheck source=../tests/e2e/lib.sh
source "$here/../tests/e2e/lib.sh" "$1" "$out/shots"
mkdir -p "$out/logs"
start_x

seconds=10
reel_top=${reel_boxes[0]##*+} # where the reel windows and the status line are painted
status_top=${status_box##*+}
bankroll_at=120,392 # where the bankroll's label is painted, its frame aside

now_us() { echo "${EPOCHREALTIME/./}"; }

# Context switches, voluntary and not, of all threads of the process: how often it woke.
switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n }'
}

# Voluntary context switches alone, all threads: how often it went to sleep and was woken;
# with a second argument, of the window's own thread alone.
voluntary() {
    cat /proc/"$1"/task/${2:-*}/status 2>/dev/null |
        awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }'
}

# Nanoseconds on the CPU, all threads of the process.
cpu_ns() {
    local total=0 ns _ task
    for task in /proc/"$1"/task/*/schedstat; do
        read -r ns _ <"$task" || true
        total=$((total + ns))
    done
    echo "$total"
}

# Starts a program with its frames traced to $2 and waits for its first frame; sets `pid`
# and `first_ms`, the milliseconds from the start of the process to that frame.
start_traced() {
    local began
    began=$(now_us)
    JANGORA_TRACE=1 "$1" 2>"$2" &
    pid=$!
    game_pid=$pid
    # The program stamps its first frame itself: wait without loading the machine meanwhile.
    sleep 0.5
    for _ in $(seq 100); do
        grep -q '^paint' "$2" && break
        sleep 0.1
    done
    first_ms=$(awk -v b="$began" '/^paint/ { printf "%.1f", ($2 - b) / 1000; exit }' "$2")
    [[ -n "$first_ms" ]] || fail "$1 painted nothing"
}

stop_traced() {
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    game_pid=
}

# Runs one program for $seconds after its first frame, in one of three modes: idle at its
# start screen, at rest after one spin, or with a spin every 600 ms; appends
# "startup_ms cpu_s paints_per_s peak_kib wakeups_per_s voluntary_wakeups_per_spin
# voluntary_wakeups_per_spin_of_the_window_thread" to
# $out/<name>-<mode>.txt.
measure() {
    local name=$1 program=$2 title=$3 mode=$4 run=$5
    local log="$out/logs/$name-$mode-$run.log"
    local pid first_ms win mark cpu0 cpu1 t0 t1 peak paints clicks= woke0 woke1 slept0 slept1
    local own0 own1
    local spins=$((seconds * 1000 / 600))
    start_traced "$program" "$log"
    win=$(xdotool search --name "^$title\$" | head -n 1)
    xdotool mousemove --window "$win" "${lever[@]}"
    if [[ $mode == rest ]]; then
        xdotool click 1
        sleep 1.5 # the spin ends
    fi
    mark=$(wc -l <"$log")
    cpu0=$(cpu_ns "$pid")
    woke0=$(switches "$pid")
    slept0=$(voluntary "$pid")
    own0=$(voluntary "$pid" "$pid")
    t0=$(now_us)
    if [[ $mode == play ]]; then
        xdotool click --repeat "$spins" --delay 600 1 &
        clicks=$!
    fi
    sleep "$seconds"
    cpu1=$(cpu_ns "$pid")
    woke1=$(switches "$pid")
    slept1=$(voluntary "$pid")
    own1=$(voluntary "$pid" "$pid")
    t1=$(now_us)
    peak=$(awk '/^VmHWM/ { print $2 }' /proc/"$pid"/status)
    paints=$(tail -n +$((mark + 1)) "$log" | grep -c '^paint' || true)
    stop_traced
    [[ -z "$clicks" ]] || wait "$clicks"
    awk -v s="$first_ms" -v c0="$cpu0" -v c1="$cpu1" -v t0="$t0" -v t1="$t1" -v p="$paints" \
        -v k="$peak" -v w0="$woke0" -v w1="$woke1" -v v0="$slept0" -v v1="$slept1" \
        -v n="$spins" -v o0="$own0" -v o1="$own1" 'BEGIN {
            printf "%s %.4f %.2f %d %.2f %.2f %.2f\n", s, (c1 - c0) / 1e9 * 1e6 / (t1 - t0) * 10,
                p * 1e6 / (t1 - t0), k, (w1 - w0) * 1e6 / (t1 - t0), (v1 - v0) / n, (o1 - o0) / n
        }' >>"$out/$name-$mode.txt"
}

# Starts a program and prints the milliseconds from the start of the process to its first
# painted frame, and its peak resident memory 1 s after the start, in KiB. With a second
# argument, the floor draws the game's first text.
first_frame_ms() {
    local pid first_ms began
    began=$(now_us)
    JANGORA_FLOOR_TEXT=${2:-} start_traced "$1" "$out/logs/start.log"
    sleep "$(awk -v b="$began" -v n="$(now_us)" 'BEGIN { s = 1 - (n - b) / 1e6; print (s > 0 ? s : 0) }')"
    echo "$first_ms $(awk '/^VmHWM/ { print $2 }' /proc/"$pid"/status)"
    stop_traced
}

# Resident memory of a program 1 s after its start, and 3 s after its window has been made
# WxH in 20 steps and its own size again: "before_kib after_kib".
ramp_memory() {
    local pid first_ms win before width height
    start_traced "$1" "$out/logs/ramp.log"
    win=$(xdotool search --name "^$2\$" | head -n 1)
    sleep 1
    before=$(awk '/^VmRSS/ { print $2 }' /proc/"$pid"/status)
    for step in $(seq 20); do
        width=$((607 + ($3 - 607) * step / 20)) height=$((449 + ($4 - 449) * step / 20))
        xdotool windowsize "$win" "$width" "$height"
        sleep 0.05
    done
    xdotool windowsize "$win" 607 449
    sleep 3
    echo "$before $(awk '/^VmRSS/ { print $2 }' /proc/"$pid"/status)"
    stop_traced
}

# The game's peak resident memory in a Wayland session (weston's headless compositor, no X
# display), 3 s after it starts; one figure a line in $out/game-wayland.txt.
wayland_peaks() {
    local runtime weston pid
    runtime=$(mktemp -d)
    chmod 700 "$runtime"
    XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --use-pixman --idle-time=0 \
        --socket=bench >"$out/logs/weston.log" 2>&1 &
    weston=$!
    sleep 1
    for _ in $(seq "$runs"); do
        env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=bench QT_QPA_PLATFORM= "$game" &
        pid=$!
        sleep 3
        awk '/^VmHWM/ { print $2 }' /proc/"$pid"/status >>"$out/game-wayland.txt"
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    done
    kill "$weston"
    wait "$weston" 2>/dev/null || true
    rm -rf "$runtime"
}

# From a playing game's trace: per spin, when each reel window was painted after the press,
# how long after the third the result was, and when the charged bankroll was painted.
reveal_times() {
    awk -v reel="$reel_top" -v status="$status_top" -v bankroll="$bankroll_at" '
        /^press/ { press = $2; shown = 0; done = 0; bank = -1; next }
        /^paint/ && press && !done {
            has_reel = 0; has_status = 0
            for (i = 3; i <= NF; i++) {
                split($i, r, ",")
                if (r[2] == reel) has_reel = 1
                if (r[2] == status) has_status = 1
                if (bank < 0 && r[1] "," r[2] == bankroll) bank = $2 - press
            }
            if (has_reel && shown < 3 && $2 - press > 80000) { at[++shown] = $2 - press }
            if (shown == 3 && has_status) {
                printf "%.1f %.1f %.1f %.1f %.1f\n", at[1] / 1000, at[2] / 1000, at[3] / 1000,
                    ($2 - press - at[3]) / 1000, bank / 1000
                done = 1
            }
        }' "$@"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
column_of() { awk -v c="$2" '{ print $c }' "$1"; }

rm -f "$out"/*.txt "$out"/logs/*.log
for run in $(seq "$runs"); do
    for mode in idle rest play; do
        measure floor "$floor" "Jangora floor" "$mode" "$run"
        measure game "$game" "Jangora 2\\.4" "$mode" "$run"
    done
done
reveal_times "$out"/logs/game-play-*.log >"$out/reveal.txt"
wayland_peaks
# Start-up varies by some 10 ms from one start to the next: it gets more runs of its own.
starts=$((4 * runs + 1))
for run in $(seq "$starts"); do
    first_frame_ms "$floor" >>"$out/floor-start.txt"
    first_frame_ms "$game" >>"$out/game-start.txt"
    first_frame_ms "$floor" text >>"$out/text-start.txt"
done
for run in $(seq "$runs"); do
    for size in "8000 8000" "3840 2160"; do
        ramp_memory "$floor" "Jangora floor" $size >>"$out/floor-ramp-${size/ /x}.txt"
        ramp_memory "$game" "Jangora 2\.4" $size >>"$out/game-ramp-${size/ /x}.txt"
    done
    # Without shared memory, Qt's X11 support keeps a buffer as large as the largest area it
    # put on the screen: for comparison.
    QT_XCB_NO_MITSHM=1 ramp_memory "$game" "Jangora 2\.4" 8000 8000 >>"$out/noshm-ramp-8000x8000.txt"
    QT_XCB_NO_MITSHM=1 measure noshm "$game" "Jangora 2\.4" play "$run"
done

figure() { column_of "$out/$1.txt" "$2" | median; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# Error of each reel window against 160, 320, 480 ms: median and worst of the absolute errors.
reveal_error() {
    awk '{ for (n = 1; n <= 3; n++) { e = $n - 160 * n; print (e < 0 ? -e : e) } }' "$out/reveal.txt"
}
result_delay() { column_of "$out/reveal.txt" 4; }

# Peak memory from every run.
all_runs() { cat "$out/$1"-{idle,rest,play}.txt | awk -v c="$2" '{ print $c }' | median; }
start_game=$(figure game-start 1) start_floor=$(figure floor-start 1)
peak_game=$(figure game-start 2) peak_floor=$(figure floor-start 2)
# After the ramp against before it, each run's own ratio.
ramp() { awk '{ printf "%.3f\n", $2 / $1 }' "$out/$1-ramp-$2.txt" | median; }
# The lowest and highest of a figure's runs: "min-max".
spread() { column_of "$out/$1.txt" "$2" | sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo "-" hi }'; }
row() { printf '%-52s %18s %12s %8s %8s\n' "$@"; }
# row LABEL COLUMN MODE LIMIT: the game's and the floor's medians and their ratio
compared() {
    local game_figure floor_figure
    game_figure=$(figure "game-$3" "$2") floor_figure=$(figure "floor-$3" "$2")
    row "$1" "$game_figure ($(spread "game-$3" "$2"))" "$floor_figure" \
        "$(ratio "$game_figure" "$floor_figure")" "$4"
}
{
    echo "Process-level figures, median (and range) of $runs alternating runs of ${seconds} s each"
    echo "(start-up and peak memory 1 s after the start: median of $starts more alternating starts;"
    echo " the ramps: $runs alternating runs; peak memory over 10 s: of all $((3 * runs)) runs)"
    row figure game floor ratio aim
    compared "wake-ups per s, blinking start screen" 5 idle "5 per s"
    compared "wake-ups per s, at rest after a spin" 5 rest "1 per s"
    compared "wake-ups per s, a spin every 600 ms" 5 play 0.25
    row "voluntary wake-ups per spin, all threads" \
        "$(figure game-play 6) ($(spread game-play 6))" - - 12
    row "  of them the window's own thread" \
        "$(figure game-play 7) ($(spread game-play 7))" - - -
    row "  the same without shared memory (MIT-SHM)" \
        "$(figure noshm-play 6) ($(spread noshm-play 6))" - - -
    compared "CPU, s per ${seconds} s, blinking start screen" 2 idle 0.2
    compared "CPU, s per ${seconds} s, at rest after a spin" 2 rest 0.2
    compared "CPU, s per ${seconds} s, a spin every 600 ms" 2 play 1.5
    row "repaints per s, blinking start screen" "$(figure game-idle 3)" "$(figure floor-idle 3)" - 2
    row "start to first painted frame, ms" "$start_game ($(spread game-start 1))" "$start_floor" \
        "$(ratio "$start_game" "$start_floor")" 1.10
    row "peak resident memory 1 s after the start, KiB" "$peak_game ($(spread game-start 2))" \
        "$peak_floor" "$(ratio "$peak_game" "$peak_floor")" 1.20
    # The floor that any program showing text stands on: the bare floor drawing the game's
    # first text in the faces the game asks for.
    text_start=$(figure text-start 1) text_peak=$(figure text-start 2)
    row "  against the floor with text: first frame, ms" "$start_game" \
        "$text_start ($(spread text-start 1))" "$(ratio "$start_game" "$text_start")" 1.05
    row "  against the floor with text: memory, KiB" "$peak_game" \
        "$text_peak ($(spread text-start 2))" "$(ratio "$peak_game" "$text_peak")" 1.10
    for size in 8000x8000 3840x2160; do
        row "resident memory 3 s after a $size window / before" "$(ramp game $size)" \
            "$(ramp floor $size)" - 1.2
    done
    row "  8000x8000 without shared memory (MIT-SHM)" "$(ramp noshm 8000x8000)" - - -
    row "peak resident memory over 10 s of play, KiB" "$(all_runs game 4)" "$(all_runs floor 4)" \
        "$(ratio "$(all_runs game 4)" "$(all_runs floor 4)")" 1.3
    wayland=$(median <"$out/game-wayland.txt")
    row "peak resident memory on Wayland, KiB (against X11)" "$wayland" "$(all_runs game 4)" \
        "$(ratio "$wayland" "$(all_runs game 4)")" 1.3
    echo
    echo "Reveal over $(wc -l <"$out/reveal.txt") spins: reel windows painted after the press, ms"
    printf '%-52s %12s %12s %12s\n' "" "window 1" "window 2" "window 3"
    printf '%-52s %12s %12s %12s\n' "median" "$(column_of "$out/reveal.txt" 1 | median)" \
        "$(column_of "$out/reveal.txt" 2 | median)" "$(column_of "$out/reveal.txt" 3 | median)"
    printf '%-52s %12s\n' "median error against 160/320/480 (limit 2)" "$(reveal_error | median)"
    printf '%-52s %12s\n' "worst error (limit 10)" "$(reveal_error | sort -g | tail -n 1)"
    printf '%-52s %12s\n' "result after window 3, median" "$(result_delay | median)"
    printf '%-52s %12s\n' "result after window 3, worst (limit 3)" "$(result_delay | sort -g | tail -n 1)"
    printf '%-52s %12s\n' "charged bankroll painted after the press, median" \
        "$(column_of "$out/reveal.txt" 5 | median)"
    printf '%-52s %12s\n' "charged bankroll painted after the press, worst (limit 2)" \
        "$(column_of "$out/reveal.txt" 5 | sort -g | tail -n 1)"
} | tee "$out/process.txt"
