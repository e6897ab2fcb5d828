#!/usr/bin/env bash
# The harness itself: a failed check ends its test with a failing status wherever it fails,
# in the script, inside $(...), where exit would end only a subshell, or in a pipe; a test
# with no failed check goes on to its end.
set -euo pipefail
lib=$(dirname "$0")/lib.sh
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
run() { bash -c "source '$lib' /bin/true '$shots'; $1; echo reached" 2>&1; }

for planted in 'fail planted' 'x=$(fail planted) y=$(echo 1)' 'echo "$(fail planted)"' \
    'fail planted | cat'; do
    status=0
    said=$(run "$planted") || status=$?
    if ((status == 0)) || [[ $said == *reached* ]]; then
        echo "FAIL: '$planted' let the test go on (status $status): $said" >&2
        exit 1
    fi
    echo "'$planted' ended the test with status $status"
done
[[ $(run 'x=$(echo fine)') == reached ]] || { echo "FAIL: a test with no failure did not end" >&2; exit 1; }
