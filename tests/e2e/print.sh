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
cups=$(mktemp -d)
export CUPS_SERVER=$cups/cups.sock # lpadmin and the game both talk to this server
stop_cups() { [[ -z "${cups_pid:-}" ]] || { kill "$cups_pid"; wait "$cups_pid" || true; cups_pid=; }; }
trap 'stop_cups; cleanup; rm -rf "$cups"' EXIT

mkdir -p "$cups"/{conf/ppd,spool,tmp,cache,state,log}
# The filters run as the user lp: they read the spooled job and write their temporary files.
chmod -R a+rX "$cups"
chmod 1777 "$cups/tmp"
printf '%s\n' "ServerRoot $cups/conf" "RequestRoot $cups/spool" "TempDir $cups/tmp" \
    "CacheDir $cups/cache" "StateDir $cups/state" "ErrorLog $cups/log/error_log" \
    "AccessLog $cups/log/access_log" "PageLog $cups/log/page_log" "SystemGroup root" \
    >"$cups/cups-files.conf"
printf '%s\n' "Listen $CUPS_SERVER" "Browsing No" "WebInterface No" "<Policy default>" \
    "<Limit All>" "Order deny,allow" "</Limit>" "</Policy>" >"$cups/cupsd.conf"
cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" &
cups_pid=$!
until lpstat -r 2>/dev/null | grep -q "is running"; do sleep 0.1; done
lpadmin -p Jangora-PDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
lpadmin -d Jangora-PDF

# Our server numbers its jobs from 1 at each start, so an earlier run's file name may come back:
# only times tell the new PDFs.
new_pdfs() { find /root/PDF /var/spool/cups-pdf -name '*.pdf' -newer "$cups/mark" 2>/dev/null || true; }

start_x
start_game
click_lever # so the status line stops blinking and the window holds still
shot_after 1 print_window
touch "$cups/mark"
click_print
answer "$(box '^Jangora 2\.4$')" Return
for _ in $(seq 200); do
    pdf=$(new_pdfs | head -n 1)
    [[ -n "$pdf" ]] && pdfinfo "$pdf" >/dev/null 2>&1 && break
    sleep 0.1
done
[[ -n "$pdf" ]] || fail "no PDF came out of the print queue"

# The page at 96 dots per inch holds the window at its natural size: both trimmed to their
# drawn content (faint pixels of the PDF's image compression aside), the sizes agree within 2 %
# and the normalised RMS difference is below 0.05.
pdftoppm -r 96 -png -singlefile "$pdf" "$shots/print_page"
for picture in print_page print_window; do
    convert "$shots/$picture.png" -fuzz 10% -trim +repage "$shots/${picture}_trimmed.png"
done
read -r pw ph ww wh <<<"$(identify -format "%w %h " "$shots"/print_{page,window}_trimmed.png)"
echo "printed $pdf: window content ${ww}x${wh}, printed ${pw}x${ph}"
((pw * 100 >= ww * 98 && pw * 100 <= ww * 102 && ph * 100 >= wh * 98 && ph * 100 <= wh * 102)) ||
    fail "the printed window is ${pw}x${ph}, the window ${ww}x${wh}"
convert "$shots/print_page_trimmed.png" -resize "${ww}x${wh}!" "$shots/print_page_scaled.png"
rmse=$( (compare -metric RMSE "$shots/print_page_scaled.png" "$shots/print_window_trimmed.png" \
    null: 2>&1 || true) | sed -E 's/.*\((.*)\).*/\1/')
echo "normalised RMS difference: $rmse"
below "$rmse" 0.05 || fail "the print does not look like the window"

stop_cups
touch "$cups/mark"
click_print
answer "$(box '^Jangora 2\.4$')" Return
answer "$(box 'no printer')" Escape
sleep 1
[[ -z "$(new_pdfs)" && ! -e jangora.pdf && ! -e "$HOME/jangora.pdf" ]] ||
    fail "a PDF was written without a printer"
kill -0 "$game_pid" || fail "the game is gone"
echo "without a printer: told, declined, nothing written"
