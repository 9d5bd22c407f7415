#!/usr/bin/env bash
# Renders the shipped example (examples/station.txt with examples/helicartClasses.xml) with two
# builds and tells, image by image, whether they draw the same pictures: equal, or how many
# pixels differ and whether that stays within the tolerance of the image tests
# (tests/support/imagereference.h: a pixel differs when a channel is more than 24 off, at most
# 0.05 % of the pixels may).
#   scripts/compare-images.sh OLD_BIN [NEW_BIN]   OLD_BIN, NEW_BIN: folders that hold a built
#                                                 helicart with its plugins/ (NEW_BIN defaults
#                                                 to build/bin); status 0 when all match
#   scripts/compare-images.sh --renew [BIN]       renders with BIN (default build/bin) and
#                                                 writes the images as the references of
#                                                 tests/endtoend/data/images/ (after a change
#                                                 meant to alter them; look at them first)
# The stamp time is fixed (SOURCE_DATE_EPOCH=0 in UTC), so the stamps match as well when both
# builds honour it; the roses' stamp corner is left out of the comparison all the same.
# Needs bin/imagecompare of the build in HELICART_BUILD_DIR (default build/; built with the
# tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HELICART_BUILD_DIR:-$root/build}
compare="$build/bin/imagecompare"
[ -x "$compare" ] || { echo "compare-images: build the tests first (bash scripts/build.sh)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# render BIN_DIR OUT_DIR: the example's images into OUT_DIR.
render() {
    mkdir -p "$2"
    (cd "$root/examples" && SOURCE_DATE_EPOCH=0 TZ=UTC0 "$1/helicart" --input=station.txt \
        --output="$2/station" --classes=helicartClasses.xml 2>/dev/null) || {
        echo "compare-images: $1/helicart failed with status $?" >&2
        exit 2
    }
}

if [ "${1:-}" = "--renew" ]; then
    render "$(cd "${2:-$build/bin}" && pwd)" "$work/renew"
    references="$root/tests/endtoend/data/images"
    rm -f "$references"/*.png
    "$compare" --store "$work"/renew/*.png "$references"
    echo "renewed: $(cd "$references" && echo *.png)"
    exit 0
fi

[ $# -ge 1 ] || { sed -n 7,15p "$0" >&2; exit 2; }
old=$(cd "$1" && pwd)
new=$(cd "${2:-$build/bin}" && pwd)
render "$old" "$work/old"
render "$new" "$work/new"

status=0
count=0
for file in "$work"/old/*.png "$work"/new/*.png; do
    name=$(basename "$file")
    [ -e "$work/old/$name" ] && [ -e "$work/new/$name" ] || {
        echo "$name: written by one build only"
        status=1
        continue
    }
    [ "$file" = "$work/old/$name" ] || continue
    count=$((count + 1))
    # Table images carry no time stamp: compared whole.
    mask=--stamp
    case "$name" in stationT*.png) mask= ;; esac
    result=$("$compare" $mask "$work/old/$name" "$work/new/$name") || status=1
    echo "$name: $result"
done
if [ "$status" -eq 0 ]; then
    echo "all $count images match apart from the time stamp"
fi
exit "$status"
