#!/usr/bin/env bash
# Builds everything from scratch and runs the whole test suite: the format, layer and test-share checks, the normal
# build and its tests, the same tests under AddressSanitizer and UndefinedBehaviorSanitizer (leak checks on), and
# a short smoke run of every fuzz harness.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh

jobs=$(nproc)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export QT_QPA_PLATFORM=offscreen

echo "== format check"
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${sources[@]}"

echo "== layer check"
bash tools/check-layers.sh

echo "== test share"
bash tools/check-test-share.sh

echo "== build and test"
rm -rf build-test
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
rm -rf build-asan
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGX_SANITIZE=ON "${launcher[@]}"
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== fuzz smoke"
bash tools/fuzz.sh "${GX_FUZZ_SECONDS:-15}"
