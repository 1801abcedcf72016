#!/usr/bin/env bash
# Compares the dynamic symbols a library defines with the functions its
# header declares as exported.
set -euo pipefail
lib=$1 header=$2
declared=$(grep -oE 'FERRULE_API int [A-Za-z0-9_]+' "$header" | awk '{print $3}' | sort -u)
defined=$(nm -D --defined-only "$lib" | awk '$2 == "T" {print $3}' | sort -u)
if [ "$declared" != "$defined" ]; then
  diff <(echo "$declared") <(echo "$defined") | sed 's/^</only declared:/; s/^>/only exported:/'
  exit 1
fi
echo "$(echo "$declared" | wc -l) exports match the header"
