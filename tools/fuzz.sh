#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for the given number of seconds (default 60),
# or for GX_FUZZ_RUNS executions when that is set, starting from seeds made by the demo game generator.
# Prints one line per harness: executions, time and result.
#   bash tools/fuzz.sh [SECONDS] [HARNESS...]
#   GX_FUZZ_RUNS=10000000 bash tools/fuzz.sh 0 fuzz_textrules
# GX_FUZZ_FLAGS adds libFuzzer flags, such as -max_len=2048.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
bash tools/deps.sh

build=$PWD/build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGX_BUILD_FUZZERS=ON -DGX_BUILD_GUI=OFF -DGX_BUILD_TESTS=OFF -DGX_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] ||
    mapfile -t harnesses < <(find "$build/fuzz" -maxdepth 1 -type f -executable -name 'fuzz_*' -printf '%f\n' | sort)
seeds="$build/seeds"
rm -rf "$seeds"
"$build/tools/gx3190-makedemo" --fuzz-seeds "$seeds"

# Scratch files of the harnesses go to memory when it can hold them.
[ -w /dev/shm ] && export TMPDIR=/dev/shm
limit=(-max_total_time="$seconds")
[ -n "${GX_FUZZ_RUNS:-}" ] && limit=(-runs="$GX_FUZZ_RUNS")

status=0
for h in "${harnesses[@]}"; do
    corpus="$build/corpus/$h"
    mkdir -p "$corpus" "$seeds/$h"
    log="$build/$h.log"
    # Two frames of allocation stack keep the harnesses fast; a crash is re-run from its saved input
    # (fuzz/HARNESS FILE) with full stacks.
    # shellcheck disable=SC2086
    if (cd "$build" && ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1:malloc_context_size=2 \
        "fuzz/$h" "${limit[@]}" ${GX_FUZZ_FLAGS:-} -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/$h-" "$corpus" "$seeds/$h" >"$log" 2>&1); then
        result=ok
    else
        result=FAILED
        status=1
    fi
    runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    took=$(grep -E '^Done [0-9]+ runs in' "$log" | awk '{print $5}')
    echo "$h: ${runs:-?} executions in ${took:-$seconds} s: $result"
    [ "$result" = ok ] || tail -30 "$log"
done
exit $status
