#!/usr/bin/env bash
# Builds the Debian package, contaxio_<version>-<revision>_<architecture>.deb, in build/package:
# installs what the build needs, configures an optimised build for the prefix /usr without the
# tests and benchmarks, builds it and makes the package with cpack. Install it with
#
#   sudo apt install ./build/package/contaxio_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

dir=${CONTAXIO_BUILD_ROOT:-build}/package
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCONTAXIO_BUILD_TESTS=OFF -DCONTAXIO_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
rm -f "$dir"/contaxio_*.deb
(cd "$dir" && cpack -G DEB)
echo "The package: $(ls "$dir"/contaxio_*.deb)"
