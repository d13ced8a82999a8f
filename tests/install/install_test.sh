#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks the tree: every file a desktop and a package need,
# nothing else (no test or benchmark), valid desktop files that name each other, runnable programs.
# usage: install_test.sh BUILD_DIR VERSION GUI(0|1) CLI(0|1)
set -euo pipefail
build=$1 version=$2 gui=$3 cli=$4
id=io.github.versweep.Versweep
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() {
    echo "install_test: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(share/doc/versweep/copyright)
if [ "$gui" = 1 ]; then
    expected+=(bin/versweep share/applications/$id.desktop share/metainfo/$id.metainfo.xml
        share/icons/hicolor/scalable/apps/$id.svg)
    for size in 16 32 48 64 128 256; do
        expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
    done
fi
if [ "$cli" = 1 ]; then
    expected+=(bin/versweep-scan share/man/man1/versweep-scan.1)
fi
if ! diff -u <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f -printf '%P\n' | sort); then
    fail "the installed files (+) differ from the expected ones (-)"
fi

if [ "$gui" = 1 ]; then
    desktop=$prefix/share/applications/$id.desktop
    metainfo=$prefix/share/metainfo/$id.metainfo.xml
    desktop-file-validate "$desktop" || fail "desktop entry does not validate"
    appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
        { cat "$work/appstream.log" >&2; fail "metainfo does not validate"; }
    # Names the validators cannot check: the menu shows no icon, and software centres no program, on a typo.
    grep -qx "Icon=$id" "$desktop" || fail "desktop entry does not name the icon $id"
    # Without %f, "Open With" from a file manager would start the window on the last folder, not the chosen one.
    grep -qx "Exec=versweep %f" "$desktop" || fail "desktop entry does not pass the folder to versweep"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "metainfo does not launch $id.desktop"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo does not list release $version"
    [ "$("$prefix/bin/versweep" --version)" = "versweep $version" ] || fail "versweep --version does not print $version"
fi

if [ "$cli" = 1 ]; then
    scan=$prefix/bin/versweep-scan
    [ "$("$scan" --version)" = "versweep-scan $version" ] || fail "versweep-scan --version does not print $version"
    mkdir -p "$work/folder/Tool.v1.0-AB" "$work/folder/Tool.v1.1-AB"
    : >"$work/empty.ini"
    listing=$("$scan" --config "$work/empty.ini" "$work/folder" 2>/dev/null) || fail "installed versweep-scan failed"
    [ "$listing" = $'[x] Tool.v1.0-AB\n[ ] Tool.v1.1-AB' ] || fail "installed versweep-scan listed: $listing"
fi

[ "$failures" -eq 0 ] || exit 1
echo "install_test: ${#expected[@]} files installed and checked"
