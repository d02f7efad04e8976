#!/usr/bin/env bash
# Histograms and density maps of 10^7 events of 16 floats (640 MB, random values over [0, 262144))
# by ketterlin-dump, side by side in one hyperfine run with `cat FILE > /dev/null` and with the
# plain-numpy stand-in (bench/numpy_counts.py), the file in the page cache; then the peak memory
# of each count. Needs a Release build without sanitizers (build/release), hyperfine, python3-numpy
# and GNU time.
# Usage: bench/counts.sh [BUILD_DIR] [WORK_DIR] [RUNS]   (defaults build/release, /tmp and 5)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/release}
work=${2:-/tmp}
runs=${3:-5}
gen=$build/tools/fcsgen/ketterlin-fcsgen
dump=$build/tools/dump/ketterlin-dump
big=$work/ketterlin-bench-1e7x16.fcs
small=$work/ketterlin-bench-edges.fcs
[ -f "$big" ] || "$gen" --out "$big" --params 16 --events 10000000 --pattern random
"$gen" --out "$small" --params 16 --events 10 --pattern random

all=""
for p in $(seq 1 16); do all="$all --histogram $p"; done
linear="--histogram 1 --scale linear --range 0:262144"
logicle="$all --scale logicle --range 0:262144"
density="--density 1,2 --scale logicle --range 0:262144 --bins 1024"
# The stand-in's edges are the dump's own, taken from a tiny file with the same axes.
"$dump" --json $linear "$small" > "$work/ketterlin-edges-linear.json"
"$dump" --json --histogram 1 --scale logicle --range 0:262144 "$small" \
    > "$work/ketterlin-edges-logicle.json"
"$dump" --json $density "$small" > "$work/ketterlin-edges-density.json"
numpy="/usr/bin/python3 $top/bench/numpy_counts.py $big"

cat "$big" > /dev/null
hyperfine --warmup 1 --runs "$runs" --export-markdown "$work/ketterlin-counts.md" \
    -n "cat FILE > /dev/null" "cat $big > /dev/null" \
    -n "one linear histogram" "$dump $linear $big > /dev/null" \
    -n "16 logicle histograms" "$dump $logicle $big > /dev/null" \
    -n "1024x1024 logicle density" "$dump $density $big > /dev/null" \
    -n "numpy: one linear histogram" \
    "$numpy $work/ketterlin-edges-linear.json histogram 1" \
    -n "numpy: 16 logicle histograms" \
    "$numpy $work/ketterlin-edges-logicle.json histogram $(seq -s ' ' 1 16)" \
    -n "numpy: 1024x1024 logicle density" \
    "$numpy $work/ketterlin-edges-density.json density 1 2"
cat "$work/ketterlin-counts.md"
for what in "$linear" "$logicle" "$density"; do
    /usr/bin/time -f "max RSS %M KB, %e s wall, %U s user: ketterlin-dump ${what:0:40}..." \
        "$dump" $what "$big" > /dev/null
done
