#!/usr/bin/env bash
# Printing as printers, links and print servers behave: a CUPS server of the test's own (as the
# user who runs the test) with IPP Everywhere printers that print at once and one that takes
# 15 s, links that misbehave in front of it, and print servers that misbehave of their own. One
# table of cases, each a process on a display of its own, run in lanes side by side: what the
# game said and when, whether the page was printed, whether a job was left behind, and whether
# play went on during the print.
source "$(dirname "$0")/lib.sh" "$@"

lanes=4
# A case: name | server (@ for the question it misbehaves at) | printer (lane: the lane's own,
# L?; -: none set) | told (the box's title after "Jangora 2.4: ", - for none) | what the box
# says (a pattern) | page: printed, not or any | also: more to do and check
cases=(
    "link 1 s a piece|link latency 1|lane|-||printed|"
    "link 3 s a piece|link latency 3|lane|-||printed|"
    "link at 3 KB a second|link trickle 3000|lane|-||printed|"
    "link in pieces of 1 to 16 bytes|link slicer|lane|-||printed|"
    "answer held 9 s|link stall Create-Job 9|lane|-||printed|"
    "page closed after 4 KB|link close Send-Document 4096|lane|not printed|The window could not be printed on L?: the print system * the connection*.|not|"
    "printer taking 15 s|cups|Laser|-||printed|busy blink"
    "printer refusing jobs|cups|Refusing|not printed|The window could not be printed on Refusing: the print system said “*not accepting jobs”.|not|"
    "printer paused|cups|Paused|printer paused|The window waits in the queue of Paused, which is paused: it will be printed once the printer is resumed.|not|left"
    "printer unreachable|cups|Gone|not printed yet|The window waits in the queue of Gone, whose printer cannot print it now. The printer says: The printer may not exist*|not|left"
    "printer removed as it prints|cups|Doomed|cancelled|The print of the window on Doomed was cancelled on the print server: *.|any|delete"
    "server that never answers, closed|link stall CUPS-Get-Default 99|-|-||any|close"
    "no print server|none|-|saved|The picture is saved as the PDF file */Documents/jangora.pdf.|any|pdf"
    "one printer, none the default|responder single|-|-||printed|look"
    "odd printer names, one picked|responder names|-|-||printed|names"
    "odd paper|responder paper|-|-||printed|paper"
    "job state given as text|responder text-state Get-Job-Attributes|-|not confirmed|The print system took the window for Office, then answered with something other than a print system's answer: whether it is printed is not known.|printed|"
)
at_each_question() { # NAME SERVER PRINTER WORDS PAGE'S-CASE [PAGE'S-ARGUMENT]: failing at each question
    local on=${3/lane/L?}
    on=${on/-/Office}
    cases+=("$1 at the listing|${2/@/CUPS-Get-Default}|-|not printed|The print system $4: the window was not printed.|any|"
        "$1 at the paper|${2/@/Get-Printer-Attributes}|$3|not printed|The window could not be printed on $on: the print system $4.|not|"
        "$1 at the job|${2/@/Create-Job}|$3|not printed|The window could not be printed on $on: the print system $4.|not|"
        "$1 at the page|${2/@/Send-Document}${6:+ $6}|$3|${5//@/$on}|"
        "$1 at the follow-up|${2/@/Get-Job-Attributes}|$3|not confirmed|The print system took the window for $on, then $4: whether it is printed is not known.|printed|")
}
may_be="not confirmed|The window was sent to @, but the print system %s: it may yet be printed.|printed"
not_printed="not printed|The window could not be printed on @: the print system %s.|not"
silent="did not answer for 10 seconds"
at_each_question "held 12 s" "link stall @ 12" lane "$silent" "$(printf "$may_be" "$silent")"
at_each_question reset "link reset @" lane "reset the connection" "$(printf "$not_printed" "* the connection*")" 4096
declare -A words=([redirect]="sent the game elsewhere (HTTP 307 Temporary Redirect), where it does not go"
    [password]="asks for a password, which the game does not give" [failure]="failed with an error of its own"
    [garbage]="answered with something other than a print system's answer"
    [short]="closed the connection in the middle of its answer")
