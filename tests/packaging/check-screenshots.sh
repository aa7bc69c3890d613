#!/usr/bin/env bash
# check-screenshots.sh METAINFO FOLDER README
# Every screenshot the AppStream metadata names is one of the pictures in FOLDER (made by
# scripts/screenshots.sh and published with each release), a PNG, and shown in the README.
set -euo pipefail

metainfo=$1
folder=$2
readme=$3
failed=0

names=$(grep -oE '<image>[^<]*</image>' "$metainfo" | sed -E 's#<image>.*/([^/<]+)</image>#\1#')
if [ -z "$names" ]; then
    echo "FAIL: $metainfo names no screenshot" >&2
    exit 1
fi
for name in $names; do
    if [ ! -f "$folder/$name" ]; then
        echo "FAIL: $folder/$name, named in the metadata, is missing" >&2
        failed=1
    elif [ "$(head -c 8 "$folder/$name" | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
        echo "FAIL: $folder/$name is not a PNG" >&2
        failed=1
    fi
    if ! grep -qF "docs/screenshots/$name" "$readme"; then
        echo "FAIL: the README does not show $name" >&2
        failed=1
    fi
done
exit "$failed"
