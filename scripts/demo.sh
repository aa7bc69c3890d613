#!/usr/bin/env bash
# See it work without a phone: installs what the build needs, builds contaxio-cli, and exports
# the contacts of the built-in simulated phone into a CSV file that Google Contacts or Outlook
# can import.
#
#   scripts/demo.sh [FILE]      (default: contacts.csv in the current folder)
set -euo pipefail

here=$(pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-contacts.csv}
case "$output" in
    /*) ;;
    *) output="$here/$output" ;;
esac

"$root/scripts/install-deps.sh"

build="$root/build/normal"
echo "Building contaxio-cli in $build ..."
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target contaxio-cli -j "$(nproc)"

"$build/src/cli/contaxio-cli" demo --output "$output"