for mode in redirect password failure garbage short; do # refused, it came all the same; garbled, unknown
    page=$(printf "$not_printed" "${words[$mode]}")
    [[ $mode != garbage && $mode != short ]] && page=${page%|not}\|any || page=$(printf "$may_be" "${words[$mode]}")
    at_each_question "$mode" "responder $mode @" - "${words[$mode]}" "$page"
done

if [[ -n ${JANGORA_CASES:-} ]]; then # only those whose names match, to look at them again
    for i in "${!cases[@]}"; do [[ ${cases[$i]%%|*} =~ $JANGORA_CASES ]] || unset "cases[$i]"; done
    cases=("${cases[@]}")
fi

if [[ -z ${JANGORA_CASE:-} ]]; then
    own_session_bus "$@"
    cups=$(mktemp -d)
    scratch+=("$cups")
    export CUPS_SERVER=$cups/cups.sock # lpadmin and lpstat talk to this server
    mkdir -p "$cups"/{conf/ppd,spool,tmp,cache,state,log,jobs}
    printf '%s\n' "ServerRoot $cups/conf" "RequestRoot $cups/spool" "TempDir $cups/tmp" "CacheDir $cups/cache" \
        "StateDir $cups/state" "ErrorLog $cups/log/error_log" "AccessLog $cups/log/access_log" \
        "PageLog $cups/log/page_log" "Printcap $cups/state/printcap" >"$cups/cups-files.conf"
    if ((EUID == 0)); then # its filters run as the user lp: they read the spool, write in tmp
        echo "SystemGroup root" >>"$cups/cups-files.conf" && chmod -R a+rX "$cups" && chmod 1777 "$cups/tmp"
    else # as in CUPS's own tests: the server, and its filters, run as this user
        printf '%s\n' "User $(id -un)" "Group $(id -gn)" "SystemGroup $(id -gn)" >>"$cups/cups-files.conf"
    fi
    printf '%s\n' "Listen $CUPS_SERVER" "Browsing No" "WebInterface No" "<Policy default>" "<Limit All>" \
        "Order deny,allow" "</Limit>" "</Policy>" >"$cups/cupsd.conf"
    cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" &
    pids+=($!)
    wait_for "the print server" 10 -- eval 'lpstat -r 2>/dev/null | grep -q "is running"'
    # The printers announce themselves over D-Bus: a private bus stands in for the system's.
    dbus-daemon --session --nofork --print-address=3 3>"$cups/bus" 2>/dev/null &
    pids+=($!)
    wait_for "a bus for the printers" 5 -- test -s "$cups/bus"
    printf '#!/bin/sh\nsleep 15\n' >"$cups/laser" && chmod +x "$cups/laser" # warming up
    # A printer for each lane, another for the paused, refusing and unreachable queues, and one
    # that takes 15 s.
    export JANGORA_PORT=$((20000 + RANDOM % 20000))
    at=$JANGORA_PORT
    for printer in $(seq -f 'L%g' "$lanes") Spare Laser; do
        at=$((at + 1))
        mkdir -p "$cups/jobs/$printer"
        DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$cups/bus") ippeveprinter -p "$at" -r off -s 10,10 -f application/pdf \
            -c "$([[ $printer == Laser ]] && echo "$cups/laser" || echo /bin/true)" -d "$cups/jobs/$printer" -k \
            "$printer" >"$cups/log/$printer" 2>&1 &
        pids+=($!)
        queues=("$printer")
        [[ $printer != Spare ]] || queues=(Paused Refusing Gone)
        [[ $printer != Laser ]] || queues=(Laser Doomed)
        for queue in "${queues[@]}"; do
            wait_for "queue $queue" 10 -- lpadmin -p "$queue" -E -v "ipp://localhost:$at/ipp/print" -m everywhere
        done
    done
    lpadmin -p Gone -v ipp://127.0.0.1:9/ipp/print # a printer that went away once set up
    cupsdisable Paused && cupsreject Refusing
    echo 0 >"$cups/next"
    echo "${#cases[@]} cases in $lanes lanes"
    lane() { # the next case nobody has taken, each a process of its own: a case that fails ends alone
        local failed=0 n
        while n=$(flock "$cups/next" sh -c 'n=$(cat "$1"); echo $((n + 1)) >"$1"; echo "$n"' - "$cups/next") &&
            ((n < ${#cases[@]})); do
            JANGORA_CASE=$n JANGORA_CUPS=$cups "$0" "$@" || failed=1
        done
        return $failed
    }
    lane_pids=()
    for lane in $(seq "$lanes"); do
        JANGORA_LANE=$lane lane "$@" &
        lane_pids+=($!)
    done
    failed=0
    for pid in "${lane_pids[@]}"; do wait "$pid" || failed=1; done
    ((failed == 0)) || fail "cases failed, above"
    exit 0
fi

# A case, on a display of its own, printing to its lane's queue L<lane>.
cups=$JANGORA_CUPS lane=$JANGORA_LANE n=$JANGORA_CASE
IFS='|' read -r name server queue told said page also <<<"${cases[$n]}"
home=$(mktemp -d)
scratch+=("$home")
log=$home/$n.log queue=${queue/lane/L$lane} said=${said//L\?/L$lane} title= text= problems=()
miss() { problems+=("$*"); } # what went other than the case expects: all of it said at its end
printed() { # pages the printer of a queue has printed
    local printer=$1
    case $1 in Paused | Refusing | Gone) printer=Spare ;; Doomed) printer=Laser ;; esac
    if [[ -d $cups/jobs/$printer ]]; then find "$cups/jobs/$printer" -type f | wc -l; else echo 0; fi
}
page_printed() { # whether the case's page reached a printer
    if [[ $server == responder* ]]; then grep -q '^page' "$log"; else (($(printed "$queue") > printed_before)); fi
}
print_over() { [[ $(/usr/bin/python3 "$here/x11.py" cursor) == "$arrow" ]]; }
told_or_over() { shown_box '^Jangora 2\.4: ' >/dev/null || print_over; }
case $server in # a link on the loopback network, whose resets are a network's
cups) peer=$cups/cups.sock ;;
none) peer=$home/nothing.sock ;;
link*) peer=127.0.0.1:$((JANGORA_PORT + 100 + lane * 100 + n))
    /usr/bin/python3 "$here/print_peers.py" "${peer#*:}" "$log" link "$cups/cups.sock" ${server#link } & ;;
responder*) peer=$home/$n.sock
    /usr/bin/python3 "$here/print_peers.py" "$peer" "$log" responder ${server#responder } & ;;
esac
[[ $server == cups || $server == none ]] || { pids+=($!) && wait_for "the case's server" 5 -- test -e "$log"; }
printed_before=$(printed "$queue")
printer=()
[[ $queue == - ]] || printer=(PRINTER="$queue")
start_x
start_window_manager
start_game env CUPS_SERVER="$peer" HOME="$home" XDG_DOCUMENTS_DIR= "${printer[@]}"
mkdir -p "$home/Documents"
[[ $also == *blink* ]] || { click_lever && point_at 300 300 && sleep 1; }
arrow=$(/usr/bin/python3 "$here/x11.py" cursor)
[[ $also != *look* ]] || shot "window_$n"
before=$(cents) began=$(now_us) during=0
click_print
answer "$(box '^Jangora 2\.4$')" Return
if [[ $also == *blink* ]]; then # shown or hidden, by turns of 750 ms
    shot blink_0 && shot_after 0.4 blink_1 && shot_after 0.4 blink_2
    (($(differing blink_0 blink_1 $status_box) + $(differing blink_0 blink_2 $status_box) > 100)) ||
        miss "no blink during the print"
fi
# A click on the lever while the print is under way plays a spin, unless a box of the print came
# up at once, as a box holds the game.
sleep 0.3
if ! shown_box '^Jangora 2\.4: ' >/dev/null; then
    click_lever && point_at 300 300 && sleep 1
    during=$(charged "$before" "$(cents)")
    ((during == 1)) || miss "a click on the lever during the print played no spin"
fi
[[ $also != *busy* ]] || ! print_over || miss "no busy pointer while the print is under way"
if [[ $also == *close* ]]; then
    began=$(now_us)
    wmctrl -i -c "$window"
    wait_for_end 1
    echo "$name: closed while the print system was asked: ended in $((($(now_us) - began) / 1000)) ms, status $exit_status"
    ((exit_status == 0)) || fail "$name: closed, the game ended with $exit_status"
    exit 0
fi
if [[ $also == *delete* ]]; then
    wait_for "$queue to print" 20 -- eval "lpstat -p $queue | grep -q 'now printing'"
    sleep 1 && lpadmin -x "$queue"
fi
while wait_for "$name: a box, or the print's end" 40 -- told_or_over && id=$(shown_box '^Jangora 2\.4: '); do
    title=$(xdotool getwindowname "$id")
    case $title in
    *": printer") # the list of printers offered
        [[ $also == *names* ]] || miss "asked to pick a printer"
        text=$(accessible buttons "$title" | tr '\n' '|')
        [[ $also != *names* || $text == "Bars�13|Rightto left|Office The window was printed. Your acc…|Long"*"…|Cancel|" ]] ||
            miss "the names shown: $text"
        (($(xwininfo -id "$id" | awk '/Width/ { print $2 }') < 800)) || miss "the box is wider than the screen"
        answer "$id" Return
        wait_for "the list of printers answered" 3 -- eval '! xwininfo -id "$id" 2>/dev/null | grep -q IsViewable'
        title= text= ;;
    *": no printer") answer "$id" Return ;;
    *) text=$(accessible box "$title" | tr '\n' ' ')
        text=${text% }
        answer "$id" Return
        break ;;
    esac
