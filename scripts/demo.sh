#!/usr/bin/env bash
# Installs what is needed, builds, and renders the shipped example into out/: its images and
# its page (out/station.html).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" "$root/build"

mkdir -p "$root/out"
cd "$root/examples"
status=0
"$root/build/bin/helicart" --input=station.txt --output="$root/out/station" \
    --classes=helicartClasses.xml --format=png,html || status=$?
echo
echo "helicart exit status: $status"
ls -l "$root/out"
exit "$status"
