#!/usr/bin/env bash
# Builds the release archive ketterlin.zip that the web site serves as /ketterlin.zip, all at the
# archive's top level: ketterlin.exe (the 32-bit program, which runs on every Windows),
# ketterlin-64bit.exe (the same program built for 64-bit Windows), README.md and LICENSE.
# Usage: server/make-release.sh [EXE32 EXE64 OUT]
#   defaults: build/win/app/ketterlin.exe, build/win64/app/ketterlin.exe, build/ketterlin.zip
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
exe32=${1:-$top/build/win/app/ketterlin.exe}
exe64=${2:-$top/build/win64/app/ketterlin.exe}
out=${3:-$top/build/ketterlin.zip}
for f in "$exe32" "$exe64" "$top/README.md" "$top/LICENSE"; do
    if [ ! -f "$f" ]; then
        echo "make-release: missing $f" >&2
        exit 1
    fi
done
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe32" "$stage/ketterlin.exe"
cp "$exe64" "$stage/ketterlin-64bit.exe"
cp "$top/README.md" "$top/LICENSE" "$stage/"
# Fixed times and order, so the same inputs give the same archive.
touch -d '2000-01-01 00:00:00 UTC' "$stage"/*
mkdir -p "$(dirname "$out")"
out=$(realpath -m "$out")
rm -f "$out"
(cd "$stage" && zip -q -X -D "$out" ketterlin.exe ketterlin-64bit.exe README.md LICENSE)
echo "$out"
