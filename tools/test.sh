#!/usr/bin/env bash
# Builds everything and runs every test: unit tests under ASan/UBSan, bounded fuzzing, the
# Windows-side test cases and the end-to-end tests that drive the Windows program under Wine (the
# build this host runs, see tools/wine-env.sh), and a smoke test of the other build where the
# host runs both. ctest prints the closing summary.
# Usage: tools/test.sh           everything
#        tools/test.sh --quick   only the native unit tests (label unit): a native build, seconds
#                                of testing
# Further arguments go to ctest (for example -R reader or -L e2e).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
quick=no
if [ "${1:-}" = --quick ]; then
    quick=yes
    shift
fi
bash "$top/tools/setup.sh" test
if [ "$quick" = yes ]; then
    bash "$top/tools/build.sh" native
    cd "$top/build/native"
    exec ctest --output-on-failure -j 2 -L unit "$@"
fi
bash "$top/tools/build.sh" win win64 fuzz native
cd "$top/build/native"
ctest --output-on-failure --timeout 900 -j 2 "$@"
