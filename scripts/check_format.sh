#!/usr/bin/env bash
# Fails when a C++ file of src, tests or bench differs from the committed .clang-format style.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || bash scripts/setup.sh clang-format
git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' |
    xargs clang-format --dry-run --Werror
echo "Formatting: clean"
