#!/usr/bin/env bash
# Fails when any C++ file of the project differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || true)
if [ ${#files[@]} -eq 0 ]; then
    mapfile -t files < <(find src tests tools bench fuzz -name '*.cpp' -o -name '*.h')
fi
clang-format --dry-run --Werror "${files[@]}"
echo "Formatting: ${#files[@]} files checked."
