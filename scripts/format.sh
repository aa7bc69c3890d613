#!/usr/bin/env bash
# Formats every C++ file of the project in place with clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
find src tests tools bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 -r clang-format -i
