#!/usr/bin/env bash
# The test share: non-blank lines of the sources under a tests/ folder against the non-blank lines of every
# other source (C++, shell and Python; build folders and .ci/ left out). Tests should be a quarter to a
# third of the code and never more than 40%: more means checks that restate the code or repeat each other.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${1:-40}

count() { grep -ch '[^[:space:]]' -- "$@" | awk '{ n += $1 } END { print n + 0 }'; }

mapfile -t sources < <(git ls-files -co --exclude-standard |
    grep -E '\.(c|cc|cpp|cxx|h|hh|hpp|py|sh)$' | grep -vE '^(\.ci/|build)')
tests=() code=()
for file in "${sources[@]}"; do
    [ -f "$file" ] || continue
    if [[ $file =~ (^|/)(tests?|autotests?)(/|$) ]]; then tests+=("$file"); else code+=("$file"); fi
done
test_lines=$(count "${tests[@]}")
code_lines=$(count "${code[@]}")
share=$((100 * test_lines / code_lines))
echo "test share: $test_lines test lines against $code_lines lines of code, ${share}% (at most ${limit}%)"
[ "$share" -le "$limit" ]
