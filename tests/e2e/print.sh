#!/usr/bin/env bash
# Printing for real: a CUPS server of the test's own (as the user who runs the test), an IPP
# Everywhere printer on loopback, and print servers that misbehave in front of it. What the
# player is told is read from the boxes as a screen reader reads them.
source "$(dirname "$0")/lib.sh" "$@"

own_session_bus "$@"
here=$(dirname "$0")
cups=$(mktemp -d)
scratch+=("$cups")
export CUPS_SERVER=$cups/cups.sock # lpadmin and the game both talk to this server

mkdir -p "$cups"/{conf/ppd,spool,tmp,cache,state,log,jobs,home/Documents}
printf '%s\n' "ServerRoot $cups/conf" "RequestRoot $cups/spool" "TempDir $cups/tmp" \
    "CacheDir $cups/cache" "StateDir $cups/state" "ErrorLog $cups/log/error_log" \
    "AccessLog $cups/log/access_log" "PageLog $cups/log/page_log" \
    "Printcap $cups/state/printcap" >"$cups/cups-files.conf"
if ((EUID == 0)); then # its filters run as the user lp: they read the spool, write in tmp
    echo "SystemGroup root" >>"$cups/cups-files.conf"
    chmod -R a+rX "$cups"
    chmod 1777 "$cups/tmp"
else # as in CUPS's own tests: the server, and its filters, run as this user
    printf '%s\n' "User $(id -un)" "Group $(id -gn)" "SystemGroup $(id -gn)" \
        >>"$cups/cups-files.conf"
fi
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

proxy() { # proxy MODE [SECONDS]: a misbehaving server in front of ours; CUPS_SERVER its socket
    CUPS_SERVER=$cups/$1.sock
    /usr/bin/python3 "$here/print_server_proxy.py" "$CUPS_SERVER" "$cups/cups.sock" "$@" &
    pids+=($!)
    until [[ -S $CUPS_SERVER ]]; do sleep 0.05; done
}
jobs_received() { find "$cups/jobs" -name '*.pdf' | wc -l; }
wait_for_job() { # wait_for_job N: until the printer holds N jobs
    for _ in $(seq 300); do (($(jobs_received) >= $1)) && return; sleep 0.1; done
    fail "the printer received $(jobs_received) jobs, not $1"
}
elapsed() { echo $(((${EPOCHREALTIME/./} - $1) / 1000)); } # milliseconds since $1 (µs)
# print_yes clicks Print and answers Yes, keeping in $began when the click came (µs).
print_yes() { began=${EPOCHREALTIME/./} && click_print && answer "$(box '^Jangora 2\.4$')" Return; }
told() { # told ABOUT [SECONDS]: the box "Jangora 2.4: ABOUT"; its text in $said, when in $waited
    local id
    id=$(box "^Jangora 2\.4: $1\$" "${2:-5}")
    waited=$(elapsed "$began")
    said=$(accessible box "Jangora 2.4: $1" | tr '\n' ' ')
    answer "$id" Return
    echo "told after $waited ms: Jangora 2.4: $1: $said"
}
untold() { # untold SECONDS: no box of the print comes up for as long
    sleep "$1"
    [[ -z $(shown_box '^Jangora 2\.4') ]] || fail "a box came up: $(xdotool getwindowname \
        "$(shown_box '^Jangora 2\.4' | head -n 1)")"
}
cursor() { /usr/bin/python3 "$here/cursor.py"; }
print_over() { # until the pointer over the window is the arrow again: the print is over
    for _ in $(seq 300); do [[ $(cursor) == "$arrow" ]] && return; sleep 0.1; done
    fail "the print is not over $(elapsed "$began") ms after the click"
}
restart_game() { stop_game && start_game && click_lever && point_at 300 300 && sleep 1; }

start_x
start_window_manager
start_game
click_lever # so the status line stops blinking and the window holds still
shot_after 1 print_window
point_at 300 300
arrow=$(cursor)

# Two printers, no default: the player picks the second from the list (Hall, Office).
print_yes
answer "$(box '^Jangora 2\.4: printer$')" Down Return
wait_for_job 1
print_over
[[ -n $(lpstat -W completed -o Office) && -z $(lpstat -W completed -o Hall) ]] ||
    fail "the job did not go to the printer picked: $(lpstat -W completed -o)"
