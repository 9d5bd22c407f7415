#!/usr/bin/env bash
# Builds the benchmarks in build/ (optimised) and runs every bench_* executable, printing
# their figures; then the whole-run figures of scripts/bench-run.sh.
#   scripts/bench.sh [extra benchmark arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DHELICART_BENCHMARKS=ON >/dev/null
cmake --build "$build" --target benchmarks -j 2

status=0
for bench in "$build"/bin/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench") =="
    "$bench" "$@" || status=$?
    echo
done
echo "== whole runs =="
bash "$root/scripts/bench-run.sh" || status=$?
exit "$status"
