#!/usr/bin/env bash
# Compares every dynamic symbol a library defines, whatever its type
# (functions, data, weak template instances, vtables, typeinfo, unique
# objects), with the functions its header declares FERRULE_API.
#
# The header is read as the C compiler reads it, not line by line as
# configure reads it for the version script: preprocessed, FERRULE_API is
# the visibility attribute that exports a function, and each declaration
# holding it, however it is written or broken across lines, names a
# function the library must export. So a declaration that configure's
# reading would pass over cannot pass here too.
set -euo pipefail
export LC_ALL=C
lib=$1 header=$2 cc=${3:-cc}
attribute='__attribute__((visibility("default")))'
# One declaration a line, spaces gone around parentheses and quotes, the
# attribute taken out; the name is the word before the first parenthesis.
declared=$("$cc" -E -P -x c "$header" | tr '\n' ' ' | tr ';' '\n' |
           sed -E 's/[[:space:]]+/ /g; s/ ?([()"]) ?/\1/g' | grep -F "$attribute" |
           sed -E "s/__attribute__\\(\\(visibility\\(\"default\"\\)\\)\\)/ /;
                   s/^([^(]*[^A-Za-z0-9_])?([A-Za-z_][A-Za-z0-9_]*) ?\\(.*/\\2/" | sort -u)
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
