#!/usr/bin/env bash
# Printing for real: a CUPS server of the test's own (its own configuration, spool and socket,
# beside any the machine runs) with a PDF printer as its default; a click on the print button,
# Yes with the keyboard, and the PDF from the queue shows the window. Then, with that server
# stopped, the player is told there is no printer and, declining to save a PDF, nothing is written.
source "$(dirname "$0")/lib.sh" "$@"

if ((EUID != 0)); then
    echo "SKIP: the PDF printer's backend runs as root, so its CUPS server must too"
    exit 77
fi

printer=Jangora-PDF
pdf_folders=(/root/PDF /var/spool/cups-pdf)
cups=$(mktemp -d)
export CUPS_SERVER=$cups/cups.sock # lpadmin and the game both talk to this server

cups_pid=
stop_cups() {
    if [[ -n "$cups_pid" ]]; then
        kill "$cups_pid" 2>/dev/null || true
        wait "$cups_pid" 2>/dev/null || true
        cups_pid=
    fi
}
trap 'stop_cups; cleanup; rm -rf "$cups"' EXIT

start_cups() {
    mkdir -p "$cups"/{conf/ppd,spool,tmp,cache,state,log}
    # The filters run as the user lp: they read the spooled job and write their temporary files.
    chmod -R a+rX "$cups"
    chmod 1777 "$cups/tmp"
    cat >"$cups/cups-files.conf" <<END
ServerRoot $cups/conf
RequestRoot $cups/spool
TempDir $cups/tmp
CacheDir $cups/cache
StateDir $cups/state
ErrorLog $cups/log/error_log
AccessLog $cups/log/access_log
PageLog $cups/log/page_log
SystemGroup root
END
    cat >"$cups/cupsd.conf" <<END
Listen $CUPS_SERVER
Browsing No
WebInterface No
LogLevel warn
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
END
    cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" &
    cups_pid=$!
    for _ in $(seq 100); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.1
    done
    lpadmin -p "$printer" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    lpadmin -d "$printer"
}

# The PDF files the printer wrote since the last `mark`. Our server numbers its jobs from 1
# again at each start, so a file name of an earlier run may come back: only times tell.
mark() { touch "$cups/mark"; }
new_pdfs() {
    find "${pdf_folders[@]}" -name '*.pdf' -newer "$cups/mark" 2>/dev/null || true
}

start_cups
start_x
start_game

# One spin first, so the status line stops blinking and the window holds still.
click_lever
sleep 1
shot print_window
mark

click_print
answer "$(box '^Jangora 2\.4$')" Return
new=
for _ in $(seq 200); do
    new=$(new_pdfs | head -n 1)
    [[ -n "$new" ]] && break
    sleep 0.1
done
[[ -n "$new" ]] || fail "no PDF came out of the print queue"
for _ in $(seq 100); do # until the printer has finished writing it
    pdfinfo "$new" >/dev/null 2>&1 && break
    sleep 0.1
done
echo "printed: $new"

# The page at 96 dots per inch holds the window at its natural size: both trimmed to their
# drawn content (ignoring faint pixels of the PDF's image compression), the sizes agree within
# 2 % and the normalised RMS difference is below 0.05.
pdftoppm -r 96 -png -singlefile "$new" "$shots/print_page"
convert "$shots/print_page.png" -fuzz 10% -trim +repage "$shots/print_page_trimmed.png"
convert "$shots/print_window.png" -fuzz 10% -trim +repage "$shots/print_window_trimmed.png"
read -r pw ph <<<"$(identify -format "%w %h" "$shots/print_page_trimmed.png")"
read -r ww wh <<<"$(identify -format "%w %h" "$shots/print_window_trimmed.png")"
echo "window content ${ww}x${wh}, printed ${pw}x${ph}"
((pw * 100 >= ww * 98 && pw * 100 <= ww * 102 && ph * 100 >= wh * 98 && ph * 100 <= wh * 102)) ||
    fail "the printed window is ${pw}x${ph}, the window ${ww}x${wh}"
convert "$shots/print_page_trimmed.png" -resize "${ww}x${wh}!" "$shots/print_page_scaled.png"
rmse=$( (compare -metric RMSE "$shots/print_page_scaled.png" "$shots/print_window_trimmed.png" \
    null: 2>&1 || true) | sed -E 's/.*\((.*)\).*/\1/')
echo "normalised RMS difference: $rmse"
below "$rmse" 0.05 || fail "the print does not look like the window"

# No printer: the player is told so, declines to save a PDF, and nothing is written.
stop_cups
mark
click_print
answer "$(box '^Jangora 2\.4$')" Return
answer "$(box 'no printer')" Escape
sleep 1
[[ -z "$(new_pdfs)" ]] || fail "a PDF was written without a printer"
[[ ! -e jangora.pdf && ! -e "$HOME/jangora.pdf" ]] || fail "a PDF file was saved"
kill -0 "$game_pid" || fail "the game is gone"
echo "without a printer: told, declined, nothing written"
