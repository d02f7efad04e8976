#!/usr/bin/env bash
# Builds the three configurations into build/: native (with sanitizers), win (ketterlin.exe),
# fuzz (clang, libFuzzer). Usage: tools/build.sh [native|win|fuzz]...
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
what=("$@")
[ ${#what[@]} -gt 0 ] || what=(win fuzz native)

for w in "${what[@]}"; do
    case "$w" in
    win)
        cmake -S "$top" -B "$top/build/win" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$top/tools/mingw-i686.cmake" >/dev/null
        cmake --build "$top/build/win" -j "$jobs"
        ;;
    fuzz)
        CC=clang CXX=clang++ cmake -S "$top" -B "$top/build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DKETTERLIN_FUZZ=ON -DKETTERLIN_TESTS=OFF >/dev/null
        cmake --build "$top/build/fuzz" -j "$jobs"
        ;;
    native)
        cmake -S "$top" -B "$top/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DKETTERLIN_SANITIZE=ON \
            -DKETTERLIN_WIN_BUILD_DIR="$top/build/win" \
            -DKETTERLIN_FUZZ_BUILD_DIR="$top/build/fuzz" >/dev/null
        cmake --build "$top/build/native" -j "$jobs"
        ;;
    *) echo "build: unknown configuration $w" >&2; exit 2 ;;
    esac
done