done
waited=$((($(now_us) - began) / 1000)) left=0
click_lever && sleep 1 # and after it
after=$(($(charged "$before" "$(cents)") - during))
((after == 1)) || miss "a click on the lever after the print played no spin"
[[ ${title#Jangora 2.4: } == "${told/#-/}" ]] || miss "told '${title:-nothing}' ($text), not '$told'"
# shellcheck disable=SC2053 # the expected text is a pattern
[[ $text == $said ]] || miss "said '$text', not '$said'"
[[ $page != printed ]] || wait_for "$name: the page printed" 20 -- page_printed
[[ $page != not ]] || ! page_printed || miss "the page was printed, though told it was not"
if [[ $queue != - && $server != responder* ]]; then
    sleep 2 # a job left by a late answer is cancelled once that comes
    left=$(lpstat -W not-completed -o "$queue" 2>/dev/null | grep -c . || true)
    [[ $also == *left* ]] || ((left == 0)) || miss "$left jobs left in the queue of $queue"
    cancel -a "$queue" 2>/dev/null || true
fi
[[ $also != *names* ]] || grep -qF "job for b'Bars\\xff13'" "$log" ||
    miss "the job did not go to the printer picked, as its name came: $(grep 'job for' "$log")"
[[ $also != *pdf* ]] || [[ $(file -b "$home/Documents/jangora.pdf") == PDF* ]] || miss "no PDF file in the documents folder"
[[ $also != *paper* ]] || grep -Eq '^page 0 0 (595|612)(\.[0-9]*)? (841|842|792)' "$log" ||
    miss "the page is not on the local paper: $(grep '^page' "$log")"
if [[ $also == *look* ]]; then # the window at its natural size (96 dots per inch): trimmed, the
    pdftoppm -r 96 -png -singlefile "$log.pdf" "$shots/page_$n" # sizes within 2 %, alike
    for picture in page window; do
        convert "$(shot_file "${picture}_$n")" -fuzz 10% -trim +repage "$shots/${picture}_trimmed.png"
    done
    read -r pw ph ww wh <<<"$(identify -format '%w %h ' "$shots"/{page,window}_trimmed.png)"
    convert "$shots/page_trimmed.png" -resize "${ww}x${wh}!" "$shots/page_scaled.png"
    echo "$name: window ${ww}x${wh}, printed ${pw}x${ph}, RMS difference $(rmse page_scaled window_trimmed)"
    below "$(rmse page_scaled window_trimmed)" 0.05 &&
        ((pw * 50 >= ww * 49 && pw * 50 <= ww * 51 && ph * 50 >= wh * 49 && ph * 50 <= wh * 51)) ||
        miss "the page does not show the window at its size"
fi
printf '%-34s %-16s %6s ms  page %-8s left %s  play %s\n    %s\n' "$name" "$(t=${title#Jangora 2.4: } && echo "${t:--}")" "$waited" \
    "$(page_printed && echo printed || echo no)" "$left" \
    "$( ((during)) && echo "went on" || { ((after)) && echo "after the box" || echo "stopped"; })" "${text:-(nothing said)}"
((${#problems[@]} == 0)) || fail "$name: $(printf '%s; ' "${problems[@]}")"
