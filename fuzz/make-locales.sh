#!/usr/bin/env bash
# Makes the locales the charsets fuzz target converts in (locales with charsets other than UTF-8,
# single- and multi-byte) in the folder given, for use through LOCPATH. A locale whose sources
# are missing (Debian's "locales" package) is left out with a note; the target uses those made.
set -uo pipefail
folder=$1
mkdir -p "$folder"
locales=(
    en_US:ISO-8859-1 el_GR:ISO-8859-7 ru_RU:KOI8-R th_TH:TIS-620 ja_JP:EUC-JP ko_KR:EUC-KR
    zh_CN:GB18030 zh_TW:BIG5 ja_JP:SHIFT_JIS zh_HK:BIG5-HKSCS ja_JP:SHIFT_JISX0213
)
for locale in "${locales[@]}"; do
    source=${locale%%:*}
    charmap=${locale#*:}
    if ! localedef --no-warnings=ascii -i "$source" -f "$charmap" "$folder/$source.$charmap" \
        >/dev/null 2>&1; then
        echo "make-locales: cannot make $source.$charmap; the fuzz target goes without it" >&2
        rm -rf "${folder:?}/$source.$charmap"
    fi
done
touch "$folder/.made"
