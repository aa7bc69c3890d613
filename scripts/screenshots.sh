#!/usr/bin/env bash
# Makes the pictures of the wizard's pages that the README and the AppStream metadata show,
# docs/screenshots/<page>.png: it runs the whole walk test (the wizard with the demo phone, from
# the welcome page to the summary) with CONTAXIO_SCREENSHOTS, on Qt's offscreen platform in its
# light Fusion look, and compresses the pictures without loss with optipng.
#
#   scripts/screenshots.sh [BUILD_DIR]      (default: build/normal)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/normal}
pages=(welcome device-list contacts-source output-path exporting completion)
walk='WholeWalkTest.TheDemoPhoneToTheSummaryWritesWhatTheCommandLineToolWrites'

"$root/scripts/install-deps.sh"
if ! command -v optipng >/dev/null; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get install -y optipng
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target test_ui_whole_walk -j "$(nproc)"

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
# The same look wherever it runs: no desktop theme, no scaling, English.
env -u QT_STYLE_OVERRIDE -u QT_QPA_PLATFORMTHEME -u QT_SCALE_FACTOR -u QT_FONT_DPI \
    QT_QPA_PLATFORM=offscreen CONTAXIO_SCREENSHOTS="$shots" LANGUAGE=en_US \
    "$build/tests/ui/test_ui_whole_walk" --gtest_filter="$walk" >/dev/null

mkdir -p "$root/docs/screenshots"
files=()
for page in "${pages[@]}"; do
    files+=("$root/docs/screenshots/$page.png")
    cp "$shots/$walk-$page.png" "${files[-1]}"
done
optipng -quiet -o7 -strip all "${files[@]}"
for file in "${files[@]}"; do
    printf '%-40s %6d bytes\n' "${file#"$root"/}" "$(stat -c %s "$file")"
done
