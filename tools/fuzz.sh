#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for the given number of seconds (default 60),
# starting from seeds made by the demo game generator. Prints one line per harness: runs and result.
#   bash tools/fuzz.sh [SECONDS] [HARNESS...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
bash tools/deps.sh

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGX_BUILD_FUZZERS=ON -DGX_BUILD_GUI=OFF -DGX_BUILD_TESTS=OFF -DGX_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=($(cd "$build/fuzz" && ls fuzz_* | grep -v '\.' ))
seeds="$build/seeds"
rm -rf "$seeds"
"$build/tools/gx3190-makedemo" --fuzz-seeds "$seeds"

status=0
for h in "${harnesses[@]}"; do
    corpus="$build/corpus/$h"
    mkdir -p "$corpus" "$seeds/$h"
    log="$build/$h.log"
    if (cd "$build" && ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
        "fuzz/$h" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$PWD/$h-" "$PWD/$corpus" "$PWD/$seeds/$h" >"$PWD/$log" 2>&1); then
        result=ok
    else
        result=FAILED
        status=1
    fi
    runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "$h: ${runs:-?} runs in ${seconds}s: $result"
    [ "$result" = ok ] || tail -30 "$log"
done
exit $status
