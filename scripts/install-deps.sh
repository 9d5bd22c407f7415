#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the benchmarks and the fuzz targets need
# (clang with its libFuzzer and sanitizer runtimes), on Debian 12 and Debian 13.
# Idempotent: only missing packages are installed. Runs as root without prompts
# (uses sudo when started as another user).
set -euo pipefail

packages=(
    cmake g++ make pkgconf
    qt6-base-dev qt6-svg-dev qt6-qpa-plugins qt6-l10n-tools
    libxml2-dev libpng-dev fonts-dejavu-core
    libbenchmark-dev
    # the Debian package's dependencies (dpkg-shlibdeps, which CPack runs only where file(1)
    # is), its manual page check
    dpkg-dev file groff-base
    python3
    # libclang-rt-dev: the runtimes (libFuzzer, sanitizers) of the release's default clang,
    # whichever version that is
    clang libclang-rt-dev tzdata
    clang-tidy  # the function size check of scripts/size-check.sh
    poppler-utils  # pdftoppm: the tests render the PDF drawings to compare them with the images
    chromium python3-html5lib  # the run's page is tested in a headless browser and as HTML5
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all packages present"
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
