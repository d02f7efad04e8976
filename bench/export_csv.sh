#!/usr/bin/env bash
# CSV export of 10^7 and 10^6 events of 16 floats (640 MB and 64 MB) by ketterlin-dump, side by
# side in one hyperfine run with the plain-numpy stand-in (bench/numpy_csv.py, on the 64 MB file
# only: on the 640 MB one it would take minutes a run), then the peak memory of the 640 MB export.
# Needs a Release build without sanitizers (build/release) and hyperfine, python3-numpy.
# Usage: bench/export_csv.sh [BUILD_DIR] [WORK_DIR]   (defaults build/release and /tmp)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/release}
work=${2:-/tmp}
gen=$build/tools/fcsgen/ketterlin-fcsgen
dump=$build/tools/dump/ketterlin-dump
big=$work/ketterlin-bench-1e7x16.fcs
small=$work/ketterlin-bench-1e6x16.fcs
[ -f "$big" ] || "$gen" --out "$big" --params 16 --events 10000000 --pattern random
[ -f "$small" ] || "$gen" --out "$small" --params 16 --events 1000000 --pattern random

hyperfine --warmup 1 --runs 3 --export-markdown "$work/ketterlin-export-csv.md" \
    -n "ketterlin-dump --csv, 640 MB" "$dump --csv $big > /dev/null" \
    -n "ketterlin-dump --csv, 64 MB" "$dump --csv $small > /dev/null" \
    -n "numpy fromfile + savetxt, 64 MB" "/usr/bin/python3 $top/bench/numpy_csv.py $small /dev/null" \
    -n "numpy fromfile + savetxt %.9g, 64 MB" \
    "/usr/bin/python3 $top/bench/numpy_csv.py $small /dev/null %.9g"
cat "$work/ketterlin-export-csv.md"
/usr/bin/time -f "ketterlin-dump --csv, 640 MB: max RSS %M KB, %e s" "$dump" --csv "$big" > /dev/null
