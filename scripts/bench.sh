#!/usr/bin/env bash
# Builds the benchmarks in a Release build (build/bench) and runs every one of them, printing
# their figures. A new benchmark only needs contaxio_add_bench() in bench/CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${CONTAXIO_BENCH_DIR:-build/bench}
jobs=${CONTAXIO_BENCH_JOBS:-2}

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCONTAXIO_SANITIZER= \
    -DCONTAXIO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" --target contaxio_benches -j "$jobs"

status=0
for bench in "$build_dir"/bench/bench_*; do
    [ -x "$bench" ] || continue
    echo
    if ! "$bench"; then
        echo "$(basename "$bench") failed" >&2
        status=1
    fi
done
exit $status
