#!/usr/bin/env bash
# Builds the project and the libFuzzer targets of tests/fuzz with clang (build-fuzz/, with
# AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors) and runs each target
# for SECONDS seconds (default 60), one after the other on one core.
#   scripts/fuzz.sh [SECONDS] [TARGET...]      TARGET: fields reader layouts classes options scales
#                                               table
# Each target starts from its checked-in seeds (tests/fuzz/corpus/<target>/) and the inputs of
# past findings (tests/fuzz/regressions/<target>/); what it learns is kept in
# build-fuzz/corpus/<target>/, what it finds in build-fuzz/crashes/<target>/ (crash-*, leak-*,
# timeout-*, oom-*). A finding is replayed with
#   build-fuzz/bin/fuzz_<target> build-fuzz/crashes/<target>/crash-...
# and, once fixed, copied to tests/fuzz/regressions/<target>/ so that CTest replays it.
# Exits non-zero when a target found something.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fields reader layouts classes options scales table)

bash "$root/scripts/install-deps.sh"
# The whole project is built, tests and benchmarks too, so that this build also holds all of
# it to clang's warnings.
cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DHELICART_FUZZ=ON -DHELICART_WERROR=ON -DBUILD_TESTING=ON -DHELICART_BENCHMARKS=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2

# Inputs longer than these add nothing a shorter one cannot reach.
declare -A flags=(
    [fields]="-max_len=128"
    [reader]="-max_len=4096"
    [layouts]="-max_len=4096"
    [classes]="-max_len=8192 -dict=$root/tests/fuzz/classes.dict"
    [options]="-max_len=512"
    [scales]="-max_len=64"
    [table]="-max_len=1024"
)

export QT_QPA_PLATFORM=offscreen
# Leaks count as findings, except memory that fontconfig keeps for the fonts Qt caches and Qt
# for its threads (tests/lsan.supp), matched by library functions that only a full unwinding of
# the allocation stacks reaches (fontconfig's configuration is loaded some twenty frames deep).
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
summary=()
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    crashes=$build/crashes/$target
    log=$build/fuzz-$target.log
    mkdir -p "$corpus" "$crashes"
    seeds=("$root/tests/fuzz/corpus/$target")
    [ -d "$root/tests/fuzz/regressions/$target" ] && seeds+=("$root/tests/fuzz/regressions/$target")
    echo "== fuzz_$target for $seconds s =="
    result=0
    # shellcheck disable=SC2086
    "$build/bin/fuzz_$target" ${flags[$target]:-} -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/" \
        "$corpus" "${seeds[@]}" >"$log" 2>&1 || result=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1 || true)
    coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
    if [ "$result" -ne 0 ]; then
        status=1
        tail -n 60 "$log"
        summary+=("fuzz_$target: FOUND a problem (status $result), see $log and $crashes/")
    else
        summary+=("fuzz_$target: ${execs:-?} executions, ${coverage:-no coverage figures}, nothing found")
    fi
done
printf '%s\n' "${summary[@]}"
exit "$status"
