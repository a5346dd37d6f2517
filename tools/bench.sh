#!/usr/bin/env bash
# Builds the benchmarks in Release and prints one table: the micro-benchmarks of the text rules and file
# formats, then the whole operations against unzip, zip and cp, then the start-up against a window with text in
# the editor's typeface and a bare Qt window.
# Usage: bash tools/bench.sh [level] [level-source] [mod] [intro] [startup]   (no argument: everything)
# Environment: GX_BENCH_RUNS (pairs per timing, default 9), GX_BENCH_DIR (work folder, default the temp
# folder), GX_BENCH_MOVIE_MB (size of each movie, default 100).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"

bash "$root/tools/deps.sh"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGX_BUILD_BENCH=ON -DGX_BUILD_TESTS=OFF \
    "${launcher[@]}" >/dev/null
cmake --build "$build" --target gx3190-bench-micro gx3190-bench-ops -j2 >/dev/null

echo "Machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), load$(uptime | sed 's/.*load average//')"
echo

table="$(mktemp)"
trap 'rm -f "$table" "$table.csv"' EXIT
# Each scenario in a process of its own, so that the peak memory a child reports is not the high-water
# mark of a parent that held large archives (a spawned child inherits it until exec).
scenarios=("$@")
[ ${#scenarios[@]} -eq 0 ] && scenarios=(level level-source mod intro startup)
first=1
for scenario in "${scenarios[@]}"; do
    if [ $first -eq 1 ]; then
        "$build/bench/gx3190-bench-ops" "$scenario" >"$table"
        first=0
    else
        "$build/bench/gx3190-bench-ops" "$scenario" | tail -n +2 >>"$table"
    fi
done

# Micro-benchmarks: Google Benchmark's own repetitions, shown as time per call.
"$build/bench/gx3190-bench-micro" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null >"$table.csv"
awk -F, '
    /^"BM_/ {
        name = $1; gsub(/"/, "", name)
        kind = name; sub(/.*_/, "", kind)
        base = name; sub(/_(mean|median|stddev|cv)$/, "", base)
        unit = $5; gsub(/"/, "", unit)
        f = (unit == "ns") ? 1e-6 : (unit == "us") ? 1e-3 : (unit == "ms") ? 1 : 1000
        if (kind == "median") med[base] = $3 * f
        if (kind == "mean") { mean[base] = $3 * f; order[++n] = base }
        if (kind == "stddev") sd[base] = $3 * f
    }
    END {
        for (i = 1; i <= n; i++) {
            b = order[i]
            label = b
            sub(/file:0/, "BotNames.AI", label); sub(/file:1/, "AIDefault.AI", label)
            sub(/file:2/, "ServerSettings.CON", label); sub(/file:3/, "scoringCommon.py", label)
            printf "micro %s|%.4f|-|-|-|-|-|-|-|sd %.4f ms|-\n", label, med[b], sd[b]
        }
    }' "$table.csv" >>"$table"

sed -e 's/|/\t/g' "$table" | column -t -s $'\t'
