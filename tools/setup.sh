#!/usr/bin/env bash
# Installs what Ketterlin needs on Debian 12, as root. Safe to run again: it only calls apt-get
# when a package is missing.
# Usage: tools/setup.sh [run|test]
#   run   building and running the viewer: the cross compiler and Wine of the Windows build this
#         host runs, a virtual display and screenshots (tools/run.sh)
#   test  (default) all of that for both Windows builds, plus the test stack: GoogleTest, clang's
#         fuzzer and sanitizer runtimes, nginx for the update server tests (tools/test.sh)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-test}
case "$what" in run | test) ;; *) echo "setup: unknown set $what (run or test)" >&2; exit 2 ;; esac

# shellcheck source=tools/wine-env.sh
source "$top/tools/wine-env.sh"
# The host's own ability, not the override: a forced 64-bit road still installs what the host runs.
# The probe's answer also serves kt_windows_build below, so the host is tested once.
i386=no
KT_HOST_WINDOWS_BUILD=win64
if kt_host_runs_i386; then
    i386=yes
    KT_HOST_WINDOWS_BUILD=win32
fi
export KT_HOST_WINDOWS_BUILD

packages=(cmake make g++ python3 procps xvfb xdotool imagemagick x11-apps fonts-wine wine)
# On a host that runs no 32-bit code, Debian's 32-bit Wine cannot start; the 64-bit one is used.
if [ "$i386" = yes ]; then
    packages+=(wine32:i386)
fi
# The 32-bit cross compiler itself is a 64-bit program: every full build makes both programs.
if [ "$what" = test ] || [ "$i386" = yes ]; then
    packages+=(g++-mingw-w64-i686)
fi
if [ "$what" = test ] || [ "$i386" = no ] || [ "$(kt_windows_build)" = win64 ]; then
    packages+=(g++-mingw-w64-x86-64-win32 wine64)
fi
if [ "$what" = test ]; then
    packages+=(clang libclang-rt-14-dev googletest nginx zip unzip iproute2)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages and not root; run as root once" >&2
    exit 1
fi
if [ "$i386" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
