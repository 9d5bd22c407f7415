#!/usr/bin/env bash
# Installs what is needed, builds and runs every test twice: a normal build (build/) and a
# build with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/); then builds the fuzz
# targets with clang (build-fuzz/) and gives each a short run.
#   scripts/test.sh              all three
#   scripts/test.sh --quick      the normal build only
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quick=0
[ "${1:-}" = "--quick" ] && quick=1

export QT_QPA_PLATFORM=offscreen

echo "== normal build =="
bash "$root/scripts/build.sh" "$root/build"
ctest --test-dir "$root/build" --output-on-failure -j "$(nproc)"

if [ "$quick" -eq 0 ]; then
    echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
    # A leak fails the run; only memory that Qt and fontconfig still own is let pass, by the
    # library functions that tests/lsan.supp names. Those lie past the first frame of a library
    # built without frame pointers, where the fast unwinder stops: allocation stacks are unwound
    # in full instead, to a depth of 8: enough for the thread-pool entry (the one this run
    # meets), and each frame more costs time on every allocation.
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0:malloc_context_size=8
    export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    bash "$root/scripts/build.sh" "$root/build-asan" -DHELICART_SANITIZE=ON \
        -DCMAKE_BUILD_TYPE=Debug -DHELICART_BENCHMARKS=OFF
    ctest --test-dir "$root/build-asan" --output-on-failure -j "$(nproc)"

    echo "== fuzz targets (clang), a short run each =="
    bash "$root/scripts/fuzz.sh" "${HELICART_FUZZ_SMOKE_SECONDS:-20}"
fi
