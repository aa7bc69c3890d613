#!/usr/bin/env bash
# The whole test suite: installs what the build needs, checks the formatting, then builds and
# runs every test twice (a normal build and one under AddressSanitizer with
# UndefinedBehaviorSanitizer), and the threaded tests a third time under ThreadSanitizer. The
# wizard's GUI tests (label gui) run in the first two on Qt's offscreen platform; Qt is not
# built for ThreadSanitizer, so the third build leaves the GUI out. The packaging tests (label
# packaging: the install rules, the Debian package, lintian and the validators) run in the
# normal build only. Last, a clang build runs every fuzz target for CONTAXIO_FUZZ_SECONDS (30)
# each.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/check-format.sh

jobs=$(nproc)
build_root=${CONTAXIO_BUILD_ROOT:-build}

run_build() {
    local name=$1 sanitizer=$2 target=$3 label=$4
    local dir="$build_root/$name"
    echo "== $name build"
    # The prefix of a system installation, so that the normal build's packaging tests can make
    # and check the Debian package; nothing is installed.
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
        -DCONTAXIO_SANITIZER="$sanitizer" -DCONTAXIO_WERROR=ON >/dev/null
    cmake --build "$dir" --target "$target" -j "$jobs"
    echo "== $name tests"
    local label_args=()
    if [ -n "$label" ]; then
        label_args=(-L "$label")
    fi
    ctest --test-dir "$dir" "${label_args[@]}" -j "$jobs" --output-on-failure --no-tests=error
}

# The fuzz targets (fuzz/), built with clang and libFuzzer; each runs for a bounded time and fails
# on any crash, leak, time-out, sanitizer report or broken expectation.
run_fuzz_build() {
    local dir="$build_root/fuzz"
    echo "== fuzz build"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DCONTAXIO_FUZZ=ON -DCONTAXIO_BUILD_TESTS=OFF -DCONTAXIO_BUILD_BENCH=OFF \
        -DCONTAXIO_FUZZ_SECONDS="${CONTAXIO_FUZZ_SECONDS:-30}" >/dev/null
    cmake --build "$dir" --target contaxio_fuzzers -j "$jobs"
    echo "== fuzz tests"
    ctest --test-dir "$dir" -L fuzz -j "$jobs" --output-on-failure --no-tests=error
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
export QT_QPA_PLATFORM=offscreen

run_build normal "" all ""
run_build asan-ubsan "address;undefined" all ""
run_build tsan "thread" contaxio_threaded_tests threaded
run_fuzz_build

echo "All test builds passed."
