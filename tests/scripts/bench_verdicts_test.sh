#!/usr/bin/env bash
# scripts/bench sums up the benchmarks' verdicts: its last line names every
# line that said "NOT met", and its exit status is 0 when every target was
# met, 3 when one was not, 1 when a benchmark failed to run. Run in a copy
# of the scripts, with stand-in benchmarks in its build-bench/ and a cmake
# that builds nothing; the cluster is the copy's own.
set -euo pipefail
# shellcheck source=test_lib.sh
. "$(dirname "$0")/test_lib.sh"
repo=$1
sandbox=$(mktemp -d /tmp/ferrule-bench-test.XXXXXX)
chmod 755 "$sandbox"
cleanup() {
  local home=''
  [ -f "$sandbox/.db-bench/cluster.env" ] &&
    home=$(sed -n 's/^HOME_DIR=//p' "$sandbox/.db-bench/cluster.env")
  "$sandbox/scripts/db" stop "$sandbox/.db-bench" >/dev/null 2>&1 || true
  [ -n "$home" ] && [ "$home" != "$sandbox/.db-bench" ] && rm -rf "$home"
  rm -rf "$sandbox"
}
trap cleanup EXIT

cp -r "$repo/scripts" "$repo/database" "$sandbox/"
mkdir -p "$sandbox/shims" "$sandbox/build-bench/bench"
printf '#!/bin/sh\nexit 0\n' >"$sandbox/shims/cmake"
chmod 755 "$sandbox/shims/cmake"

# stand_in NAME EXIT_STATUS LINE...: a benchmark that prints the lines.
stand_in() {
  local name=$1 status=$2
  shift 2
  { echo '#!/bin/sh'; printf "echo '%s'\n" "$@"; echo "exit $status"; } \
    >"$sandbox/build-bench/bench/bench_$name"
  chmod 755 "$sandbox/build-bench/bench/bench_$name"
}

# run_bench NAME...: sets status and last (the last line printed).
run_bench() {
  status=0
  PATH="$sandbox/shims:$PATH" "$sandbox/scripts/bench" "$@" >"$sandbox/out" 2>"$sandbox/err" ||
    status=$?
  last=$(tail -n 1 "$sandbox/out")
}

stand_in device_row 0 'ratio 0.38 (target <= 1.5): met'
stand_in paths 0 '  first   60.13 ms (x   3.9) met      repeated   0.48 ms (x  485.7) met' \
  'every target: met'
run_bench device_row paths
[ "$status" = 0 ] || fail "every target met, exit status $status: $(cat "$sandbox/err")"
[ "$last" = 'scripts/bench: every target met' ] || fail "every target met, last line: $last"

stand_in paths 0 '  first  160.13 ms (x   3.9) NOT met      repeated   0.48 ms (x  485.7) met' \
  'every target: NOT met'
stand_in routing 0 'routing tables of 2002 devices: 7383 ms in total, x23.5 of writing their rows (target <= 20): NOT met'
run_bench device_row paths routing
[ "$status" = 3 ] || fail "targets not met, exit status $status"
[ "$last" = 'scripts/bench: targets NOT met: bench_paths: first 160.13 ms (x 3.9) NOT met repeated 0.48 ms (x 485.7) met | bench_paths: every target: NOT met | bench_routing: routing tables of 2002 devices: 7383 ms in total, x23.5 of writing their rows (target <= 20): NOT met' ] ||
  fail "targets not met, last line: $last"

stand_in oci_array 1 'half a report'
run_bench oci_array routing
[ "$status" = 1 ] || fail "a benchmark failed, exit status $status"
[ "$last" = 'scripts/bench: targets NOT met: bench_routing: routing tables of 2002 devices: 7383 ms in total, x23.5 of writing their rows (target <= 20): NOT met; failed to run: bench_oci_array' ] ||
  fail "a benchmark failed, last line: $last"
echo "scripts/bench: the last line and the exit status sum up the targets not met"
