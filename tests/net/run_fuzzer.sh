#!/usr/bin/env bash
# Runs a libFuzzer binary of the clang build for a bounded time over a copy of its seeds.
# Usage: run_fuzzer.sh FUZZER SEED_DIR SECONDS. Skipped (exit 77) when the fuzzer was not built.
set -euo pipefail
fuzzer=$1 seeds=$2 seconds=$3
if [ ! -x "$fuzzer" ]; then
    echo "skipped: $fuzzer is not built (tools/build.sh fuzz)"
    exit 77
fi
fuzzer=$(realpath "$fuzzer")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$seeds/." "$work/"
# A crash makes the fuzzer exit non-zero and leaves its input beside the test, named
# fuzz-net-crash-*: copy it into tests/data/crashers/net/ once the fault is mended.
out=$(pwd)
cd "$work"
if ! "$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$out/fuzz-net-" "$work"; then
    echo "fuzzer failed; a faulting input, if any, is in $out (fuzz-net-*)" >&2
    exit 1
fi
