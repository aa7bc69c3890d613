#!/usr/bin/env bash
# A longer fuzzing campaign: builds the fuzz targets (as scripts/test.sh does) and runs each for
# MINUTES minutes, two at a time (CONTAXIO_FUZZ_JOBS), then prints per target the executions, the
# speed, the code coverage (edges reached of those instrumented, and libFuzzer's features) and the
# corpus size, and lists every finding. The corpus each target grows is kept between campaigns
# in build/fuzz/campaign/<what>/corpus (the seeds in fuzz/<what>/ are only read); findings land in
# build/fuzz/campaign/<what>/findings. Exits 1 when any target found something.
#
#   scripts/fuzz.sh MINUTES [TARGET...]      e.g. scripts/fuzz.sh 10 at_answer charsets
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]] || [ "$1" -eq 0 ]; then
    echo "usage: scripts/fuzz.sh MINUTES [TARGET...]" >&2
    exit 2
fi
minutes=$1
shift

build_root=${CONTAXIO_BUILD_ROOT:-build}
dir="$build_root/fuzz"
jobs=${CONTAXIO_FUZZ_JOBS:-2}

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DCONTAXIO_FUZZ=ON -DCONTAXIO_BUILD_TESTS=OFF -DCONTAXIO_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" --target contaxio_fuzzers -j "$(nproc)"

if [ $# -gt 0 ]; then
    targets=("$@")
else
    mapfile -t targets < <(find "$dir/fuzz" -maxdepth 1 -type f -executable -name 'fuzz_*' \
        -printf '%f\n' | sed 's/^fuzz_//' | sort)
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

campaign="$dir/campaign"
run_target() {
    local what=$1
    local work="$campaign/$what"
    mkdir -p "$work/corpus" "$work/findings"
    local options environment
    mapfile -t options <"$dir/fuzz/fuzz_$what.options"
    mapfile -t environment < <(grep . "$dir/fuzz/fuzz_$what.env" || true)
    options+=(-max_total_time=$((minutes * 60)) -artifact_prefix="$work/findings/")
    echo "== fuzz_$what: $minutes min"
    local status=0
    env "${environment[@]}" "$dir/fuzz/fuzz_$what" "${options[@]}" "$work/corpus" "fuzz/$what" \
        >"$work/last.log" 2>&1 || status=$?
    echo "$status" >"$work/last.status"
}

running=0
for what in "${targets[@]}"; do
    if [ ! -x "$dir/fuzz/fuzz_$what" ]; then
        echo "no fuzz target fuzz_$what" >&2
        exit 2
    fi
    run_target "$what" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait || true

found=0
printf '\n%-20s %14s %9s %17s %10s %8s  %s\n' target executions "exec/s" "edges (of all)" features corpus result
for what in "${targets[@]}"; do
    log="$campaign/$what/last.log"
    status=$(cat "$campaign/$what/last.status" 2>/dev/null || echo 1)
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    edges=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
    features=$(grep -oE 'ft: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
    instrumented=$(sed -n 's/^INFO: Loaded 1 modules *(\([0-9]*\) inline.*/\1/p' "$log" | head -1)
    corpus=$(find "$campaign/$what/corpus" -type f | wc -l)
    result=ok
    if [ "$status" != 0 ]; then
        result="FINDING (exit $status): $(grep -m1 -E '^(==[0-9]+==ERROR|== fuzz check failed|SUMMARY)' "$log" || true)"
        found=1
    fi
    printf '%-20s %14s %9s %17s %10s %8s  %s\n' "fuzz_$what" "${executions:-?}" "${speed:-?}" \
        "${edges:-?} (${instrumented:-?})" "${features:-?}" "$corpus" "$result"
done
findings=$(find "$campaign" -path '*/findings/*' -type f 2>/dev/null | sort)
if [ -n "$findings" ]; then
    echo
    echo "Inputs of findings (run a target on one to reproduce it):"
    echo "$findings"
fi
exit "$found"
