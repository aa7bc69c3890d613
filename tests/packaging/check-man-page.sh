#!/usr/bin/env bash
# check-man-page.sh PAGE [PROGRAM]
# Checks a manual page (roff source) with both formatters Debian has: mandoc's lint and groff's
# warnings as man-db runs it (what lintian does too); neither may report anything. With
# PROGRAM, also checks that the page describes every command, option and exit status that
# "PROGRAM --help" (and, for a tool with subcommands, "PROGRAM COMMAND --help") lists.
set -euo pipefail

page=$1
program=${2:-}
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

lint=$(mandoc -T lint -W warning "$page" 2>&1) || true
if [ -n "$lint" ]; then
    fail "mandoc reports problems in $page:"$'\n'"$lint"
fi

warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) || fail "man cannot format $page"
if [ -n "$warnings" ]; then
    fail "groff warns about $page:"$'\n'"$warnings"
fi

if [ -n "$program" ]; then
    # The page as a reader sees it, one section after another.
    text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$page" 2>/dev/null | col -b)
    section() {
        awk -v name="$1" '/^[A-Z]/ { inside = ($0 == name); next } inside' <<<"$text"
    }
    synopsis=$(section SYNOPSIS)
    options=$(section OPTIONS)
    statuses=$(section "EXIT STATUS")

    help=$("$program" --help)
    # An option of a help text: "  --name", "  -h,--help" or "  -word" at the start of a line.
    options_of() {
        grep -oE '^ +(-[a-z],)?-{1,2}[a-z][a-z-]*' <<<"$1" | grep -oE -- '-{1,2}[a-z][a-z-]*$'
    }
    described() {
        grep -qE -- "^ *(-[a-z], )?$1\b" <<<"$options"
    }
    commands=$(awk '/^Subcommands:/ { inside = 1; next } /^$/ { inside = 0 }
                    inside && /^  [a-z]/ { print $1 }' <<<"$help")
    if [ -z "$commands" ]; then
        # A program without subcommands: its own options.
        found=$(options_of "$help")
        [ -n "$found" ] || fail "found no options in the help of $program"
        for option in $found; do
            described "$option" || fail "OPTIONS does not describe '$option'"
        done
    fi
    name=$(basename "$program")
    for command in $commands; do
        grep -q "^ *$name $command\b" <<<"$synopsis" ||
            fail "the SYNOPSIS does not show the command '$command'"
        command_help=$("$program" "$command" --help)
        for option in $(grep -oE '^ +(-[a-z],)?--[a-z-]+' <<<"$command_help" |
                            grep -oE -- '--[a-z-]+'); do
            grep -qE -- "^ *(-[a-z], )?$option\b" <<<"$options" ||
                fail "OPTIONS does not describe '$option' of '$command'"
        done
    done
    for status in $(awk '/^Exit status:/ { inside = 1; next } inside && /^  [0-9]/ { print $1 }' \
                        <<<"$help"); do
        grep -qE "^ *$status( |\$)" <<<"$statuses" || fail "EXIT STATUS does not describe $status"
    done
fi

exit "$failed"
