#!/usr/bin/env bash
# Fault injection with figures: saves, level archive updates and the intro switch killed with SIGKILL at
# random moments (COUNT times each, default 1000), and saves on a full disk (a tiny tmpfs mounted in an
# unprivileged user and mount namespace).
#   bash tools/reliability.sh [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-1000}
bash tools/deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-faults -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGX_BUILD_GUI=OFF -DGX_BUILD_TESTS=OFF \
    "${launcher[@]}" >/dev/null
cmake --build build-faults --target gx3190-faults -j "$(nproc)"
tool=$PWD/build-faults/tools/gx3190-faults
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

status=0
"$tool" kill-saves "$count" || status=1
"$tool" kill-level "$count" || status=1
"$tool" kill-intro "$count" || status=1
mkdir -p "$scratch/full"
unshare -rm bash -c "mount -t tmpfs -o size=256k tmpfs '$scratch/full' && '$tool' disk-full '$scratch/full'" || status=1
exit $status
