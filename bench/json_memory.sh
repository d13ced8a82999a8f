#!/usr/bin/env bash
# Peak memory of `versweep-scan --all` on 200,000 release folders: plain lines, NUL-ended records and JSON.
# The JSON is written entry by entry, so it should cost about what the plain listing costs.
#
# usage: bench/json_memory.sh [BUILD_DIR]   (default build/release; built as Release when missing)
# COUNT sets the number of folders. Needs GNU time (/usr/bin/time, Debian package "time").
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
count=${COUNT:-200000}
scan=$build/src/cli/versweep-scan

if [ ! -x /usr/bin/time ]; then
    echo "json_memory: needs /usr/bin/time (apt-get install time)" >&2
    exit 1
fi
if [ ! -x "$scan" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVERSWEEP_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" --target versweep-scan
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/versweep-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/shelf"
for ((i = 0; i < count; i++)); do
    printf '%s/Title%d.v%d.%d-GRP%d\0' "$work/shelf" $((i % 50000)) $((i % 7)) $((i % 13)) $((i % 97))
done | xargs -0 mkdir --
: >"$work/empty.ini"

echo "peak resident memory of versweep-scan --all on $count folders:"
for format in "" --null --json; do
    kib=$(/usr/bin/time -f %M "$scan" --all --config "$work/empty.ini" $format "$work/shelf" 2>&1 >/dev/null |
        tail -n 1)
    printf '  %-8s %6d MiB\n' "${format:-lines}" $((kib / 1024))
done
