#!/bin/sh
# Runs the Linux versweep-scan and the Windows one under Wine on one generated folder of release names, with the
# same options, and compares what they print: the same entries, the same marks, the same summary. The lines come
# in each system's own collation (ICU's on Linux; on Windows CompareStringEx, which passes over hyphens as the
# original's list box did), so they are compared in byte order.
# Usage: windows_matches_linux.sh LINUX_SCAN WINDOWS_SCAN WINE FOLDER, with WINEPREFIX and the other Wine
# settings in the environment; FOLDER is made afresh. Exits 77 (skipped) when LINUX_SCAN was not built.
set -eu
linux=$1 windows=$2 wine=$3 work=$4
if [ ! -x "$linux" ]; then
    echo "no Linux build of versweep-scan at $linux (cmake --preset dev && cmake --build --preset dev)"
    exit 77
fi
rm -rf "$work"
mkdir -p "$work/shelf"
cd "$work/shelf"
# Titles in several versions and group tags, read as fractions and as whole numbers, with the odd spellings
# release folders have: underscores, case, blanks, commas, a leading dash, Chinese titles, no version at all.
for name in Game.v1.0-AAA Game.v1.1-BBB Game.v1.1-CCC Game_v2.0-X game.v0.9-Y GAME.V3-Z \
    Archiver.v1.2-C Archiver.v1.3.11-A Archiver.v1.14.25-B Clip.Mixer.v2.9-XYZ Clip.Mixer.v2.10-XYZ \
    "Some Title.v1.0-GRP" "Some Title.v1.5-GRP" "Foo,Bar.v1-Q" "Foo,Bar.v2-Q" -rf.v1-DASH -rf.v2-DASH \
    Tool.v1.0-A Tool.vX-B Stamp.v202401011200-D Stamp.v2024010112-D Solo.v1-S White.v1-W White.v2-W \
    Black.v9-K Black.v1-K Kit.v3.1-U Kit.v3.10-U Empty.v1-E Empty.v2-E; do
    mkdir -p -- "$name"
done
for title in "$(printf '\344\270\255\346\226\207')" "$(printf '\346\270\270\346\210\217')"; do
    mkdir -- "$title.v1.0-CN" "$title.v1.2-CN"
done
head -c 300 /dev/zero >Game.v1.0-AAA/data
head -c 300 /dev/zero >Kit.v3.10-U/data
head -c 10 /dev/zero >Empty.v1-E/small
: >Tool.v1.2.7z
: >Tool.v1.3.zip
printf '[CONFIG]\r\nWhiteList=white\r\nBlackList=black\r\n' >"$work/lists.ini"
cd "$work"
windows_path() {
    printf 'Z:%s' "$1" | tr / '\\'
}

status=0
for options in "" "--all" "--all --files" "--keep 2 --all" "--empty --group aaa --all" "--white game --black tool"; do
    # shellcheck disable=SC2086 # the options are split on purpose
    "$linux" $options --config "$work/lists.ini" "$work/shelf" >linux.out 2>linux.err || true
    # shellcheck disable=SC2086
    "$wine" "$windows" $options --config "$(windows_path "$work/lists.ini")" "$(windows_path "$work/shelf")" \
        >windows.out 2>windows.err || true
    # Windows ends its lines with CR LF.
    LC_ALL=C sort linux.out >linux.lines
    tr -d '\r' <windows.out | LC_ALL=C sort >windows.lines
    tr -d '\r' <windows.err >windows.summary
    if [ ! -s linux.lines ] || ! cmp -s linux.lines windows.lines || ! cmp -s linux.err windows.summary; then
        echo "versweep-scan $options: the Windows build differs from the Linux one:" >&2
        diff linux.lines windows.lines >&2 || true
        diff linux.err windows.summary >&2 || true
        status=1
    fi
done
exit $status
