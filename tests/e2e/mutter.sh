#!/usr/bin/env bash
# The game under GNOME's compositor as GNOME runs it (mutter as a Wayland compositor, no X11),
# nested in an X server of the test's own, through which it is seen and driven. Mutter draws
# no title bars: the window draws its own, and its boxes show inside it, over the middle of the
# game, framed with their titles; they answer the keyboard (Tab goes round their buttons,
# Return presses one) and the mouse, and a screen reader reads them. Space held 2 s plays one
# spin (on Wayland Qt repeats a held key itself). The title bar's close button ends the game
# with status 0.
source "$(dirname "$0")/lib.sh" "$@"

[[ -n "${JANGORA_OWN_BUS:-}" ]] || JANGORA_OWN_BUS=1 exec dbus-run-session -- "$0" "$@"
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
    variant:boolean:true >/dev/null
here=$(dirname "$0")
start_x 1024x768x24
runtime=$(mktemp -d)
chmod 700 "$runtime"
trap 'cleanup; rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR=$runtime MUTTER_DEBUG_DUMMY_MODE_SPECS=800x600 mutter --nested --wayland --no-x11 \
    --wayland-display=gnome >"$shots/mutter.log" 2>&1 &
manager_pid=$! # stopped with the rest
until [[ -S $runtime/gnome ]]; do sleep 0.05; done

screen() { # mutter's output, the pointer in its corner
    xdotool mousemove 790 590
    sleep 0.1
    import -window root -crop 800x600+0+0 +repage "$shots/$1.png"
}
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=gnome QT_QPA_PLATFORM=wayland \
    CUPS_SERVER="$runtime/no-print-server" "$game" &
game_pid=$!
client= # where the client area is on the screen, its one white box of 607 x 449
# Away from the window as it opens: mutter nested in X moves a pointer that was over a window
# as it opened without telling the window, which then takes clicks where the pointer was.
for _ in $(seq 100); do
    screen start
    client=$(convert "$shots/start.png" -crop 780x580+0+0 -fill black +opaque white -trim \
        -format '%wx%h%X%Y' info: 2>/dev/null) # but where the pointer's white is
    [[ $client == 607x449+* ]] && break
    sleep 0.1
done
[[ $client == 607x449+* ]] || fail "no client area of 607x449 on the screen: $client"
read -r x y <<<"$(echo "${client#*+}" | tr '+' ' ')"
left=$((x - 3)) top=$((y - 30)) # the window's own frame: a 3 px border, a 30 px title bar
echo "the window at $left,$top, its client area at $x,$y"
# As a hand moves a pointer: there, then a click a moment later.
at() { xdotool mousemove "$((left + $1))" "$((top + $2))" && sleep 0.2; } # at X Y: in the window
click_at() { at "$@" && xdotool click 1; }
cents() {
    local amount
    amount=$(/usr/bin/python3 "$here/accessible.py" control Bankroll) || fail "no bankroll"
    amount=${amount//[$,.]/}
    echo $((10#$amount))
}
click_at $((3 + lever[0])) $((30 + lever[1])) # a spin, so that the status line holds still
sleep 0.5
(($(cents) == 6975)) || fail "a click on the lever played no spin"
screen before
for _ in $(seq 20); do # until the spin is over and the window holds still
    sleep 0.5
    screen still
    (($(differing before still 800x600+0+0) == 0)) && break
    mv "$shots/still.png" "$shots/before.png"
done

# The print question: inside the window, over its middle, with its title above it.
click_at $((3 + print_button[0])) $((30 + print_button[1]))
sleep 1
screen question
said=$(/usr/bin/python3 "$here/accessible.py" box "Jangora 2.4" | tr '\n' ' ')
[[ $said == "This button is to print the current screen. Are you sure you want to do that? " ]] ||
    fail "the box read: $said"
changed=$(compare "$shots/before.png" "$shots/question.png" -compose src -highlight-color black \
    -lowlight-color white miff:- 2>/dev/null | convert - -trim -format '%wx%h%X%Y' info:) || true
read -r w h bx by <<<"$(echo "$changed" | tr 'x+' '  ')"
echo "the box, framed, at $bx,$by, ${w}x${h}"
((bx >= x && by >= y && bx + w <= x + 607 && by + h <= y + 449)) ||
    fail "the box at ${w}x${h}+$bx+$by is not inside the client area at $x,$y"
centre_x=$((bx + w / 2 - x - 607 / 2)) centre_y=$((by + h / 2 - y - 449 / 2))
((centre_x * centre_x + centre_y * centre_y <= 4)) ||
    fail "the box is $centre_x,$centre_y off the middle of the client area"
title=$(convert "$shots/question.png" -crop "$((w - 6))x24+$((bx + 3))+$((by + 3))" +repage \
    -colorspace Gray -threshold 40% -format '%[fx:round((1 - mean) * w * h)]' info:)
((title > 100)) || fail "no title above the box: $title dark pixels"

# The keyboard: Tab moves to No, and round its two buttons again; Return answers No.
xdotool key Tab Tab Tab Return
sleep 1
screen answered
(($(differing before answered "${w}x${h}+$bx+$by") == 0)) || fail "the box did not go"
[[ -z $(/usr/bin/python3 "$here/accessible.py" box "Jangora 2.4: no printer" 2>/dev/null) ]] ||
    fail "Return on No printed"
echo "Tab, Tab, Tab and Return answered No"

# The mouse: a click on Yes, then the next box is answered with Escape.
click_at $((3 + print_button[0])) $((30 + print_button[1]))
sleep 1
read -r yes_x yes_y yes_w yes_h <<<"$(/usr/bin/python3 "$here/accessible.py" button "Jangora 2.4" Yes)"
click_at $((yes_x + yes_w / 2)) $((yes_y + yes_h / 2))
sleep 1
said=$(/usr/bin/python3 "$here/accessible.py" box "Jangora 2.4: no printer" | tr '\n' ' ')
[[ $said == "No printer is available."* ]] || fail "a click on Yes brought: $said"
xdotool key Escape
sleep 1
screen escaped
(($(differing before escaped "${w}x${h}+$bx+$by") == 0)) || fail "Escape did not answer the box"
echo "a click on Yes asked to print; Escape answered the next box"

before=$(cents)
xdotool keydown space
sleep 2
xdotool keyup space
sleep 1
charged=$(((((before - $(cents)) % 500) + 500) % 500 / 25))
echo "Space held 2 s: $charged spin charged"
((charged == 1)) || fail "Space held 2 s played $charged spins"

click_at $((607 + 6 - 3 - 5 - 9)) 15 # the close button, the first from the right
wait_for_end 3
((exit_status == 0)) || fail "closed from its title bar, the game ended with $exit_status"
echo "closed from its title bar: status 0"
