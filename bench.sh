#!/usr/bin/env bash
# Builds the game and runs its benchmarks: the spin's micro-benchmarks, then the game as a
# process against the floor program. The tables go to build/bench/results.txt.
# Usage: ./bench.sh [RUNS]   (alternating runs of each program, 5 by default)
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh --tests
mkdir -p build/bench
build/bin/spin_benchmark --benchmark_counters_tabular=true \
    --benchmark_out=build/bench/spin.json | tee build/bench/spin.txt
awk -F'[:,]' '/"name":/ { name = $2 } /"cpu_time":/ { time[name] = $2 }
    END { alone = time[" \"drawNumbersAlone\""]; press = time[" \"chargedPressOfThousandPasses\""]
          printf "\nPress of 1000 passes against its 3,001 numbers alone: %.0f / %.0f ns = %.2f (limit 2)\n",
              press, alone, press / alone }' build/bench/spin.json | tee -a build/bench/spin.txt
echo
bench/process.sh build/bin/jangora build/bin/floor_window build/bench/process "${1:-5}"
cat build/bench/spin.txt build/bench/process/process.txt >build/bench/results.txt
echo "Written to build/bench/results.txt"
