#!/usr/bin/env bash
# The game in odd surroundings: no reachable display (one line, status 2), libfaketime a year
# ahead, odd locales, a device-pixel ratio of 2.
source "$(dirname "$0")/lib.sh" "$@"

start_x 1400x1000x24
private_runtime # so that only the display is missing
for setting in DISPLAY= DISPLAY=:99999 "DISPLAY=$DISPLAY.5" "DISPLAY= WAYLAND_SOCKET=junk" \
    "DISPLAY= WAYLAND_SOCKET=0" "DISPLAY= QT_QPA_PLATFORM=wayland WAYLAND_SOCKET=0"; do
    refused=0
    # shellcheck disable=SC2086 # the setting is words for env
    env XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM= $setting "$game" 2>"$shots/no_display.txt" \
        </dev/null || refused=$?
    said=$(cat "$shots/no_display.txt")
    [[ $refused == 2 && $said == *display* && $(wc -l <<<"$said") == 1 ]] ||
        fail "$setting: status $refused, said: $said"
    echo "$setting: $said"
done

# A year ahead: the status line blinks, the bankroll shows, a spin is revealed and evaluated.
# (In a sanitized build AddressSanitizer must not insist on coming first.)
start_game env LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME=+365d \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0"
shot faketime_start
shot_after 0.8 faketime_blinked
(($(differing faketime_start faketime_blinked $status_box) > 100)) || fail "no blink under faketime"
below "$(mean faketime_start "$bankroll_box")" 0.95 || fail "no bankroll under faketime"
click_lever
shot_after 1 faketime_spun
below "$(mean faketime_spun "${reel_boxes[2]}")" 0.97 || fail "no spin revealed under faketime"
(($(differing faketime_start faketime_spun "$bankroll_box") > 20)) || fail "no charge under faketime"
echo "a year ahead under libfaketime: blinks, shows the bankroll, plays a spin"
stop_game

for locale in xx_XX.UTF-8 ar_EG.UTF-8 he_IL.UTF-8 fa_IR.UTF-8; do
    LC_ALL=$locale LANG=$locale start_game
    shot "locale_$locale"
    ink=$(convert "$shots/locale_$locale.png" -crop "$bankroll_box" +repage -colorspace Gray \
        -threshold 50% -format '%[fx:round((1 - mean) * w * h)]' info:) # dark on pale green
    echo "$locale: window up, $ink dark pixels in the bankroll box"
    ((ink > 40)) || fail "no bankroll shown in $locale"
    stop_game
done

QT_SCALE_FACTOR=1 start_game
shot hidpi_1x
stop_game
QT_SCALE_FACTOR=2 start_game
shot hidpi_2x
[[ $(identify -format '%wx%h' "$shots/hidpi_2x.png") == 1214x898 ]] || fail "not 1214x898 at 2x"
# Halved, the 2x window matches the 1x one outside the blinking status line.
convert "$shots/hidpi_2x.png" -filter box -resize 607x449 "$shots/hidpi_2x_halved.png"
for scale in 1x 2x_halved; do
    convert "$shots/hidpi_$scale.png" -fill white -draw 'rectangle 16,48 593,89' "$shots/.$scale.png"
done
rmse=$( (compare -metric RMSE "$shots/.1x.png" "$shots/.2x_halved.png" null: 2>&1 || true) |
    sed -E 's/.*\((.*)\).*/\1/')
echo "layout: normalised RMS difference of the halved 2x window and the 1x window $rmse"
below "$rmse" 0.06 || fail "the layout differs at 2x"
# In a 1x picture blown up every 2 x 2 block of device pixels is one colour; in the
# bankroll's text drawn at 2x many are not.
convert "$shots/hidpi_2x.png" -crop 482x66+240+784 +repage "$shots/.amount.png"
convert "$shots/.amount.png" -filter box -resize 50% -filter point -resize 200% "$shots/.blocks.png"
detail=$(compare -metric AE "$shots/.amount.png" "$shots/.blocks.png" null: 2>&1 || true)
echo "bankroll text: $detail device pixels finer than a 2 x 2 block"
((${detail%% *} > 200)) || fail "the text is not drawn at full resolution"
