#!/bin/sh
# Runs the script fuzzer: ./fuzz/run.sh BUILD_DIR SECONDS [extra libFuzzer flags]
# The working corpus lives in BUILD_DIR/fuzz-corpus and starts from our seeds,
# the golden scenarios and every earlier finding.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?build directory}
seconds=${2:-900}
shift 2 || true
corpus="$build/fuzz-corpus"
mkdir -p "$corpus" "$build/fuzz-findings"
cp "$here"/corpus/* "$corpus"/
# (The per-scheme scenarios are made from a template when the build is configured.)
for f in "$here"/../tests/scenarios/*.txt "$build"/tests/scenarios/*.txt "$here"/regressions/*; do
    [ -f "$f" ] && cp "$f" "$corpus/seed-$(basename "$f")"
done
# -timeout: a script within the tick budget runs well under a second; ten
# seconds means something hangs.  -rss_limit_mb keeps a runaway allocation a
# finding rather than a machine-wide problem.
"$build/fuzz-dictionary" >"$build/script.dict"
exec "$build/script_fuzzer" "$corpus" -dict="$build/script.dict" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -max_total_time="$seconds" \
    -artifact_prefix="$build/fuzz-findings/" -print_final_stats=1 "$@"
