#!/usr/bin/env bash
# Checks the release script: the archive holds exactly the two programs, README.md and LICENSE
# at its top level, each program under its own name, and the same inputs give the same bytes.
# Usage: release_archive_test.sh MAKE_RELEASE WORKDIR
set -euo pipefail
script=$1 work=$2
rm -rf "$work"
mkdir -p "$work"
printf 'MZ stand-in for the 32-bit program\n' > "$work/ketterlin32.exe"
printf 'MZ stand-in for the 64-bit program\n' > "$work/ketterlin64.exe"
"$script" "$work/ketterlin32.exe" "$work/ketterlin64.exe" "$work/one/ketterlin.zip" >/dev/null
"$script" "$work/ketterlin32.exe" "$work/ketterlin64.exe" "$work/two/ketterlin.zip" >/dev/null
names=$(unzip -Z1 "$work/one/ketterlin.zip" | sort | tr '\n' ' ')
if [ "$names" != "LICENSE README.md ketterlin-64bit.exe ketterlin.exe " ]; then
    echo "unexpected archive contents: $names" >&2
    exit 1
fi
unzip -p "$work/one/ketterlin.zip" ketterlin.exe | cmp - "$work/ketterlin32.exe"
unzip -p "$work/one/ketterlin.zip" ketterlin-64bit.exe | cmp - "$work/ketterlin64.exe"
cmp "$work/one/ketterlin.zip" "$work/two/ketterlin.zip"
if "$script" "$work/ketterlin32.exe" "$work/missing.exe" "$work/three/ketterlin.zip" \
        2>/dev/null; then
    echo "a missing program must fail the release" >&2
    exit 1
fi
echo "release archive ok"
