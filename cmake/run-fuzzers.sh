#!/usr/bin/env bash
# Runs every libFuzzer binary of a build for a fixed time from its seed corpus and prints the
# executions per second of each. Usage: run-fuzzers.sh <build>/fuzz <source>/fuzz <seconds>
# The seeds of fuzz_X lie in corpus/fuzz_X/ of its source folder, or in corpus/ when the folder has
# one target. New inputs go to a scratch corpus in the build folder; the seeds stay untouched.
set -euo pipefail
bin_dir=$1
src_dir=$2
seconds=${3:-60}
status=0
for target in "$bin_dir"/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    source=$(find "$src_dir" -name "$name.cpp" | head -n 1)
    folder=$(dirname "$source")
    seeds=""
    if [ -d "$folder/corpus/$name" ]; then
        seeds="$folder/corpus/$name"
    elif [ -d "$folder/corpus" ]; then
        seeds="$folder/corpus"
    fi
    scratch="$bin_dir/corpus/$name"
    mkdir -p "$scratch"
    log="$bin_dir/$name.log"
    echo "== $name, ${seconds}s, seeds: ${seeds:-none}"
    # Each target runs in the scratch folder, since some write files into the working directory.
    if ! (cd "$scratch" && "$target" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=4096 \
        -artifact_prefix="$bin_dir/$name-" . ${seeds:+"$seeds"}) >"$log" 2>&1; then
        echo "!! $name failed; the crashing input is $bin_dir/$name-*; log: $log"
        tail -n 40 "$log"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "   ${runs:-0} executions, $(( ${runs:-0} / seconds )) per second"
done
exit $status
