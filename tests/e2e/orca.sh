#!/usr/bin/env bash
# A blind player with Orca, the screen reader, checked on Orca's own record of what it says;
# and the game's boxes asked what a faulty screen reader might ask, out of range, while Orca
# reads them. Orca runs in a PID namespace of its own, since it will not start beside another.
source "$(dirname "$0")/lib.sh" "$@"

if [[ -z "${JANGORA_IN_NAMESPACE:-}" ]]; then
    start_x
    start_window_manager
    private_runtime
    export XDG_RUNTIME_DIR=$runtime # the accessibility bus of this test's own
    # Without root, the PID namespace comes with a user namespace of the test's own.
    user=()
    ((EUID == 0)) || user=(--user --map-root-user)
    JANGORA_IN_NAMESPACE=1 unshare "${user[@]}" --pid --fork --mount-proc --kill-child -- \
        dbus-run-session -- "$0" "$@" || exit 1
    exit 0
fi

for property in IsEnabled ScreenReaderEnabled; do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:$property \
        variant:boolean:true >/dev/null
done
prefs=$(mktemp -d)
scratch+=("$prefs")
spoken=$shots/orca.log
rm -f "$spoken"
# Orca writes its record line by line, so that the test can read it as it goes.
echo 'import orca.debug; orca.debug.debugFile.reconfigure(line_buffering=True)' \
    >"$prefs/orca-customizations.py"
SPEECHD_CMD=/bin/false orca -u "$prefs" --debug-file="$spoken" >"$shots/orca.out" 2>&1 &
manager_pid=$! # stopped with the rest
wait_for "Orca to start" 15 -- eval 'grep -q "Startup complete notification made" "$spoken" 2>/dev/null'
said() { sed -n "s/.*SPEECH OUTPUT: '\(.*\)' *{'established.*/\1/p" "$spoken"; } # one a line
spoken_since() { said | tail -n +$(($1 + 1)) | tr '\n' '|'; }
hears() { # hears PATTERN [MARK]: until Orca has said, after its first MARK lines, what matches
    for _ in $(seq 50); do
        said | tail -n +$((${2:-0} + 1)) | grep -qE "$1" && return
        sleep 0.1
    done
    fail "Orca did not say /$1/ within 5 s; it said: $(spoken_since "${2:-0}")"
}
asked_out_of_range() { # the game and its boxes asked out of range while Orca reads them
    local asked
    asked=$(accessible fuzz)
    kill -0 "$game_pid" || fail "the game is gone after $asked questions"
    (($(cents) > 0)) || fail "the game does not answer after $asked questions"
    echo "$1: $asked questions out of range, every one answered within a second; the game goes on"
}

start_game
hears '^Lever push button\.$'
hears '^Pull to play a spin for 25 cents\.$'
hears '^No game on\. \$70\.00\.$'
echo "at the start Orca said: $(spoken_since 0)"

mark=$(said | wc -l)
xdotool key space
results='You did not win anything\.|3 apples! You win \$10!|3 Cherries! You win \$15!!|3 Bananas!'
results+=' You win \$30!!|3 BOXES!! YOU WIN \$50!!|3 \$ SIGNS!! YOU WIN \$100!!!|JACKPOT!!! YOU'
results+=' WIN 1000\$!!!'
hears "^($results) \\\$[0-9,]+\.[0-9]{2}\.$"
echo "after a spin played with Space: $(spoken_since "$mark")"

mark=$(said | wc -l)
xdotool key Insert+KP_Enter Insert+KP_Enter
hears "^($results) statusbar\.$"
echo "the status bar read (Insert+KP_Enter, twice): $(spoken_since "$mark")"

xdotool key Tab Return
question='This button is to print the current screen\. Are you sure you want to do that\?'
hears "^$question\$"
sleep 0.5
mark=$(said | wc -l)
xdotool key KP_Enter
hears '^Yes push button\.$' "$mark"
hears "^$question\$" "$mark"
echo "where-am-I in the print question: $(spoken_since "$mark")"
mark=$(said | wc -l)
xdotool key Escape
hears '^Print the window push button\.$' "$mark"
echo "the print question answered No: $(spoken_since "$mark")"

# The printer to pick from a list, and the PDF file, with Orca reading.
/usr/bin/python3 "$here/print_peers.py" "$XDG_RUNTIME_DIR/print.sock" "$shots/print.log" responder names &
pids+=($!)
wait_for "the print server" 5 -- test -e "$shots/print.log"
asked_to_print() { # the game started again with SETTINGS, then the print question answered Yes
    stop_game
    mark=$(said | wc -l)
    start_game env "$@"
    hears '^Lever push button\.$' "$mark"
    mark=$(said | wc -l)
    xdotool key Tab Return
    hears "^$question\$" "$mark"
    mark=$(said | wc -l)
    xdotool key Return
}
asked_to_print CUPS_SERVER="$XDG_RUNTIME_DIR/print.sock"
hears '^Bars.13 push button\.$' "$mark"
asked_out_of_range "the printers offered"
xdotool key Escape
asked_to_print CUPS_SERVER="$XDG_RUNTIME_DIR/nothing.sock" HOME="$XDG_RUNTIME_DIR"
hears '^No printer is available\. Do you want to save the picture as a PDF file in your documents folder instead\?$' "$mark"
asked_out_of_range "the offer of a PDF file"
mark=$(said | wc -l)
xdotool key Return
hears "^The picture is saved as the PDF file $XDG_RUNTIME_DIR/jangora\.pdf\.\$" "$mark"
asked_out_of_range "the PDF file saved"
xdotool key Return
[[ $(file -b "$XDG_RUNTIME_DIR/jangora.pdf") == PDF* ]] || fail "no PDF file saved"
