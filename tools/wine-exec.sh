#!/usr/bin/env bash
# Runs one Windows program under the Wine loader of the build it was made for, in a prefix of
# that build, on a private X display. The cross builds name this script as their emulator, so
# ctest runs every Windows-side test case through it, each case in a process of its own.
# Usage: wine-exec.sh EXE [ARGS...]
#   KETTERLIN_WINE_PREFIX  the prefix folder (default: build/wineprefix-<build> of this checkout)
#   KETTERLIN_WINE_DISPLAY an X display to use instead of a private Xvfb ("none": no display,
#                          for console programs that open no window)
# The program's exit status is this script's; the Xvfb it started is ended with it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:?usage: wine-exec.sh EXE [ARGS...]}
shift
[ -f "$exe" ] || { echo "wine-exec: $exe is missing" >&2; exit 1; }
# shellcheck source=tools/wine-env.sh
source "$top/tools/wine-env.sh"
kt_wine_use_for "$exe"
kt_wine_prefix "${KETTERLIN_WINE_PREFIX:-$top/build/wineprefix-$KT_WINDOWS_BUILD}"
case "${KETTERLIN_WINE_DISPLAY:-}" in
"") kt_xvfb_start; trap kt_xvfb_stop EXIT ;;
none) export DISPLAY= ;;
*) export DISPLAY=$KETTERLIN_WINE_DISPLAY ;;
esac
# The program runs as a child so that a time-out's signal reaches it through this script.
child=
trap '[ -n "$child" ] && kill "$child" 2>/dev/null; exit 143' TERM INT
status=0
wine "$exe" "$@" &
child=$!
wait "$child" || status=$?
child=
exit "$status"
