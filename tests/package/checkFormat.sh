#!/bin/bash
# Fails on a C++ file that clang-format, with the checked-in .clang-format, would change: the tracked
# files, or in a tree without git (one made by git archive) every one outside the build trees.
# Usage: checkFormat.sh SOURCE_DIR
set -euo pipefail
cd "$1"
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null) || files=$(find . -path './build*' -prune -o -regex '.*\.\(cpp\|h\)' -print)
clang-format --dry-run --Werror $files
