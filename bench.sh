#!/usr/bin/env bash
# Builds the game and runs its benchmarks; the results go to build/bench/results.txt.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh --tests
mkdir -p build/bench
build/bin/spin_benchmark --benchmark_counters_tabular=true | tee build/bench/results.txt
