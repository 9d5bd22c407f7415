#!/usr/bin/env bash
# Checks the size limits of the product code (common/, compassplot/, helicart/, interfaces/,
# tickfit/): no file over 500 lines, no function body over 60 lines. Function sizes come from
# clang-tidy's readability-function-size check (LineThreshold 60: the lines of a body from its
# opening to its closing brace), run on the compile commands of build/.
#   scripts/size-check.sh [BUILD_DIR]    status 1 when a limit is passed
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
[ -f "$build/compile_commands.json" ] || { echo "size-check: configure $build first" >&2; exit 2; }
cd "$root"
status=0

mapfile -t files < <(git ls-files common compassplot helicart interfaces tickfit | grep -E '\.(cpp|h)$')
while read -r lines file; do
    if [ "$lines" -gt 500 ] && [ "$file" != total ]; then
        echo "$file: $lines lines"
        status=1
    fi
done < <(wc -l "${files[@]}")

mapfile -t sources < <(printf '%s\n' "${files[@]}" | grep '\.cpp$')
config='{Checks: "-*,readability-function-size", CheckOptions: [{key: readability-function-size.LineThreshold, value: 60}]}'
if clang-tidy -p "$build" --quiet --config="$config" "${sources[@]}" 2>/dev/null \
    | grep -A1 "warning: function" | grep -v '^--$'; then
    status=1
fi
[ "$status" -eq 0 ] && echo "size-check: no file over 500 lines, no function over 60 lines"
exit "$status"
