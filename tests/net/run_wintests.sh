#!/usr/bin/env bash
# Runs the socket layer's Windows-side test program under Wine in the given prefix, inside a
# network namespace of its own with loopback alone, so that even its failed name look-ups
# never leave the machine. Needs root (unshare); skipped (77) otherwise.
# The program runs twice: once where no name resolves, and once ("local") where the update host
# resolves to 127.0.0.1, so that the client's GET meets the program's own server on port 80.
# Usage: run_wintests.sh EXE PREFIX_DIR UPDATE_HOST
set -euo pipefail
exe=$1 prefix=$2 update_host=$3
if [ ! -f "$exe" ]; then
    echo "run_wintests: $exe is missing; build the cross configuration first" >&2
    exit 1
fi
if [ "${KETTERLIN_NET_NAMESPACE:-}" != 1 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "skipped: needs root for unshare --net"
        exit 77
    fi
    KETTERLIN_NET_NAMESPACE=1 exec unshare --net --mount --propagation private "$0" "$@"
fi
ip link set lo up
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../tools/wine-env.sh
source "$here/../../tools/wine-env.sh"
kt_wine_use_for "$exe"
kt_wine_prefix "$prefix"
trap 'wineserver -k 2>/dev/null || true' EXIT
# A console program that opens no window: no display needed.
DISPLAY= wine "$exe"
# The hosts file of this mount namespace alone.
hosts=$(mktemp)
trap 'wineserver -k 2>/dev/null || true; umount /etc/hosts 2>/dev/null || true; rm -f "$hosts"' EXIT
printf '127.0.0.1 localhost\n127.0.0.1 %s\n' "$update_host" > "$hosts"
mount --bind "$hosts" /etc/hosts
DISPLAY= wine "$exe" local
