#!/usr/bin/env bash
# The emulator of the socket layer's Windows-side cases: runs one program under Wine (through
# tools/wine-exec.sh, which gives it a wineserver of its own, here without a display) inside a
# network and mount namespace of its own: loopback alone and a hosts file of its own, so that
# even a failed name look-up never leaves the machine and port 80 is the case's alone. The
# wineserver starts inside the namespace too, which matters: Wine's sockets are made by it.
# Usage: wine-netns-exec.sh UPDATE_HOST EXE [ARGS...]
#   KETTERLIN_NET_UPDATE_HOST_LOCAL=1  the hosts file maps UPDATE_HOST to 127.0.0.1; without it
#                                      no name but localhost resolves
# The program sees KETTERLIN_NET_PRIVATE=1 inside the namespace. Making one needs root; without
# it the program runs on the host's network without that variable, and the cases that need the
# namespace skip themselves.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wineExec=$here/../../tools/wine-exec.sh
updateHost=${1:?usage: wine-netns-exec.sh UPDATE_HOST EXE [ARGS...]}
shift
export KETTERLIN_WINE_DISPLAY=none

if [ "${KT_NETNS_INSIDE:-}" != 1 ]; then
    unset KETTERLIN_NET_PRIVATE
    if [ "$(id -u)" -ne 0 ] || ! unshare --net --mount true 2>/dev/null; then
        exec "$wineExec" "$@"
    fi
    KT_NETNS_INSIDE=1 exec unshare --net --mount --propagation private "$0" "$updateHost" "$@"
fi
unset KT_NETNS_INSIDE

ip link set lo up
hosts=$(mktemp)
printf '127.0.0.1 localhost\n' >"$hosts"
if [ "${KETTERLIN_NET_UPDATE_HOST_LOCAL:-}" = 1 ]; then
    printf '127.0.0.1 %s\n' "$updateHost" >>"$hosts"
fi
# Seen by this mount namespace alone; the mount keeps the file for as long as it lives.
mount --bind "$hosts" /etc/hosts
rm -f "$hosts"
export KETTERLIN_NET_PRIVATE=1
exec "$wineExec" "$@"
