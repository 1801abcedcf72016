#!/usr/bin/env bash
# The version script and the exports test each read the header their own
# way, and neither passes over a declaration without a word: configure
# reads one declaration a line, FERRULE_API first, and stops on any other
# line that holds FERRULE_API; check_exports.sh reads the header as the
# compiler does, so that a function declared otherwise and left out of the
# library is reported.
set -euo pipefail
repo=$1 cc=$2
work=$(mktemp -d /tmp/ferrule-exports-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# header LINE...: a header with ferrule.h's definition of FERRULE_API and
# the lines given.
header() {
  {
    sed -n '/^#if defined(__GNUC__)/,/^#endif/p' "$repo/library/ferrule.h"
    printf '%s\n' "$@"
  } >"$work/ferrule.h"
}
# What configure makes of the header: the names, one a line, in $names,
# its exit status in $status, what it said in $work/err.
configure_reads() {
  status=0
  names=$(cmake -DHEADER="$work/ferrule.h" -P "$repo/tests/exports/print_export_names.cmake" \
            2>"$work/err" | sed -n 's/^-- //p') || status=$?
}

header 'FERRULE_API int f(char* s);' '  FERRULE_API const char* g(void);' \
       'FERRULE_API int h(int a,' '                int b);'
configure_reads
[ "$status" = 0 ] || fail "configure stopped on a header of plain declarations: $(cat "$work/err")"
[ "$names" = "$(printf 'f\ng\nh')" ] || fail "configure read the names $names"

# Lines that hold FERRULE_API and are not read as one declaration: before
# the macro, two on a line, the name on the next line, a comment.
stops_on() {
  header 'FERRULE_API int ok(void);' "$@"
  configure_reads
  [ "$status" != 0 ] || fail "configure went on past: $*"
  grep -q -F -- "$1" "$work/err" || fail "configure stopped on '$*' without naming it: $(cat "$work/err")"
}
stops_on 'extern FERRULE_API int f(char*);'
stops_on 'FERRULE_API int f(void); FERRULE_API int g(void);'
stops_on 'FERRULE_API int' 'f(void);'
stops_on '/* f is FERRULE_API too */'
echo "exports: configure stops on a FERRULE_API line that it does not read as a declaration"

# check_exports.sh against a library that exports what the version script
# named: a declaration the line-by-line reading missed is reported.
library() {
  local name
  : >"$work/lib.c"
  printf '{ global: ' >"$work/lib.map"
  for name in "$@"; do
    printf 'int %s(void) { return 0; }\n' "$name" >>"$work/lib.c"
    printf '%s; ' "$name" >>"$work/lib.map"
  done
  printf 'local: *; };\n' >>"$work/lib.map"
  "$cc" -shared -fPIC -o "$work/libprobe.so" "$work/lib.c" -Wl,--version-script="$work/lib.map"
}
header 'FERRULE_API int g(void);' 'extern FERRULE_API int f(char*);' \
       'FERRULE_API int' '  h(void);'
library g
said=$("$repo/tests/exports/check_exports.sh" "$work/libprobe.so" "$work/ferrule.h" "$cc") &&
  fail "check_exports.sh passed a library without f and h: $said"
[ "$said" = "$(printf 'only declared: f\nonly declared: h')" ] || fail "check_exports.sh said: $said"
library f g h
said=$("$repo/tests/exports/check_exports.sh" "$work/libprobe.so" "$work/ferrule.h" "$cc") ||
  fail "check_exports.sh refused a library with every function: $said"
echo "exports: the exports test reads the header as the compiler does"
