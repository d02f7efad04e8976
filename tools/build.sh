#!/usr/bin/env bash
# Builds the configurations into build/: native (with sanitizers), win (the 32-bit program
# ketterlin.exe, the product), win64 (the same sources for 64-bit Windows), fuzz (clang, libFuzzer).
# Usage: tools/build.sh [native|win|win64|fuzz]...   (no argument: all of them)
# The native build's Wine tests drive the Windows build that this host runs (tools/wine-env.sh
# decides); on a host that runs both, it also smoke-tests the 64-bit program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
what=("$@")
[ ${#what[@]} -gt 0 ] || what=(win win64 fuzz native)
# shellcheck source=tools/wine-env.sh
source "$top/tools/wine-env.sh"
hostBuild=$(kt_windows_build)
# Every build made here (the test command's and CI's) treats warnings as errors.
werror=-DKETTERLIN_WERROR=ON

for w in "${what[@]}"; do
    case "$w" in
    win | win64)
        toolchain=$top/tools/mingw-i686.cmake
        [ "$w" = win64 ] && toolchain=$top/tools/mingw-x86_64.cmake
        cmake -S "$top" -B "$top/build/$w" -DCMAKE_BUILD_TYPE=Release "$werror" \
            -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
        cmake --build "$top/build/$w" -j "$jobs"
        ;;
    fuzz)
        CC=clang CXX=clang++ cmake -S "$top" -B "$top/build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            "$werror" \
            -DKETTERLIN_FUZZ=ON -DKETTERLIN_TESTS=OFF >/dev/null
        cmake --build "$top/build/fuzz" -j "$jobs"
        ;;
    native)
        cmake -S "$top" -B "$top/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$werror" \
            -DKETTERLIN_SANITIZE=ON \
            -DKETTERLIN_WIN_BUILD_DIR="$(kt_windows_build_dir "$top" "$hostBuild")" \
            -DKETTERLIN_WIN64_SMOKE_DIR="$([ "$hostBuild" = win32 ] && echo "$top/build/win64")" \
            -DKETTERLIN_FUZZ_BUILD_DIR="$top/build/fuzz" >/dev/null
        cmake --build "$top/build/native" -j "$jobs"
        ;;
    *) echo "build: unknown configuration $w" >&2; exit 2 ;;
    esac
done

# The release archive holds both Windows programs: packed whenever both are built.
if [ -f "$top/build/win/app/ketterlin.exe" ] && [ -f "$top/build/win64/app/ketterlin.exe" ] &&
    command -v zip >/dev/null; then
    case " ${what[*]} " in
    *" win "* | *" win64 "*) bash "$top/server/make-release.sh" >/dev/null ;;
    esac
fi
