#!/usr/bin/env bash
# Printing for real: a CUPS server on this machine with a PDF printer as its default; a click
# on the print button, Yes with the keyboard, and the PDF from the queue shows the window.
# Then, with the server stopped, the player is told there is no printer and, declining the
# offer to save a PDF, nothing is written.
source "$(dirname "$0")/lib.sh" "$@"

if ((EUID != 0)); then
    echo "SKIP: the print test runs its own CUPS server, which needs root"
    exit 77
fi

printer=Jangora-PDF
pdf_folders=(/root/PDF /var/spool/cups-pdf)

cups_pid=
stop_cups() {
    if [[ -n "$cups_pid" ]]; then
        kill "$cups_pid" 2>/dev/null || true
        wait "$cups_pid" 2>/dev/null || true
        cups_pid=
    fi
}
trap 'stop_cups; cleanup' EXIT

start_cups() {
    local began
    began=$(date +%s%N)
    if pgrep -x cupsd >/dev/null; then
        # A CI machine may have started the server when the package was installed; elsewhere
        # the test leaves the machine's own printing alone.
        if [[ -z "${CI:-}" ]]; then
            echo "SKIP: a CUPS server is already running on this machine"
            exit 77
        fi
        pkill -x cupsd
        while pgrep -x cupsd >/dev/null; do sleep 0.1; done
    fi
    mkdir -p /run/cups
    cupsd -f &
    cups_pid=$!
    for _ in $(seq 100); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.1
    done
    lpadmin -p "$printer" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    lpadmin -d "$printer"
    echo "CUPS set up in $(( ($(date +%s%N) - began) / 1000000 )) ms"
}

pdfs() {
    { find "${pdf_folders[@]}" -name '*.pdf' 2>/dev/null || true; } | sort
}

start_cups
start_x
start_game

# One spin first, so the status line stops blinking and the window holds still.
point_at 503 358
xdotool click 1
sleep 1
shot print_window
before=$(pdfs)

click_print
answer "$(box '^Jangora 2\.4$')" Return
new=
for _ in $(seq 200); do
    new=$(comm -13 <(echo "$before") <(pdfs) | head -n 1)
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
# drawn content (ignoring faint pixels of the PDF's image compression), the sizes agree within 2 % and the normalised RMS difference is below 0.05.
pdftoppm -r 96 -png -singlefile "$new" "$shots/print_page"
convert "$shots/print_page.png" -fuzz 10% -trim +repage "$shots/print_page_trimmed.png"
convert "$shots/print_window.png" -fuzz 10% -trim +repage "$shots/print_window_trimmed.png"
read -r pw ph <<<"$(identify -format "%w %h" "$shots/print_page_trimmed.png")"
read -r ww wh <<<"$(identify -format "%w %h" "$shots/print_window_trimmed.png")"
echo "window content ${ww}x${wh}, printed ${pw}x${ph}"
(( pw * 100 >= ww * 98 && pw * 100 <= ww * 102 && ph * 100 >= wh * 98 && ph * 100 <= wh * 102 )) ||
    fail "the printed window is ${pw}x${ph}, the window ${ww}x${wh}"
convert "$shots/print_page_trimmed.png" -resize "${ww}x${wh}!" "$shots/print_page_scaled.png"
rmse=$( (compare -metric RMSE "$shots/print_page_scaled.png" "$shots/print_window_trimmed.png" \
    null: 2>&1 || true) | sed -E 's/.*\((.*)\).*/\1/')
echo "normalised RMS difference: $rmse"
awk -v e="$rmse" 'BEGIN { exit !(e < 0.05) }' || fail "the print does not look like the window"

# No printer: the player is told so, declines to save a PDF, and nothing is written.
stop_cups
before=$(pdfs)
click_print
answer "$(box '^Jangora 2\.4$')" Return
answer "$(box 'no printer')" Escape
sleep 1
[[ "$(pdfs)" == "$before" ]] || fail "a PDF was written without a printer"
[[ ! -e jangora.pdf && ! -e "$HOME/jangora.pdf" ]] || fail "a PDF file was saved"
kill -0 "$game_pid" || fail "the game is gone"
echo "without a printer: told, declined, nothing written"
