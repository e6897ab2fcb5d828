#!/usr/bin/env bash
# The game in odd surroundings. Without a reachable display (none set, one nobody serves, a
# screen the display lacks) it says so in one line and exits with status 2. In odd locales (one
# no system has; Hebrew, Arabic and Persian, right to left, the last two with digits of their
# own) it starts and writes the bankroll in its box; the texts are checked in the Qt tests. At
# a device-pixel ratio of 2 its client area is 1214 x 898 device pixels, laid out as at 1x,
# with text drawn at full resolution rather than a 1x picture blown up.
source "$(dirname "$0")/lib.sh" "$@"

start_x 1400x1000x24
for display in "" ":99999" "$DISPLAY.5"; do
    refused=0
    DISPLAY=$display QT_QPA_PLATFORM= "$game" 2>"$shots/no_display.txt" </dev/null || refused=$?
    said=$(cat "$shots/no_display.txt")
    [[ $refused == 2 && $said == *display* && $(wc -l <<<"$said") == 1 ]] ||
        fail "DISPLAY='$display': status $refused, said: $said"
    echo "$said"
done

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
