#!/usr/bin/env bash
# check-release.sh METAINFO CHANGELOG VERSION DATE REVISION
# The project's version must be the newest release everywhere it is announced: first among
# the AppStream releases (with the release date the manual pages show), and at the top of the
# Debian changelog (as VERSION-REVISION, from the same day).
set -euo pipefail

metainfo=$1 changelog=$2 version=$3 date=$4 revision=$5
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

newest=$(grep -oE '<release [^>]*>' "$metainfo" | head -n 1)
[ -n "$newest" ] || fail "$metainfo has no release"
grep -q "version=\"$version\"" <<<"$newest" ||
    fail "the newest AppStream release is not $version: $newest"
grep -q "date=\"$date\"" <<<"$newest" ||
    fail "the newest AppStream release is not dated $date: $newest"

debian_version=$(dpkg-parsechangelog -l "$changelog" -S Version)
[ "$debian_version" = "$version-$revision" ] ||
    fail "the Debian changelog's newest entry is $debian_version, not $version-$revision"
debian_date=$(date -u -d "$(dpkg-parsechangelog -l "$changelog" -S Date)" +%F)
[ "$debian_date" = "$date" ] ||
    fail "the Debian changelog's newest entry is dated $debian_date, not $date"

exit "$failed"
