#!/usr/bin/env bash
# Runs one Windows program under the Wine loader of the build it was made for, in a prefix of
# that build, on a private X display. The cross builds name this script as their emulator, so
# ctest runs every Windows-side test case through it, each case in a process of its own.
# Usage: wine-exec.sh EXE [ARGS...]
#   KETTERLIN_WINE_PREFIX  the prefix folder (default: build/wineprefix-<build> of this checkout)
#   KETTERLIN_WINE_DISPLAY an X display to use instead of a private Xvfb ("none": no display,
#                          for console programs that open no window)
# The program's exit status is this script's; the Xvfb and the wineserver it started are ended
# with it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:?usage: wine-exec.sh EXE [ARGS...]}
shift
[ -f "$exe" ] || { echo "wine-exec: $exe is missing" >&2; exit 1; }
# shellcheck source=tools/wine-env.sh
source "$top/tools/wine-env.sh"
kt_wine_use_for "$exe"
kt_wine_prefix "${KETTERLIN_WINE_PREFIX:-$top/build/wineprefix-$KT_WINDOWS_BUILD}"
# Each run has a wineserver of its own: Debian's Wine keeps the server's socket under $TMPDIR (in
# a folder the prefix names), so a private $TMPDIR gives a private server. Runs in one prefix at
# the same time then share no Windows process: the desktop process of a shared server lives on
# the display of the run that started it, and dies with that run's Xvfb, taking the top-level
# windows of every other run with it.
serverDir=$(mktemp -d "${TMPDIR:-/tmp}/ketterlin-wine.XXXXXX")
export TMPDIR=$serverDir
child=
finish() {
    [ -n "$child" ] && kill "$child" 2>/dev/null
    # Ends this run's Windows processes and its server, nothing of any other run.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    kt_xvfb_stop
    rm -rf "$serverDir"
}
trap finish EXIT
# The program runs as a child so that a time-out's signal reaches it through this script.
trap 'exit 143' TERM INT
case "${KETTERLIN_WINE_DISPLAY:-}" in
"") kt_xvfb_start ;;
none) export DISPLAY= ;;
*) export DISPLAY=$KETTERLIN_WINE_DISPLAY ;;
esac
status=0
wine "$exe" "$@" &
child=$!
wait "$child" || status=$?
child=
exit "$status"
