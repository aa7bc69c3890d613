#!/usr/bin/env bash
# install-tree.sh files|cli|wizard
# Installs the build into a DESTDIR of its own (cmake --install) and checks it:
#   files   the installed files are exactly the expected ones, with the data of data/ and sane
#           permissions; the desktop entry and the AppStream metadata validate and name the
#           installed program and icon
#   cli     the installed contaxio-cli tells its version and runs its demo from a folder
#           that has nothing to do with the build or the installation
#   wizard  the installed contaxio, run from such a folder, finds its languages in the
#           installed data folder and honours -uninstall
# The build and its install folders come from the environment: BUILD_DIR, WORK_DIR,
# SOURCE_DIR, CMAKE, VERSION, APP_ID, and the full install folders BINDIR, DATADIR, MANDIR,
# DOCDIR and UDEVDIR.
set -euo pipefail

mode=$1
for variable in BUILD_DIR WORK_DIR SOURCE_DIR CMAKE VERSION APP_ID BINDIR DATADIR MANDIR DOCDIR \
    UDEVDIR; do
    [ -n "${!variable:-}" ] || { echo "install-tree.sh: $variable is not set" >&2; exit 2; }
done

failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

rm -rf "$WORK_DIR"
mkdir -p "$WORK_DIR"
root=$WORK_DIR/root
DESTDIR=$root "$CMAKE" --install "$BUILD_DIR" >"$WORK_DIR/install.log" ||
    { cat "$WORK_DIR/install.log" >&2; echo "FAIL: cmake --install failed" >&2; exit 1; }

# The programs run with nothing of the caller's environment but PATH, in a folder of their own.
elsewhere=$WORK_DIR/elsewhere
mkdir -p "$elsewhere" "$WORK_DIR/home" "$WORK_DIR/config"
mkdir -m 700 "$WORK_DIR/runtime"
run() {
    (cd "$elsewhere" && env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$WORK_DIR/home" \
        XDG_CONFIG_HOME="$WORK_DIR/config" XDG_RUNTIME_DIR="$WORK_DIR/runtime" "$@")
}

check_files() {
    local expected=(
        "$BINDIR/contaxio"
        "$BINDIR/contaxio-cli"
        "$DATADIR/applications/$APP_ID.desktop"
        "$DATADIR/icons/hicolor/scalable/apps/$APP_ID.svg"
        "$DATADIR/metainfo/$APP_ID.metainfo.xml"
        "$MANDIR/man1/contaxio.1.gz"
        "$MANDIR/man1/contaxio-cli.1.gz"
        "$DOCDIR/README.md"
        "$DOCDIR/copyright"
        "$DOCDIR/changelog.Debian.gz"
        "$DATADIR/lintian/overrides/contaxio"
        "$UDEVDIR/70-contaxio-phone.rules"
    )
    # Every language file and help page, as they are in the source tree.
    local file
    while IFS= read -r file; do
        expected+=("$DATADIR/contaxio/$file")
        cmp -s "$SOURCE_DIR/data/$file" "$root$DATADIR/contaxio/$file" ||
            fail "$DATADIR/contaxio/$file differs from data/$file, or is missing"
    done < <(cd "$SOURCE_DIR/data" && find lng -name '*.po' && find help -type f)

    local missing unexpected
    missing=$(comm -23 <(printf '%s\n' "${expected[@]}" | sort) \
        <(cd "$root" && find . ! -type d | sed 's|^\.||' | sort))
    unexpected=$(comm -13 <(printf '%s\n' "${expected[@]}" | sort) \
        <(cd "$root" && find . ! -type d | sed 's|^\.||' | sort))
    [ -z "$missing" ] || fail "not installed:"$'\n'"$missing"
    [ -z "$unexpected" ] || fail "installed but not expected:"$'\n'"$unexpected"

    # Programs 0755, everything else 0644, folders 0755: nothing writable by others, nothing
    # executable that is not a program.
    local wrong
    wrong=$(cd "$root" && find . -mindepth 1 \( -type d ! -perm 0755 \) -o \
        \( -type f -path ".$BINDIR/*" ! -perm 0755 \) -o \
        \( -type f ! -path ".$BINDIR/*" ! -perm 0644 \) -o \( -type l \))
    [ -z "$wrong" ] || fail "wrong permissions or unexpected links:"$'\n'"$wrong"

    # The menu entry: valid, starting the installed wizard, with an installed icon.
    local desktop=$root$DATADIR/applications/$APP_ID.desktop
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
    local exec icon
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -x "$root$BINDIR/$exec" ] || fail "the menu entry starts '$exec', which is not in $BINDIR"
    grep -q '<svg' "$root$DATADIR/icons/hicolor/scalable/apps/$icon.svg" 2>/dev/null ||
        fail "the menu entry's icon '$icon' is not an installed SVG icon"

    # The AppStream metadata together with the desktop entry it launches, in the tree that
    # holds share/ (the prefix).
    appstreamcli validate-tree --no-net --strict "$root$(dirname "$DATADIR")" \
        >"$WORK_DIR/appstream.log" 2>&1 ||
        fail "appstreamcli validate-tree:"$'\n'"$(cat "$WORK_DIR/appstream.log")"

    local page
    for page in contaxio contaxio-cli; do
        gzip -t "$root$MANDIR/man1/$page.1.gz" || fail "$page.1.gz is not a valid gzip file"
    done
}

