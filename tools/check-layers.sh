#!/usr/bin/env bash
# The layer rule: each source folder may include only folders of a lower rank (and itself), and no window
# includes another window's header; only the composition root in app/ knows every window. Lists each
# include that breaks the rule and fails when there is one. Tests, tools, benchmarks, fuzzers and packaging
# sit above every layer and are not checked.
set -euo pipefail
cd "$(dirname "$0")/.."

# Lowest first; folders on one line share a rank and must not include each other.
ranks=(
    "core"
    "modfiles"
    "levels movies"
    "startup widgets"
    "windows cli"
    "app"
)

declare -A rank
for r in "${!ranks[@]}"; do
    for folder in ${ranks[r]}; do
        rank[$folder]=$r
    done
done

bad=0
while IFS= read -r file; do
    own=${file%%/*}
    [ -n "${rank[$own]:-}" ] || continue
    case "$file" in */tests/*) continue ;; esac
    self=$(basename "${file%.*}")
    while IFS=: read -r line target; do
        folder=${target%%/*}
        header=$(basename "$target" .h)
        if [ -n "${rank[$folder]:-}" ] && [ "$folder" != "$own" ] && [ "${rank[$folder]}" -ge "${rank[$own]}" ]; then
            echo "$file:$line: $own (rank ${rank[$own]}) includes $target (rank ${rank[$folder]})"
            bad=1
        fi
        if [ "$own" != app ] && [[ $header == Form* ]] && [[ $self != "$header" ]]; then
            echo "$file:$line: a window includes another window's header $target"
            bad=1
        fi
    done < <(grep -n '^#include "' "$file" | sed -E 's/^([0-9]+):#include "([^"]+)".*/\1:\2/')
done < <(git ls-files '*.cpp' '*.h')

if [ "$bad" -ne 0 ]; then
    echo "Includes go against the layer order (see the README's layout section)." >&2
    exit 1
fi
echo "layers: every include goes downward"
