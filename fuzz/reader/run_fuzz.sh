#!/bin/sh
# Runs the reader's fuzzer for a bounded time on a scratch copy of its seeds (libFuzzer adds the
# inputs it finds to its first corpus folder), with the known crashers as a second corpus.
# Usage: run_fuzz.sh FUZZER SEEDS CRASHERS SECONDS
set -eu
fuzzer=$1 seeds=$2 crashers=$3 seconds=$4
if [ ! -x "$fuzzer" ]; then
    # A build without the clang configuration has no fuzzer: skipped (ctest's skip code).
    echo "skipped: $fuzzer is not built (tools/build.sh fuzz)"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/artifacts"
cp "$seeds"/* "$work/corpus/"
status=0
# Only a run past the timeout is a finding: a slow unit on a busy machine is not.
"$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 -report_slow_units=25 \
    -dict="$(dirname "$0")/reader.dict" \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "$crashers" || status=$?
if ls "$work/artifacts/"* >/dev/null 2>&1; then
    echo "fuzz_reader: new crash inputs:" >&2
    ls -l "$work/artifacts" >&2
    exit 1
fi
exit $status
