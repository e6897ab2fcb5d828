#!/usr/bin/env bash
# Printing for real: a CUPS server of the test's own (its own configuration, spool and socket,
# beside any the machine runs) and an IPP Everywhere printer on loopback (ippeveprinter, which
# keeps every job it receives), added as driverless queues. With two queues and no default the
# player picks one; with one and no default the page goes there and shows the window; a queue
# that refuses jobs brings a warning, a paused one says the page waits; without a print server
# the player is offered a PDF file. A server that takes the connection and never answers leaves
# the window repainting and closable at once, and after 10 s the player is told.
source "$(dirname "$0")/lib.sh" "$@"

if ((EUID != 0)); then
    echo "SKIP: CUPS runs its filters as the user lp, so its server must run as root"
    exit 77
fi
cups=$(mktemp -d)
export CUPS_SERVER=$cups/cups.sock # lpadmin and the game both talk to this server
pids=()
stop() { for pid in "$@"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true; done; }
trap 'stop "${pids[@]}"; cleanup; rm -rf "$cups"' EXIT

mkdir -p "$cups"/{conf/ppd,spool,tmp,cache,state,log,jobs}
# The filters run as the user lp: they read the spooled job and write their temporary files.
chmod -R a+rX "$cups"
chmod 1777 "$cups/tmp"
printf '%s\n' "ServerRoot $cups/conf" "RequestRoot $cups/spool" "TempDir $cups/tmp" \
    "CacheDir $cups/cache" "StateDir $cups/state" "ErrorLog $cups/log/error_log" \
    "AccessLog $cups/log/access_log" "PageLog $cups/log/page_log" "SystemGroup root" \
    "Printcap $cups/state/printcap" >"$cups/cups-files.conf"
printf '%s\n' "Listen $CUPS_SERVER" "Browsing No" "WebInterface No" "<Policy default>" \
    "<Limit All>" "Order deny,allow" "</Limit>" "</Policy>" >"$cups/cupsd.conf"
cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" &
cups_pid=$!
pids+=("$cups_pid")
until lpstat -r 2>/dev/null | grep -q "is running"; do sleep 0.1; done

# The printer announces itself over D-Bus: a private bus stands in for the system's.
dbus-daemon --session --nofork --print-address=3 3>"$cups/bus" 2>/dev/null &
pids+=($!)
until [[ -s $cups/bus ]]; do sleep 0.05; done
port=$((20000 + RANDOM % 20000))
DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$cups/bus") ippeveprinter -p "$port" -r off -s 10,10 \
    -f application/pdf -c /bin/true -d "$cups/jobs" -k Printer >"$cups/log/printer" 2>&1 &
pids+=($!)
until lpadmin -p Office -E -v "ipp://localhost:$port/ipp/print" -m everywhere 2>/dev/null; do
    sleep 0.1
done
lpadmin -p Hall -E -v "ipp://localhost:$port/ipp/print" -m everywhere

jobs_received() { find "$cups/jobs" -name '*.pdf' | wc -l; }
wait_for_job() { # wait_for_job N: until the printer holds N jobs
    for _ in $(seq 100); do (($(jobs_received) >= $1)) && return; sleep 0.1; done
    fail "the printer received $(jobs_received) jobs, not $1"
}
# print_yes clicks Print and answers Yes, keeping in $began when the click came (µs).
print_yes() { began=${EPOCHREALTIME/./} && click_print && answer "$(box '^Jangora 2\.4$')" Return; }
elapsed() { echo $(((${EPOCHREALTIME/./} - $1) / 1000)); } # milliseconds since $1 (µs)

start_x
start_window_manager
start_game
click_lever # so the status line stops blinking and the window holds still
shot_after 1 print_window

# Two printers, no default: the player picks the second from the list (Hall, Office).
print_yes
answer "$(box 'Jangora 2\.4: printer')" Down Up Return
wait_for_job 1
lpstat -W all -o Hall | grep -q Hall || fail "the job did not go to the printer picked"
echo "two printers, none the default: the player picked Hall, and it printed there"

