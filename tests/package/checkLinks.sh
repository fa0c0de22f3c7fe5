#!/bin/bash
# Fails on a relative link in a tracked Markdown file (README.md, docs/, bench/) that points at a
# file that does not exist. Usage: checkLinks.sh SOURCE_DIR
set -euo pipefail
cd "$1"
broken=0
while IFS= read -r file; do
    while IFS= read -r target; do
        path=${target%%#*}
        [[ -z $path || $path =~ ^[a-z]+: ]] && continue
        [[ -e $(dirname "$file")/$path ]] || { echo "FAIL: $file: $target does not exist" >&2; broken=1; }
    done < <(grep -o '](<\?[^)>]*' "$file" | sed -e 's/^](<\?//' -e 's/ .*//')
done < <(git ls-files '*.md' 2>/dev/null || ls README.md docs/*.md bench/*.md 2>/dev/null)
exit "$broken"
