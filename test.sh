#!/usr/bin/env bash
# Builds Jangora with everything its tests need, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh --tests
ctest --test-dir build --output-on-failure -j2