# One printer, no default: the page goes there, and shows the window at its natural size (96
# dots per inch): both trimmed to their drawn content, the sizes agree within 2 % and the
# normalised RMS difference is below 0.05.
lpadmin -x Hall
print_yes
wait_for_job 2
echo "one printer, none the default: the job reached it $(elapsed "$began") ms after the click"
pdf=$(ls -t "$cups"/jobs/*.pdf | head -n 1)
pdftoppm -r 96 -png -singlefile "$pdf" "$shots/print_page"
for picture in print_page print_window; do
    convert "$shots/$picture.png" -fuzz 10% -trim +repage "$shots/${picture}_trimmed.png"
done
read -r pw ph ww wh <<<"$(identify -format "%w %h " "$shots"/print_{page,window}_trimmed.png)"
echo "printed: window content ${ww}x${wh}, on the page ${pw}x${ph}"
((pw * 100 >= ww * 98 && pw * 100 <= ww * 102 && ph * 100 >= wh * 98 && ph * 100 <= wh * 102)) ||
    fail "the printed window is ${pw}x${ph}, the window ${ww}x${wh}"
convert "$shots/print_page_trimmed.png" -resize "${ww}x${wh}!" "$shots/print_page_scaled.png"
rmse=$( (compare -metric RMSE "$shots/print_page_scaled.png" "$shots/print_window_trimmed.png" \
    null: 2>&1 || true) | sed -E 's/.*\((.*)\).*/\1/')
echo "normalised RMS difference: $rmse"
below "$rmse" 0.05 || fail "the print does not look like the window"

# The default refuses jobs: the player is told, and by the print system's own words.
lpadmin -d Office
cupsreject Office
print_yes
warning=$(box 'Jangora 2\.4: not printed') waited=$(elapsed "$began")
answer "$warning" Return
grep -q 'not-accepting-jobs\|not accepting jobs' "$cups/log/error_log" ||
    fail "the print server did not refuse the job"
echo "a queue that refuses jobs: the player is warned $waited ms after the click"
cupsaccept Office

# Paused, it takes the job, which waits in its queue: the player is told so.
cupsdisable Office
print_yes
told=$(box 'Jangora 2\.4: printer paused') waited=$(elapsed "$began")
answer "$told" Return
lpstat -o Office | grep -q Office || fail "no job waits in the paused queue"
echo "a paused printer: the job waits in its queue; the player was told $waited ms after the click"

stop "$cups_pid"
print_yes
answer "$(box 'Jangora 2\.4: no printer')" Escape
sleep 1
[[ ! -e jangora.pdf && ! -e "$HOME/jangora.pdf" ]] || fail "a PDF was written without a printer"
kill -0 "$game_pid" || fail "the game is gone"
echo "without a print server: offered a PDF file, declined, nothing written"
stop_game

# A server that takes connections and never answers.
export CUPS_SERVER=$cups/mute.sock
python3 -c 'import socket, sys
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(8); held = []
while True: held.append(s.accept())' "$CUPS_SERVER" &
pids+=($!)
until [[ -S $CUPS_SERVER ]]; do sleep 0.05; done
start_game
print_yes
sleep 1
xdotool windowunmap --sync "$window" windowmap --sync "$window"
shot_after 0.3 print_waiting
lever_at_rest print_waiting || fail "the window is not repainted while the print system is asked"
began=${EPOCHREALTIME/./}
close_and_wait 1
((exit_status == 0)) || fail "closed while printing, the game ended with $exit_status"
echo "a print server that never answers: the window repaints, and a close request ended the" \
    "game in $(elapsed "$began") ms"
start_game
print_yes
began=${EPOCHREALTIME/./}
answer "$(box 'Jangora 2\.4: not printed' 12)" Return
echo "and told the player it did not answer $(elapsed "$began") ms after the Yes"
