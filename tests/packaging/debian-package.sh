#!/usr/bin/env bash
# debian-package.sh
# Builds the Debian package of the build with cpack and checks it: its control fields and
# dependencies, that it holds exactly what cmake --install installs, owned by root with sane
# permissions and stripped programs, and that lintian finds neither errors nor warnings (those
# that do not apply are overridden, with the reason, in packaging/debian/lintian-overrides).
# From the environment: BUILD_DIR, WORK_DIR, CMAKE, CPACK, VERSION, REVISION.
set -euo pipefail

for variable in BUILD_DIR WORK_DIR CMAKE CPACK VERSION REVISION; do
    [ -n "${!variable:-}" ] || { echo "debian-package.sh: $variable is not set" >&2; exit 2; }
done

failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

rm -rf "$WORK_DIR"
mkdir -p "$WORK_DIR"
(cd "$BUILD_DIR" && "$CPACK" -G DEB -B "$WORK_DIR/out") >"$WORK_DIR/cpack.log" 2>&1 ||
    { cat "$WORK_DIR/cpack.log" >&2; echo "FAIL: cpack -G DEB failed" >&2; exit 1; }
deb=$WORK_DIR/out/contaxio_${VERSION}-${REVISION}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "FAIL: cpack made no $deb" >&2; ls "$WORK_DIR/out" >&2; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = contaxio ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$VERSION-$REVISION" ] || fail "Version is '$(field Version)'"
[ "$(field Section)" = comm ] || fail "Section is '$(field Section)'"
[ "$(field Priority)" = optional ] || fail "Priority is '$(field Priority)'"
# What the programs link, and what Qt loads as plugins: the X11 platform plugin comes with
# libqt6gui6, the SVG icon engine with libqt6svg6. Should the wizard stop linking Qt's SVG
# library, libqt6svg6 must go into CPACK_DEBIAN_PACKAGE_DEPENDS by hand.
depends=$(field Depends)
names=$(tr ',|' '\n\n' <<<"$depends" | awk '{ print $1 }')
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6svg6; do
    grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done

# The same files as an installation by the install rules, below the same folders.
DESTDIR=$WORK_DIR/tree "$CMAKE" --install "$BUILD_DIR" >/dev/null
listing=$(dpkg-deb -c "$deb")
packaged=$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | sed 's|^\.||' | sort)
installed=$(cd "$WORK_DIR/tree" && find . ! -type d | sed 's|^\.||' | sort)
[ "$packaged" = "$installed" ] || fail "the package and cmake --install differ:"$'\n'"$(
    diff <(echo "$installed") <(echo "$packaged") || true)"

# Owned by root; folders and programs 0755, other files 0644; nothing below /usr/local.
odd=$(awk '$2 != "root/root" ||
           ($1 ~ /^d/ && $1 != "drwxr-xr-x") ||
           ($1 ~ /^-/ && $6 ~ /^\.\/usr\/bin\// && $1 != "-rwxr-xr-x") ||
           ($1 ~ /^-/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--") ||
           $1 !~ /^[-d]/ || $6 ~ /^\.\/usr\/local\//' <<<"$listing")
[ -z "$odd" ] || fail "entries with wrong owner, permissions or place:"$'\n'"$odd"

dpkg-deb -x "$deb" "$WORK_DIR/contents"
for program in "$WORK_DIR"/contents/usr/bin/*; do
    description=$(file -b "$program")
    grep -q ", stripped" <<<"$description" ||
        fail "$(basename "$program") is not stripped: $description"
done

if ! lintian --fail-on error,warning "$deb" >"$WORK_DIR/lintian.log" 2>&1; then
    fail "lintian:"$'\n'"$(grep -v 'running with root privileges' "$WORK_DIR/lintian.log")"
fi

exit "$failed"
