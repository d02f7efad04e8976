#!/usr/bin/env bash
# Installs what building and testing Ketterlin needs on Debian 12, as root. Safe to run again:
# it only calls apt-get when a package is missing.
set -euo pipefail

packages=(cmake make g++ clang libclang-rt-14-dev googletest python3
          g++-mingw-w64-i686 wine wine32:i386 xvfb xdotool imagemagick x11-apps fonts-wine
          nginx zip unzip procps iproute2)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    needUpdate=1
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: missing packages and not root; run as root once" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
