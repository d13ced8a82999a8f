#!/usr/bin/env bash
# Times `versweep-scan --all` against `find` on folders of 4,000 and 16,000 release folders and prints
# two ratios: the scan against find at 16,000 entries (aim: at most 2) and the scan at 16,000 against
# the scan at 4,000 (aim: about 4, that is linear growth).
#
# usage: bench/scan_vs_find.sh [BUILD_DIR]   (default build/release; built as Release when missing)
# Uses hyperfine when installed, else a loop timed with `date +%s%N`. RUNS sets the runs per command.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
runs=${RUNS:-30}
scan=$build/src/cli/versweep-scan

if [ ! -x "$scan" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVERSWEEP_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" --target versweep-scan
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/versweep-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# make_folder DIR COUNT: COUNT release folders, three versions per title, seven groups.
make_folder() {
    mkdir -p "$1"
    local i
    for ((i = 0; i < $2; i++)); do
        printf '%s/Title%d.v1.%d-GRP%d\0' "$1" $((i / 3)) $((i % 3)) $((i % 7))
    done | xargs -0 mkdir --
}

# median_ms COMMAND...: the median wall time of the command in milliseconds, output discarded.
median_ms() {
    if command -v hyperfine >/dev/null 2>&1; then
        local csv=$work/timing.csv
        hyperfine --style none --warmup 3 --runs "$runs" --export-csv "$csv" -- "$(printf '%q ' "$@")" >/dev/null
        awk -F, 'NR == 2 { printf "%.3f\n", $4 * 1000 }' "$csv"
    else
        local i start end
        local times=()
        for ((i = 0; i < 3; i++)); do "$@" >/dev/null 2>&1; done
        for ((i = 0; i < runs; i++)); do
            start=$(date +%s%N)
            "$@" >/dev/null 2>&1
            end=$(date +%s%N)
            times+=($((end - start)))
        done
        printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%.3f\n", t[int((NR + 1) / 2)] / 1e6 }'
    fi
}

make_folder "$work/small" 4000
make_folder "$work/large" 16000
: >"$work/empty.ini"

scan_small=$(median_ms "$scan" --all --config "$work/empty.ini" "$work/small")
scan_large=$(median_ms "$scan" --all --config "$work/empty.ini" "$work/large")
find_large=$(median_ms find "$work/large" -mindepth 1 -maxdepth 1 -printf '%y %m %f\n')

tool=loop
command -v hyperfine >/dev/null 2>&1 && tool=hyperfine
echo "median of $runs runs ($tool):"
echo "  versweep-scan --all,  4,000 entries: $scan_small ms"
echo "  versweep-scan --all, 16,000 entries: $scan_large ms"
echo "  find,                16,000 entries: $find_large ms"
awk -v s="$scan_large" -v f="$find_large" -v m="$scan_small" 'BEGIN {
    r1 = s / f; r2 = s / m
    printf "scan / find at 16,000:           %.2f (aim <= 2)   %s\n", r1, (r1 <= 2 ? "ok" : "MISSED")
    printf "scan 16,000 / scan 4,000:        %.2f (aim about 4) %s\n", r2, (r2 <= 5 ? "ok" : "MISSED")
}'
