#!/usr/bin/env bash
# Under GNOME's compositor as GNOME runs it (mutter on Wayland, nested in an X server of the
# test's own), which decorates nothing: the boxes show inside the window, framed with their
# titles, and answer keys and the mouse; a held key plays once; the window's own close button
# ends the game with status 0.
source "$(dirname "$0")/lib.sh" "$@"

own_session_bus "$@"
start_x 1024x768x24
private_runtime
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
asked() { # asked TITLE: the box so titled, answered by the keys or clicks that follow, is gone
    for _ in $(seq 20); do [[ -z $(accessible box "$1" 2>/dev/null) ]] && return; sleep 0.1; done
    fail "the box $1 is still open"
}
click_at $((3 + lever[0])) $((30 + lever[1])) # a spin, the game having taken the click
sleep 0.5
(($(cents) == 6975)) || fail "a click on the lever played no spin"

# The print question: inside the window, framed (a 3 px border and a 30 px bar, with its title)
# over the middle of the client area.
click_at $((3 + print_button[0])) $((30 + print_button[1]))
sleep 1
screen question
said=$(accessible box "Jangora 2.4" | tr '\n' ' ')
[[ $said == "This button is to print the current screen. Are you sure you want to do that? " ]] ||
    fail "the box read: $said"
read -r bx by bw bh <<<"$(accessible where "Jangora 2.4")"
off_x=$((bx - 3 + (bw + 6) / 2 - 3 - 607 / 2)) off_y=$((by - 30 + (bh + 33) / 2 - 30 - 449 / 2))
echo "the box at $bx,$by of the window, ${bw}x${bh}: $off_x,$off_y off the middle"
((off_x * off_x + off_y * off_y <= 4)) || fail "the box is not over the middle of the game"
title=$(convert "$shots/question.png" -crop "${bw}x24+$((left + bx))+$((top + by - 27))" +repage \
    -colorspace Gray -threshold 40% -format '%[fx:round((1 - mean) * w * h)]' info:)
((title > 100)) || fail "no title above the box: $title dark pixels"

# The keyboard: Tab moves to No, and round its two buttons again; Return answers No.
xdotool key Tab Tab Tab Return
asked "Jangora 2.4"
[[ -z $(accessible box "Jangora 2.4: no printer" 2>/dev/null) ]] || fail "Return on No printed"
echo "Tab, Tab, Tab and Return answered No"

# The mouse: a click on Yes, then the next box is answered with Escape.
click_at $((3 + print_button[0])) $((30 + print_button[1]))
sleep 1
read -r yes_x yes_y yes_w yes_h <<<"$(accessible where "Jangora 2.4" Yes)"
click_at $((yes_x + yes_w / 2)) $((yes_y + yes_h / 2))
sleep 1
said=$(accessible box "Jangora 2.4: no printer" | tr '\n' ' ')
[[ $said == "No printer is available."* ]] || fail "a click on Yes brought: $said"
xdotool key Escape
asked "Jangora 2.4: no printer"
echo "a click on Yes asked to print; Escape answered the next box"

before=$(cents)
xdotool keydown space
sleep 2
xdotool keyup space
sleep 1
charged=$(charged "$before" "$(cents)")
echo "Space held 2 s: $charged spin charged"
((charged == 1)) || fail "Space held 2 s played $charged spins"

click_at $((607 + 6 - 3 - 5 - 9)) 15 # the close button, the first from the right
wait_for_end 3
((exit_status == 0)) || fail "closed from its title bar, the game ended with $exit_status"
echo "closed from its title bar: status 0"
