#!/usr/bin/env bash
# The harness cannot pass a failing check: a failure ends its test wherever it happens (in the
# script, inside $(...), in a pipe); a measurement that is not a number, a tool that fails and a
# helper that fails are failures; a wait that runs out says what it waited for.
set -euo pipefail
lib=$(dirname "$0")/lib.sh
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
convert -size 20x10 xc:white "$shots/white.png"
mkdir "$shots/bin" # a compare that fails, as ImageMagick's does on a file it cannot read
printf '#!/bin/sh\necho "compare: unable to open image" >&2\nexit 2\n' >"$shots/bin/compare"
chmod +x "$shots/bin/compare"
run() { bash -c "source '$lib' /bin/true '$shots'; $1; echo reached" 2>&1; }

for planted in 'fail planted' 'x=$(fail planted) y=$(echo 1)' 'echo "$(fail planted)"' \
    'fail planted | cat' 'below "convert: no such image" 0.1' 'below "" 0.1' \
    '(($(differing white nothere 5x5+0+0) > 0))' 'mean nothere 5x5+0+0' \
    'PATH=$shots/bin:$PATH; below "$(rmse white white)" 0.05' 'wait_for "the planted thing" 1 -- false' \
    'game_pid=1; accessible control Bankroll'; do
    status=0
    said=$(run "$planted") || status=$?
    if ((status == 0)) || [[ $said == *reached* ]]; then
        echo "FAIL: '$planted' let the test go on (status $status): $said" >&2
        exit 1
    fi
    echo "'$planted' ended the test with status $status: ${said//$'\n'/ }"
done
[[ $(run 'wait_for "x" 1 -- false') == *"waited 1 s for x"* ]] || { echo "FAIL: a wait ran out unsaid" >&2; exit 1; }
[[ $(run 'below "$(mean white 5x5+0+0)" 1.1 && (($(differing white white 5x5+0+0) == 0))') == reached ]] ||
    { echo "FAIL: a test with no failure did not end well" >&2; exit 1; }
