#!/usr/bin/env bash
# Fails when a source file of src/, tests/ or bench/ is not laid out as the project's .clang-format says.
# Run clang-format -i on the files it names to mend them.
set -euo pipefail
cd "${1:-.}"
if ! command -v clang-format >/dev/null; then
  echo "clang-format is not installed; the layout is not checked"
  exit 77
fi
mapfile -t files < <(find src tests bench -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
out=$(mktemp)
trap 'rm -f "$out"' EXIT
if clang-format --dry-run --Werror "${files[@]}" 2>"$out"; then
  echo "${#files[@]} files laid out as .clang-format says"
  exit 0
fi
grep -o '^[^:]*:[0-9]*:[0-9]*: error' "$out" | cut -d: -f1 | sort -u | sed 's/$/: not laid out as .clang-format says/'
exit 1
