#!/usr/bin/env bash
# Builds the editor and starts it. When no game is installed it runs on a freshly made demo game folder,
# with a settings store of its own so that it never touches the user's.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=Release -DGX_BUILD_TESTS=OFF "${launcher[@]}"
cmake --build build-run -j "$(nproc)"

# The editor's own search decides, so the script looks where the editor does.
if ! build-run/app/gx3190editor list-games >/dev/null 2>&1; then
    demo="$PWD/build-run/demo-game"
    rm -rf "$demo"
    build-run/tools/gx3190-makedemo "$demo"
    export XDG_CONFIG_HOME="$PWD/build-run/config"
    mkdir -p "$XDG_CONFIG_HOME"
    mkdir -p "$XDG_CONFIG_HOME/GX3190_SP"
    printf "[Paths]\nGXPath=%s/\n" "$demo" > "$XDG_CONFIG_HOME/GX3190_SP/GX3190_SP.conf"
    echo "No installed game found: running on the demo game in $demo"
fi
exec build-run/app/gx3190editor "$@"
