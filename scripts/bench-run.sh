#!/usr/bin/env bash
# Whole runs of the program: a year of minute data beside the peer script (pandas and
# matplotlib drawing the same images), short files with 10 and 100 parameter columns, the peak
# memory for 1 and 5 years of data and for a wide combined image, and the year by month against
# the year alone; each figure against its target. The input files are generated once into
# build/bench-run/.
#   scripts/bench-run.sh [--runs N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build

bash "$root/scripts/install-deps.sh"

# The peer's packages, installed only here: the product and its tests do not need them.
peer_packages=(python3-pandas python3-matplotlib)
missing=()
for p in "${peer_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "bench-run: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target helicart compassplot tickfit -j 2

python3 "$root/bench/wholerun.py" --helicart "$build/bin/helicart" --work "$build/bench-run" "$@"
# What the run's page adds to the example's run, and its size.
python3 "$root/bench/pagecost.py" --helicart "$build/bin/helicart"
