#!/usr/bin/env bash
# The first screen at the floor: instructions of `ketterlin-dump FILE --events 0:50 --json` on
# the 640 MB file against `head -c 8192 FILE`, counted by callgrind (counts are stable on a busy
# machine, wall times are not), then both wall times in one hyperfine run.
# Usage: bench/first_screen.sh [BUILD_DIR] [WORK_DIR]   (defaults build/release and /tmp)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/release}
work=${2:-/tmp}
dump=$build/tools/dump/ketterlin-dump
big=$work/ketterlin-bench-1e7x16.fcs
[ -f "$big" ] || "$build/tools/fcsgen/ketterlin-fcsgen" --out "$big" --params 16 \
    --events 10000000 --pattern random

count() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        sed -n 's/.*Collected : //p'
}
head_count=$(count head -c 8192 "$big")
dump_count=$(count "$dump" "$big" --events 0:50 --json)
echo "head -c 8192:                    $head_count instructions"
echo "ketterlin-dump --events 0:50 --json: $dump_count instructions"
awk -v d="$dump_count" -v h="$head_count" 'BEGIN { printf "ratio: %.2f (target at most 3)\n", d / h }'
hyperfine --warmup 3 --runs 30 -N \
    "head -c 8192 $big" "$dump $big --events 0:50 --json"
