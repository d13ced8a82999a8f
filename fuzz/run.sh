#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under ASan and UBSan and runs each for SECONDS (default 60), two at a
# time, from the seed corpora in fuzz/corpus/<target>/. A crash or a failed check fails the run; the input
# that caused it is left in build/fuzz/findings/ to become a unit test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(fuzz_release_name fuzz_comma_text fuzz_ini_read fuzz_ini_write)

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERSWEEP_FUZZ=ON \
    -DVERSWEEP_BUILD_TESTS=OFF -DVERSWEEP_BUILD_BENCH=OFF -DVERSWEEP_BUILD_CLI=OFF -DVERSWEEP_WERROR=ON
cmake --build build/fuzz --target "${targets[@]}"

# New inputs go to a scratch corpus; the committed seeds are only read.
run() {
    local work=build/fuzz/work/$1
    mkdir -p "$work/corpus" build/fuzz/findings
    if ! "build/fuzz/fuzz/$1" -max_total_time="$seconds" -artifact_prefix="build/fuzz/findings/$1-" \
        "$work/corpus" "fuzz/corpus/$1" >"$work/log" 2>&1; then
        tail -n 40 "$work/log" >&2
        echo "fuzz: $1 failed; the input is in build/fuzz/findings/" >&2
        return 1
    fi
    echo "fuzz: $1 $(grep -o 'DONE .*' "$work/log" | tail -n 1)"
}

# Two at a time: each fuzzer uses one core.
status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
    pids=()
    for target in "${targets[@]:i:2}"; do
        run "$target" &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || status=1
    done
done
exit "$status"
