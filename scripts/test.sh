#!/usr/bin/env bash
# The whole test suite: installs what the build needs, checks the formatting, then builds and
# runs every test twice (a normal build and one under AddressSanitizer with
# UndefinedBehaviorSanitizer), and the threaded tests a third time under ThreadSanitizer. The
# wizard's GUI tests (label gui) run in the first two on Qt's offscreen platform; Qt is not
# built for ThreadSanitizer, so the third build leaves the GUI out. The packaging tests (label
# packaging: the install rules, the Debian package, lintian and the validators) run in the
# normal build only. Last, a clang build runs every fuzz target for CONTAXIO_FUZZ_SECONDS (30)
# each.
#
# Most tests spend their time waiting on simulated phones (their silences and retries), not
# computing: CTest runs several per core (CONTAXIO_TEST_JOBS), and each build's tests run in the
# background while the next build compiles. Their output is shown, whole, once they have ended;
# any failure fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/check-format.sh

jobs=$(nproc)
test_jobs=${CONTAXIO_TEST_JOBS:-$((jobs * 4))}
build_root=${CONTAXIO_BUILD_ROOT:-build}

# A phase's heading: the seconds since the start, and the processor time (user and system, in
# seconds) of the steps that have ended, a background test run counting once it is waited for.
times_file=$(mktemp)
phase() {
    times >"$times_file"
    local cpu
    cpu=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/);
                         printf "%.0f", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$times_file")
    echo "== $* (at ${SECONDS} s, CPU ${cpu} s)"
}

configure() {
    local name=$1
    shift
    cmake -S . -B "$build_root/$name" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# The builds with g++, warnings as errors. The prefix is that of a system installation, so that
# the normal build's packaging tests can make and check the Debian package; nothing is installed.
configure_gcc() {
    configure "$@" -DCMAKE_INSTALL_PREFIX=/usr -DCONTAXIO_WERROR=ON
}

build() {
    local name=$1 target=$2
    phase "$name build"
    cmake --build "$build_root/$name" --target "$target" -j "$jobs"
}

# The tests of one build, run in the background; wait_for_tests shows their output and fails
# the run when they failed.
tests_pid=""
tests_name=""
start_tests() {
    local name=$1
    shift
    phase "$name tests start"
    ctest --test-dir "$build_root/$name" "$@" -j "$test_jobs" --output-on-failure \
        --no-tests=error >"$build_root/$name-tests.log" 2>&1 &
    tests_pid=$!
    tests_name=$name
}

wait_for_tests() {
    [ -n "$tests_pid" ] || return 0
    local status=0
    wait "$tests_pid" || status=$?
    tests_pid=""
    phase "$tests_name tests ended"
    cat "$build_root/$tests_name-tests.log"
    if [ "$status" -ne 0 ]; then
        echo "== $tests_name tests failed (ctest exit status $status)" >&2
        exit "$status"
    fi
}

# A build that fails ends the run; tests still running then are stopped.
trap 'rm -f "$times_file"; [ -z "$tests_pid" ] || kill "$tests_pid" 2>/dev/null || true' EXIT

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
export QT_QPA_PLATFORM=offscreen

# The normal build, with line tables only: nobody steps through it, and full debug information
# made a third of its compile time. Its programs are what the packaging tests package.
configure_gcc normal -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
build normal all
start_tests normal

# The sanitizer builds leave out the benchmarks, whose figures mean nothing there; the normal
# build keeps them compiling.
configure_gcc asan-ubsan -DCONTAXIO_SANITIZER="address;undefined" -DCONTAXIO_BUILD_BENCH=OFF
build asan-ubsan all
wait_for_tests
start_tests asan-ubsan

configure_gcc tsan -DCONTAXIO_SANITIZER=thread -DCONTAXIO_BUILD_BENCH=OFF
build tsan contaxio_threaded_tests
wait_for_tests
start_tests tsan -L threaded

# The fuzz targets (fuzz/), built with clang and libFuzzer; each runs for a bounded time and fails
# on any crash, leak, time-out, sanitizer report or broken expectation. They compute all the
# time: one per core.
configure fuzz -DCMAKE_CXX_COMPILER=clang++ -DCONTAXIO_FUZZ=ON -DCONTAXIO_BUILD_TESTS=OFF \
    -DCONTAXIO_BUILD_BENCH=OFF -DCONTAXIO_FUZZ_SECONDS="${CONTAXIO_FUZZ_SECONDS:-30}"
build fuzz contaxio_fuzzers
wait_for_tests
phase "fuzz tests"
ctest --test-dir "$build_root/fuzz" -L fuzz -j "$jobs" --output-on-failure --no-tests=error

phase "all test builds passed"
