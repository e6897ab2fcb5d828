#!/usr/bin/env bash
# At a device-pixel ratio of 2 the client area is 1214 x 898 device pixels, laid out as at 1x,
# with text drawn at full resolution rather than a 1x picture blown up.
source "$(dirname "$0")/lib.sh" "$@"

start_x 1400x1000x24
QT_SCALE_FACTOR=1 start_game
shot hidpi_1x
stop_game
QT_SCALE_FACTOR=2 start_game
shot hidpi_2x

size=$(identify -format '%wx%h' "$shots/hidpi_2x.png")
[[ "$size" == 1214x898 ]] || fail "the client area is $size device pixels"

# The same layout: halved, the 2x window matches the 1x one outside the blinking status line.
convert "$shots/hidpi_2x.png" -filter box -resize 607x449 "$shots/hidpi_2x_halved.png"
convert "$shots/hidpi_1x.png" -fill white -draw 'rectangle 16,48 593,89' "$shots/.1x.png"
convert "$shots/hidpi_2x_halved.png" -fill white -draw 'rectangle 16,48 593,89' "$shots/.2x.png"
rmse=$( (compare -metric RMSE "$shots/.1x.png" "$shots/.2x.png" null: 2>&1 || true) |
    sed -E 's/.*\((.*)\).*/\1/')
echo "layout: normalised RMS difference of the halved 2x window and the 1x window $rmse"
below "$rmse" 0.06 || fail "the layout differs at 2x"

# Full resolution: in a 1x picture blown up, every 2 x 2 block of device pixels is one colour.
# Here many blocks of the bankroll's text are not.
amount=482x66+240+784
convert "$shots/hidpi_2x.png" -crop $amount +repage "$shots/.amount.png"
convert "$shots/.amount.png" -filter box -resize 50% -filter point -resize 200% "$shots/.blocks.png"
detail=$(compare -metric AE "$shots/.amount.png" "$shots/.blocks.png" null: 2>&1 || true)
rm -f "$shots"/.1x.png "$shots"/.2x.png "$shots"/.amount.png "$shots"/.blocks.png
echo "bankroll text: $detail device pixels finer than a 2 x 2 block"
((${detail%% *} > 200)) || fail "the text is not drawn at full resolution"
