#!/usr/bin/env bash
# A failed check ends its test wherever it fails: in the script, inside $(...), in a pipe.
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
