#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 PLANIX developers
# SPDX-License-Identifier: GPL-2.0-or-later
# Lists the C++ files that differ from the style in .clang-format and exits 1
# when there are any. With --fix, formats them in place instead.
#
#   scripts/check_format.sh [--fix]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fix=0
[ "${1:-}" = "--fix" ] && fix=1

mapfile -t files < <(git ls-files '*.cpp' '*.h' ':!:fuzz/corpus/*')
if [ $fix = 1 ]; then
  clang-format -i --style=file "${files[@]}"
  exit 0
fi
differing=0
for f in "${files[@]}"; do
  if ! clang-format --style=file --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "not formatted: $f"
    differing=$((differing + 1))
  fi
done
if [ $differing -gt 0 ]; then
  echo "$differing file(s) differ from .clang-format; scripts/check_format.sh --fix formats them" >&2
  exit 1
fi
echo "${#files[@]} files follow .clang-format"
