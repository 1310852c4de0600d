#!/usr/bin/env bash
# Checks that every C++ source is formatted as .clang-format says
# (clang-format -i fixes it).
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "format: every source as .clang-format says"