echo "two printers, none the default: the player picked Office, and it printed there"

# One printer, no default: the page goes there, and shows the window at its natural size (96
# dots per inch): both trimmed to their drawn content, the sizes agree within 2 % and the
# normalised RMS difference is below 0.05.
lpadmin -x Hall
print_yes
wait_for_job 2
echo "one printer, none the default: the job reached it $(elapsed "$began") ms after the click"
print_over
echo "and the print was over $(elapsed "$began") ms after the click, nothing said"
untold 1
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
told "not printed"
[[ $said == *"could not be printed on Office: "*"not accepting jobs"* ]] || fail "said: $said"
cupsaccept Office

# Paused, it takes the job, which waits in its queue: the player is told so.
cupsdisable Office
print_yes
told "printer paused"
[[ $said == *"waits in the queue of Office, which is paused"* ]] || fail "said: $said"
lpstat -o Office | grep -q Office || fail "no job waits in the paused queue"
cupsenable Office

# A printer that cannot be reached (it went away once set up): the job is taken, and waits; the
# player is told so once it has not been printed for 5 s, in the words of the print system.
lpadmin -p Gone -E -v "ipp://localhost:$port/ipp/print" -m everywhere
lpadmin -p Gone -v ipp://127.0.0.1:9/ipp/print -d Gone
print_yes
told "not printed yet" 10
[[ $said == *"queue of Gone, which has not printed it within 5 seconds"*"not exist or is unavailable"* ]] ||
    fail "said: $said"
cancel -a Gone
lpadmin -d Office

# Behind a slow server, each reply held 3 s: printed, and nothing said; meanwhile the pointer
# is the busy cursor over the window, and the arrow again once the print is over.
proxy slow 3
restart_game
print_yes
sleep 1
[[ $(cursor) != "$arrow" ]] || fail "no busy cursor while the print system is asked"
received=$(jobs_received)
wait_for_job $((received + 1))
echo "behind a server 3 s a reply: the printer got the page $(elapsed "$began") ms after the click"
print_over
echo "and the print was over $(elapsed "$began") ms after the click, nothing said"
untold 1

# A server that stops answering once it has the page: printed, and said to be unconfirmed.
proxy mute-after-page
restart_game
received=$(jobs_received)
print_yes
told "not confirmed" 15
wait_for_job $((received + 1))
[[ $said == *"sent to Office, but the print system did not confirm it for 10 seconds: it may yet be printed"* ]] ||
    fail "said: $said"

# One that loses the page on the way and stops answering: the job left without it is cancelled.
proxy cut-page
restart_game
print_yes
told "not confirmed" 15
sleep 1
[[ -z $(CUPS_SERVER=$cups/cups.sock lpstat -W not-completed -o) ]] ||
    fail "a job was left behind: $(CUPS_SERVER=$cups/cups.sock lpstat -W not-completed -o)"
echo "the job that lost its page was cancelled"

# A server that takes connections and never answers.
proxy mute
restart_game
print_yes
sleep 1
[[ $(cursor) != "$arrow" ]] || fail "no busy cursor while the print system is asked"
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
told "not printed" 15
[[ $said == *"did not answer for 10 seconds: the window was not printed."* ]] || fail "said: $said"
stop_game

# No print server: the page is offered as a PDF file, in the documents folder of the player,
# who started the game from a folder not theirs and typed a name without ".pdf".
kill "$cups_pid" && wait "$cups_pid" || true
pids=("${pids[@]:1}") # the server, stopped, was the first
export CUPS_SERVER=$cups/cups.sock
start_game env --chdir=/ HOME="$cups/home"
print_yes
answer "$(box '^Jangora 2\.4: no printer$')" Return
answer "$(box '^Jangora 2\.4$')" ctrl+a p a g e Return
for _ in $(seq 50); do [[ -s $cups/home/Documents/page.pdf ]] && break; sleep 0.1; done
[[ $(file -b "$cups/home/Documents/page.pdf") == PDF* ]] ||
    fail "no PDF file in the documents folder: $(ls -R "$cups/home")"
kill -0 "$game_pid" || fail "the game is gone"
echo "without a print server: the page saved as Documents/page.pdf"
