#!/usr/bin/env bash
# Compares every dynamic symbol a library defines, whatever its type
# (functions, data, weak template instances, vtables, typeinfo, unique
# objects), with the functions its header declares FERRULE_API.
set -euo pipefail
export LC_ALL=C
lib=$1 header=$2
declared=$(sed -nE 's/^[[:space:]]*FERRULE_API[[:space:]][^(]*[^A-Za-z0-9_]([A-Za-z_][A-Za-z0-9_]*)[[:space:]]*\(.*/\1/p' \
           "$header" | sort -u)
exported=$(nm -D --defined-only "$lib" | awk '{print $NF}' | sort -u)
only_declared=$(comm -23 <(printf '%s\n' "$declared") <(printf '%s\n' "$exported"))
only_exported=$(comm -13 <(printf '%s\n' "$declared") <(printf '%s\n' "$exported"))
if [ -n "$only_declared$only_exported" ]; then
  [ -z "$only_declared" ] || printf 'only declared: %s\n' $only_declared
  if [ -n "$only_exported" ]; then
    # The type letter and the demangled name say what leaked.
    nm -D --defined-only "$lib" | awk '{print $(NF-1), $NF}' |
      grep -Fwf <(printf '%s\n' "$only_exported") | c++filt | sed 's/^/only exported: /'
  fi
  exit 1
fi
echo "$(printf '%s\n' "$declared" | wc -l) exports match the header"
