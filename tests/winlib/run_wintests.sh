#!/usr/bin/env bash
# Runs the window library's Windows-side test program under Wine on a private X display.
# Usage: run_wintests.sh EXE PREFIX_DIR
set -euo pipefail
exe=$1
prefix=$2
if [ ! -f "$exe" ]; then
    echo "run_wintests: $exe is missing; build the cross configuration first" >&2
    exit 1
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../tools/wine-env.sh
source "$here/../../tools/wine-env.sh"
kt_wine_use_for "$exe"
kt_wine_prefix "$prefix"
kt_xvfb_start
trap kt_wine_cleanup EXIT
wine "$exe"
