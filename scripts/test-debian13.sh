#!/usr/bin/env bash
# Builds the project and runs all its tests on Debian 13 (trixie), from a Debian 12 machine
# (or any Debian with debootstrap): a minimal trixie root is made with debootstrap in
# build-debian13/root and kept for the next run, the project's packages are installed into it
# with scripts/install-deps.sh, the repository is mounted at /src inside it and built into
# build-debian13/build/gcc (mounted at /build), and CTest runs there. The exit status is CTest's.
#   scripts/test-debian13.sh            normal build and every test
#   scripts/test-debian13.sh --clang    also a clang build (build/clang) with warnings as
#                                       errors, not tested
# HELICART_DEBIAN13_DIR moves build-debian13/ elsewhere (a second root, say).
# Needs root (re-runs itself with sudo otherwise). The mounts live in a mount namespace of
# their own and are taken down on every exit; a root that was left half made (an interrupted
# debootstrap) is made anew.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${HELICART_DEBIAN13_DIR:-$root/build-debian13}
target=$work/root
suite=trixie
mirror=${HELICART_DEBIAN_MIRROR:-http://deb.debian.org/debian}
jobs=${HELICART_JOBS:-2}
clang=0
[ "${1:-}" = "--clang" ] && clang=1

if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=HELICART_DEBIAN13_DIR,HELICART_DEBIAN_MIRROR,HELICART_JOBS bash "$0" "$@"
fi

# Everything below runs in a private mount namespace: what is mounted there is invisible to
# the rest of the machine and gone when the script ends, whatever ends it.
if [ -z "${HELICART_IN_NAMESPACE:-}" ]; then
    HELICART_IN_NAMESPACE=1 exec unshare --mount --propagation private bash "$0" "$@"
fi

# Mount points at or below a path (octal escapes of mountinfo decoded), deepest first.
mounts_below() {
    awk -v p="$1" '{ m = $5; gsub(/\\040/, " ", m)
                     if (m == p || index(m, p "/") == 1) print m }' /proc/self/mountinfo |
        sort -r
}

unmount_all() {
    local m
    while read -r m; do
        umount -l "$m" 2>/dev/null || true
    done < <(mounts_below "$target")
}
trap unmount_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# A root is complete when debootstrap finished: it removes its own work folder last.
root_complete() {
    [ -x "$target/usr/bin/apt-get" ] && [ -f "$target/etc/debian_version" ] &&
        [ ! -e "$target/debootstrap" ]
}

if [ -e "$target" ] && ! root_complete; then
    echo "test-debian13: $target is not a complete root (interrupted?), making it anew"
    unmount_all
    if [ -n "$(mounts_below "$target")" ]; then
        echo "test-debian13: something is still mounted below $target, not removing it" >&2
        exit 1
    fi
    rm -rf --one-file-system "$target"
fi

if [ ! -e "$target" ]; then
    if ! command -v debootstrap >/dev/null; then
        echo "test-debian13: installing debootstrap"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends debootstrap </dev/null
    fi
    echo "test-debian13: making a Debian $suite root in $target"
    mkdir -p "$work"
    debootstrap --variant=minbase "$suite" "$target" "$mirror"
fi

# The chroot's network names and no services started by package installs.
cp -L /etc/resolv.conf "$target/etc/resolv.conf"
printf '#!/bin/sh\nexit 101\n' >"$target/usr/sbin/policy-rc.d"
chmod 755 "$target/usr/sbin/policy-rc.d"

mount -t proc proc "$target/proc"
mount -t sysfs sysfs "$target/sys"
mount --bind /dev "$target/dev"
mount --bind /dev/pts "$target/dev/pts"
mount -t tmpfs tmpfs "$target/dev/shm"
mkdir -p "$target/src" "$target/build" "$work/build"
mount --bind "$root" "$target/src"
mount --bind "$work/build" "$target/build"

# A clean environment inside: nothing of the calling shell's locale or paths.
in_root() {
    chroot "$target" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        DEBIAN_FRONTEND=noninteractive QT_QPA_PLATFORM=offscreen "$@" </dev/null
}

echo "test-debian13: $(in_root cat /etc/os-release | sed -n 's/^PRETTY_NAME=//p')"
in_root dpkg --configure -a
in_root bash /src/scripts/install-deps.sh

echo "== Debian 13: normal build =="
in_root cmake -S /src -B /build/gcc >/dev/null
in_root cmake --build /build/gcc -j "$jobs"

if [ "$clang" -eq 1 ]; then
    echo "== Debian 13: clang build, warnings as errors =="
    in_root cmake -S /src -B /build/clang -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DHELICART_WERROR=ON >/dev/null
    in_root cmake --build /build/clang -j "$jobs"
fi

echo "== Debian 13: tests =="
status=0
in_root ctest --test-dir /build/gcc --output-on-failure -j "$jobs" || status=$?
exit "$status"
