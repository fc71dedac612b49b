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
# Targets that reach Qt's JSON parser. Qt 5.15 leaks a nested object when a document repeats a key;
# the suppression names its public entry point, which only full stack unwinding reaches (Qt is
# built without frame pointers). Full unwinding costs 3-9x the speed, so only these pay for it.
json_targets=" fuzz_update fuzz_translation fuzz_transcription_reply "
base_asan=${ASAN_OPTIONS:-}
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
    export ASAN_OPTIONS=$base_asan
    case $json_targets in *" $name "*) ASAN_OPTIONS=${base_asan:+$base_asan:}fast_unwind_on_malloc=0 ;; esac
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
