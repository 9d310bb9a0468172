#!/usr/bin/env bash
# Fails when a C++ file under src/, tests/, bench/ or fuzz/ differs from what
# clang-format makes of it with the root .clang-format; lists each such file.
# With --fix the files are formatted in place instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
    echo "check-format: clang-format 14 is not installed" >&2
    exit 2
fi
mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
    'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
if [ "${1:-}" = "--fix" ]; then
    "$format" -i "${files[@]}"
    exit 0
fi
failed=()
for file in "${files[@]}"; do
    if ! "$format" --dry-run -Werror "$file" >/dev/null 2>&1; then
        failed+=("$file")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "check-format: not formatted as .clang-format asks (scripts/check-format.sh --fix):" >&2
    printf '  %s\n' "${failed[@]}" >&2
    exit 1
fi