check_cli() {
    local program=$root$BINDIR/contaxio-cli version
    version=$(run "$program" --version) || fail "contaxio-cli --version ended with status $?"
    [ "$version" = "contaxio-cli $VERSION" ] ||
        fail "contaxio-cli --version says '$version', not 'contaxio-cli $VERSION'"

    local status=0
    run "$program" demo --quiet >"$WORK_DIR/demo.out" 2>"$WORK_DIR/demo.err" || status=$?
    [ "$status" -eq 0 ] ||
        fail "contaxio-cli demo ended with status $status:"$'\n'"$(cat "$WORK_DIR/demo.err")"
    grep -q "^File: *$elsewhere/contacts.csv\$" "$WORK_DIR/demo.out" ||
        fail "contaxio-cli demo did not report writing $elsewhere/contacts.csv:"$'\n'"$(
            cat "$WORK_DIR/demo.out")"
    # UTF-16 with byte-order mark (the demo phone speaks UCS2), beginning with the header row.
    [ "$(head -c 10 "$elsewhere/contacts.csv" 2>/dev/null | od -An -tx1 | tr -d ' ')" = \
        "fffe4e0061006d006500" ] ||
        fail "contacts.csv does not begin with the byte-order mark and the header row"
}

check_wizard() {
    # A first run's settings; -uninstall must remove them and the two folders that hold them.
    local settings=$WORK_DIR/config/Korvanta/Contaxio/settings.ini
    mkdir -p "$(dirname "$settings")"
    printf '[Common]\nlanguage=1031\n[Aliases]\n351234567890123=Ann\n' >"$settings"
    local status=0
    run timeout 60 env QT_QPA_PLATFORM=offscreen "$root$BINDIR/contaxio" -uninstall \
        >"$WORK_DIR/wizard.out" 2>&1 || status=$?
    if [ "$status" -eq 124 ]; then
        fail "contaxio -uninstall did not end within 60 s (is it showing a window?)"
    elif [ "$status" -ne 0 ]; then
        fail "contaxio -uninstall ended with status $status:"$'\n'"$(cat "$WORK_DIR/wizard.out")"
    fi
    # The settings are removed only after the language scan found languages: in the installed
    # data folder, as nothing else is near the program.
    [ ! -e "$settings" ] || fail "contaxio -uninstall left the settings file"
    [ ! -e "$WORK_DIR/config/Korvanta" ] || fail "contaxio -uninstall left the settings folders"
    [ -d "$WORK_DIR/config" ] || fail "contaxio -uninstall removed the configuration folder"
}

case $mode in
    files) check_files ;;
    cli) check_cli ;;
    wizard) check_wizard ;;
    *) echo "install-tree.sh: unknown mode $mode" >&2; exit 2 ;;
esac
exit "$failed"
