#!/usr/bin/env bash
# The game in odd locales: one no system has, Hebrew written right to left, and Arabic and
# Persian written right to left with digits of their own. Each time it starts, stays up and
# writes the bankroll in its box; the texts themselves are checked in the Qt tests.
source "$(dirname "$0")/lib.sh" "$@"

start_x
for locale in xx_XX.UTF-8 ar_EG.UTF-8 he_IL.UTF-8 fa_IR.UTF-8; do
    LC_ALL=$locale LANG=$locale start_game
    shot "locale_$locale"
    kill -0 "$game_pid" 2>/dev/null || fail "the game died in $locale"
    # The bankroll box is pale green; its text is dark.
    ink=$(convert "$shots/locale_$locale.png" -crop "$bankroll_box" +repage -colorspace Gray \
        -threshold 50% -format '%[fx:round((1 - mean) * w * h)]' info:)
    echo "$locale: window up, $ink dark pixels in the bankroll box"
    ((ink > 40)) || fail "no bankroll shown in $locale"
    stop_game
done
