#!/usr/bin/env bash
# Brings the README's pictures up to date: builds the Windows program this host runs (see
# tools/wine-env.sh), opens the repository's real LMD file in it under Wine on a private display,
# and saves the main window, a histogram and a density plot to tools/pictures/.
# Usage: tools/readme-pictures.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/setup.sh" run
# shellcheck source=tools/wine-env.sh
source "$top/tools/wine-env.sh"
buildDir=$(kt_windows_build_dir "$top" "$(kt_windows_build)")
bash "$top/tools/build.sh" "$(basename "$buildDir")"
exe=$buildDir/app/ketterlin.exe
kt_wine_use_for "$exe"
prefix=$top/build/wineprefix-$KT_WINDOWS_BUILD
kt_wine_prefix "$prefix"
PYTHONDONTWRITEBYTECODE=1 python3 "$top/tools/readme_pictures.py" --exe "$exe" \
    --driver "$buildDir/tests/wine/ktdriver.exe" --prefix "$prefix" --out "$top/tools/pictures" \
    "$top/tests/data/real/flowio/coulter.lmd"
