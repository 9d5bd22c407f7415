#!/usr/bin/env bash
# Configures and builds the project.
#   scripts/build.sh [BUILD_DIR] [extra cmake arguments...]
# BUILD_DIR defaults to build/. Installs missing Debian packages first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
