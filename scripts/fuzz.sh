#!/usr/bin/env bash
# Runs every libFuzzer target found in a fuzz build for a bounded time each.
#   scripts/fuzz.sh BUILD_DIR SECONDS
# An input may take up to 60 s: a block at the highest sample rate the reader accepts takes
# seconds to analyse in the sanitized build of a busy machine.
set -euo pipefail
build=$1
seconds=$2
found=0
while IFS= read -r fuzzer; do
    found=1
    name=$(basename "$fuzzer")
    corpus="$build/corpus/$name"
    mkdir -p "$corpus"
    seeds=tests/fuzz/seeds/$name
    echo "fuzzing $name for ${seconds}s"
    args=("$corpus")
    [ -d "$seeds" ] && args+=("$seeds")
    "$fuzzer" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 "${args[@]}" \
        2>"$build/$name.log" || { tail -n 60 "$build/$name.log"; exit 1; }
    grep -E 'stat::number_of_executed_units' "$build/$name.log" || true
done < <(find "$build" -type f -name '*_fuzzer' -perm -u+x | sort)
[ "$found" -eq 1 ] || echo "no fuzz targets built"
