#!/usr/bin/env bash
# Opens a data file in Ketterlin under Wine.
# Usage: tools/run.sh [FILE]   (FILE defaults to samples/sample.fcs)
#
# Installs what is missing (tools/setup.sh, as root), builds the Windows program this host runs
# (the 32-bit ketterlin.exe, or the 64-bit one where the kernel runs no 32-bit code; see
# tools/wine-env.sh, KETTERLIN_WINDOWS_BUILD=win64 forces it), then:
#  - with a usable $DISPLAY: runs the viewer there until you close it;
#  - without one: runs it on a private Xvfb inside a Wine virtual desktop, answers any warning
#    boxes with OK (printing their texts), waits until the window shows the file, saves a
#    screenshot to build/screenshot.png, prints its path and ends everything it started.
# KETTERLIN_EXE and KETTERLIN_DRIVER name prebuilt executables and skip the build.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

file=${1:-$top/samples/sample.fcs}

bash "$top/tools/setup.sh" run

# shellcheck source=tools/wine-env.sh
source "$top/tools/wine-env.sh"
build=$(kt_windows_build)
buildDir=$(kt_windows_build_dir "$top" "$build")
exe=${KETTERLIN_EXE:-$buildDir/app/ketterlin.exe}
driver=${KETTERLIN_DRIVER:-$buildDir/tests/wine/ktdriver.exe}
if [ -z "${KETTERLIN_EXE:-}" ]; then
    bash "$top/tools/build.sh" "$(basename "$buildDir")"
fi
for built in "$exe" "$driver"; do
    [ -f "$built" ] || { echo "run: $built was not built" >&2; exit 1; }
done

# Without the committed sample, write one with the native generator.
if [ $# -eq 0 ] && [ ! -f "$file" ]; then
    generator=${KETTERLIN_FCSGEN:-$top/build/native/tools/fcsgen/ketterlin-fcsgen}
    if [ ! -x "$generator" ]; then
        cmake -S "$top" -B "$top/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
        cmake --build "$top/build/native" --target ketterlin-fcsgen -j "$(nproc)"
    fi
    file=$top/build/sample.fcs
    "$generator" --out "$file" --events 10000
fi
[ -f "$file" ] || { echo "run: no such file: $file" >&2; exit 2; }

kt_wine_use_for "$exe"
prefix=$top/build/wineprefix-$KT_WINDOWS_BUILD
kt_wine_prefix "$prefix"
echo "run: the $KT_WINDOWS_BUILD program $exe"

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    echo "run: showing $file on display $DISPLAY; close the window to end"
    trap 'wineserver -k 2>/dev/null || true' INT TERM
    wine "$exe" "$(kt_winpath "$file")"
else
    screenshot=$top/build/screenshot.png
    status=0
    python3 "$top/tests/wine/show.py" --exe "$exe" --driver "$driver" --prefix "$prefix" \
        --screenshot "$screenshot" "$file" || status=$?
    [ -f "$screenshot" ] && echo "$screenshot"
    exit "$status"
fi
