#!/usr/bin/env bash
# Checks that the C++ files changed since a base commit are formatted as .clang-format
# says. The base is the argument, or the commit recorded in .ci/format-base (where the
# check began; files untouched since then are left as they are).
# Exit 1 with the list of files that clang-format would change.
set -euo pipefail
cd "$(dirname "$0")/.."
base=${1:-$(cat .ci/format-base)}
if ! git cat-file -e "$base^{commit}" 2>/dev/null; then
    echo "format check: the base $base is not in this clone; nothing checked"
    exit 0
fi
mapfile -t files < <(git diff --name-only --diff-filter=ACMR "$base" -- '*.cpp' '*.h')
bad=()
for file in "${files[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done
if [ ${#bad[@]} -gt 0 ]; then
    echo "format check: not formatted (clang-format -i FILE):"
    printf '  %s\n' "${bad[@]}"
    exit 1
fi
echo "format check: ${#files[@]} changed files are formatted"
