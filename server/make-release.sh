#!/usr/bin/env bash
# Builds the release archive ketterlin.zip that the web site serves as /ketterlin.zip: the
# program, README.md and LICENSE, at the archive's top level.
# Usage: server/make-release.sh [EXE] [OUT]
#   EXE defaults to build/win/app/ketterlin.exe, OUT to build/win/ketterlin.zip.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$top/build/win/app/ketterlin.exe}
out=${2:-$top/build/win/ketterlin.zip}
for f in "$exe" "$top/README.md" "$top/LICENSE"; do
    if [ ! -f "$f" ]; then
        echo "make-release: missing $f" >&2
        exit 1
    fi
done
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/ketterlin.exe"
cp "$top/README.md" "$top/LICENSE" "$stage/"
# Fixed times and order, so the same inputs give the same archive.
touch -d '2000-01-01 00:00:00 UTC' "$stage"/*
mkdir -p "$(dirname "$out")"
out=$(realpath -m "$out")
rm -f "$out"
(cd "$stage" && zip -q -X -D "$out" ketterlin.exe README.md LICENSE)
echo "$out"
