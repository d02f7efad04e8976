#!/usr/bin/env bash
# Builds everything and runs every test: unit tests under ASan/UBSan, bounded fuzzing, and the
# end-to-end tests that drive ketterlin.exe under Wine. ctest prints the closing summary.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/setup.sh" test
bash "$top/tools/build.sh" win win64 fuzz native
cd "$top/build/native"
ctest --output-on-failure --timeout 900 -j 2
