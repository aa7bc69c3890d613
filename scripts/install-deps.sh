#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

# One package a line, so that additions merge cleanly.
packages=(
    cmake
    ninja-build
    g++
    libgtest-dev
    libgmock-dev
    libcli11-dev
    nlohmann-json3-dev
    # Name-based and random UUIDs for the vCards' UIDs.
    uuid-dev
    clang-format
    ccache
    # clang (clang++ 14), libFuzzer and the sanitizer runtimes, and the symbolizer of their
    # reports build and run the fuzz targets.
    clang
    libclang-rt-14-dev
    llvm
    gettext
    libgettextpo-dev
    # The locale sources and character maps from which the charset tests compile non-UTF-8
    # locales of their own.
    locales
    # The wizard: Qt 6 Widgets and Network, the SVG renderer and icon engine for its artwork,
    # the platform plugins (offscreen for the GUI tests, xcb and others for a desktop) and a
    # font, so that texts render where no desktop is installed.
    qt6-base-dev
    qt6-svg-dev
    libqt6svg6
    qt6-qpa-plugins
    fonts-dejavu-core
    # Qt's own texts (Yes, No, Retry in message boxes; the file dialog) in the UI languages.
    qt6-translations-l10n
    # The Debian package (cpack -G DEB: dpkg-shlibdeps, file) and the packaging tests: the
    # validators of desktop entries and AppStream metadata, lintian, and both formatters of
    # manual pages (col renders them as text).
    dpkg-dev
    file
    xz-utils
    desktop-file-utils
    appstream
    lintian
    mandoc
    man-db
    bsdextrautils
    # The udev rule's test: udev's rule engine (udevadm test, with the system's seat rules)
    # on devices that umockdev fakes.
    udev
    umockdev
    # A real vCard parser and a real address book read the vCard exports back in the tests.
    python3-vobject
    khard
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
