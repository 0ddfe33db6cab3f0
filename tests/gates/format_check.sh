#!/usr/bin/env bash
# Every C++ source is formatted as .clang-format says; prints the first
# differences and fails otherwise.
set -uo pipefail
root=${1:?source folder}
cd "$root"
report=$(find src sim tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
  xargs -0 clang-format --dry-run --Werror 2>&1)
if [ -n "$report" ]; then
  printf '%s\n' "$report" | head -n 40
  exit 1
fi
