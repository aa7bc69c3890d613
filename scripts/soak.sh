#!/usr/bin/env bash
# The long soak: builds contaxio-soak and runs EXPORTS exports (1000 unless given) in one
# process against simulated phones, each with a fault drawn at random, then prints the figures:
# faults played, exports with problems, broken files, open descriptors, threads and resident
# memory from the first export to the last. --asan runs it in the AddressSanitizer +
# UndefinedBehaviorSanitizer build (resident memory is then not checked); --seed picks another
# reproducible draw. Exits 1 when the soak found anything.
#
#   scripts/soak.sh [EXPORTS] [--asan] [--seed N] [--verbose]
set -euo pipefail
cd "$(dirname "$0")/.."

exports=1000
seed=$(date +%s)
build=normal
sanitizer=""
extra=()
while [ $# -gt 0 ]; do
    case $1 in
        --asan) build=asan-ubsan; sanitizer="address;undefined" ;;
        --seed) seed=$2; shift ;;
        --verbose) extra+=(--verbose) ;;
        *[!0-9]*|"") echo "usage: scripts/soak.sh [EXPORTS] [--asan] [--seed N] [--verbose]" >&2
            exit 2 ;;
        *) exports=$1 ;;
    esac
    shift
done

dir="${CONTAXIO_BUILD_ROOT:-build}/$build"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCONTAXIO_SANITIZER="$sanitizer" \
    -DCONTAXIO_WERROR=ON >/dev/null
cmake --build "$dir" --target contaxio-soak -j "$(nproc)"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
exec "$dir/tests/soak/contaxio-soak" --exports "$exports" --seed "$seed" "${extra[@]}"
