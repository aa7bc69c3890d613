#!/usr/bin/env bash
# See Contaxio work without a phone. Installs what the build needs, then:
# - on a desktop (a display is reachable: WAYLAND_DISPLAY or DISPLAY), builds the wizard and
#   starts `contaxio --demo`, whose device list shows a built-in simulated phone;
# - without one (over SSH, in a container), builds contaxio-cli and exports the simulated
#   phone's contacts into a CSV file that Google Contacts or Outlook can import, and says so.
#
#   scripts/demo.sh                 the wizard on a desktop, else as --cli
#   scripts/demo.sh --wizard        the wizard (needs a display)
#   scripts/demo.sh --cli [FILE]    contaxio-cli demo into FILE (default: contacts.csv in the
#                                   current folder)
#   scripts/demo.sh FILE            the same as --cli FILE
#
# CONTAXIO_DEMO_BUILD=DIR uses the programs already built in the build folder DIR: nothing is
# installed or built (the tests of this script do so).
set -euo pipefail

usage() {
    awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"
}

fail() {
    echo "demo.sh: $*" >&2
    exit 2
}

mode=auto
output=contacts.csv
case "${1:-}" in
    "") ;;
    -h | --help)
        usage
        exit 0
        ;;
    --cli)
        mode=cli
        [ $# -le 2 ] || fail "--cli takes one FILE at most"
        output=${2:-contacts.csv}
        ;;
    --wizard)
        mode=wizard
        [ $# -eq 1 ] || fail "--wizard takes nothing after it"
        ;;
    -*) fail "unknown option $1 (see demo.sh --help)" ;;
    *)
        mode=cli
        [ $# -eq 1 ] || fail "one FILE at most"
        output=$1
        ;;
esac

# Whether a display server answers here: the Wayland socket, or the X server's socket (a file
# in /tmp/.X11-unix, or the abstract socket of the same name), or, for a display on another
# host (ssh -X forwards one as localhost:10.0), its TCP port.
display_reachable() {
    if [ -n "${WAYLAND_DISPLAY:-}" ]; then
        local socket=$WAYLAND_DISPLAY
        case "$socket" in
            /*) ;;
            *) socket="${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/$socket" ;;
        esac
        [ -S "$socket" ] && return 0
    fi
    if [ -n "${DISPLAY:-}" ]; then
        local host=${DISPLAY%%:*} number=${DISPLAY#*:}
        number=${number%%.*}
        case "$number" in
            '' | *[!0-9]*) return 1 ;;
        esac
        if [ -z "$host" ] || [ "$host" = unix ]; then
            [ -S "/tmp/.X11-unix/X$number" ] && return 0
            grep -q "@/tmp/.X11-unix/X$number\$" /proc/net/unix 2>/dev/null && return 0
        else
            timeout 2 bash -c "exec 3<>/dev/tcp/$host/$((6000 + number))" 2>/dev/null && return 0
        fi
    fi
    return 1
}

if [ "$mode" = auto ]; then
    if display_reachable; then
        mode=wizard
    else
        mode=cli
        echo "demo.sh: no display here (neither WAYLAND_DISPLAY nor DISPLAY reaches one), so" \
            "instead of the wizard, contaxio-cli exports the simulated phone's contacts." \
            "On a desktop, this script starts the wizard (scripts/demo.sh --wizard)." >&2
    fi
elif [ "$mode" = wizard ] && ! display_reachable; then
    echo "demo.sh: the wizard needs a display, and neither WAYLAND_DISPLAY nor DISPLAY" \
        "reaches one here; scripts/demo.sh --cli exports the demo phone's contacts instead." >&2
    exit 1
fi

here=$(pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
case "$output" in
    /* | -) ;;
    *) output="$here/$output" ;;
esac

if [ "$mode" = wizard ]; then
    target=contaxio
else
    target=contaxio-cli
fi
if [ -n "${CONTAXIO_DEMO_BUILD:-}" ]; then
    build=$CONTAXIO_DEMO_BUILD
else
    "$root/scripts/install-deps.sh"
    build="$root/build/normal"
    echo "Building $target in $build ..."
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --target "$target" -j "$(nproc)"
fi

if [ "$mode" = wizard ]; then
    echo "Starting the wizard with the simulated phone: $build/bin/contaxio --demo"
    # The wizard in this process's place: Ctrl-C reaches it, and it ends in order.
    exec "$build/bin/contaxio" --demo
fi
exec "$build/src/cli/contaxio-cli" demo --output "$output"
