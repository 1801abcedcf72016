#!/usr/bin/env bash
# Every script's --help prints its usage on standard output and exits 0,
# and builds, installs and starts nothing: run in a copy of the scripts,
# where cmake, ctest, dpkg-query, apt-get and sudo only write down that they
# were called, and where no build or cluster folder may appear.
set -euo pipefail
# shellcheck source=test_lib.sh
. "$(dirname "$0")/test_lib.sh"
repo=$1
sandbox=$(mktemp -d /tmp/ferrule-help-test.XXXXXX)
trap 'rm -rf "$sandbox"' EXIT

cp -r "$repo/scripts" "$repo/database" "$sandbox/"
shims=$sandbox/shims
mkdir "$shims"
for tool in cmake ctest dpkg-query apt-get sudo; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\nexit 1\n' "$tool" "$sandbox/calls" >"$shims/$tool"
done
chmod 755 "$shims"/*

for script in test demo bench db setup; do
  for option in --help -h; do
    status=0
    PATH="$shims:$PATH" "$sandbox/scripts/$script" "$option" >"$sandbox/out" 2>"$sandbox/err" ||
      status=$?
    [ "$status" = 0 ] || fail "scripts/$script $option exited $status: $(cat "$sandbox/err")"
    head -n 1 "$sandbox/out" | grep -q "^usage: scripts/$script" ||
      fail "scripts/$script $option printed no usage: $(cat "$sandbox/out")"
    [ ! -e "$sandbox/calls" ] || fail "scripts/$script $option ran $(cat "$sandbox/calls")"
    leftovers=$(cd "$sandbox" && ls -A | grep -v -x -e scripts -e database -e shims -e out -e err || true)
    [ -z "$leftovers" ] || fail "scripts/$script $option left $leftovers"
  done
done

# scripts/db answers --help and -h after each of its commands too, wherever
# they stand, and refuses an argument that looks like an option where a
# folder or a connection string belongs: with a message that names it, and
# without making that folder. Run from the sandbox, so that a folder made
# under a relative name would be a leftover.
run_db() {
  status=0
  (cd "$sandbox" && PATH="$shims:$PATH" "$sandbox/scripts/db" "$@") \
    >"$sandbox/out" 2>"$sandbox/err" || status=$?
  [ ! -e "$sandbox/calls" ] || fail "scripts/db $* ran $(cat "$sandbox/calls")"
  leftovers=$(cd "$sandbox" && ls -A | grep -v -x -e scripts -e database -e shims -e out -e err || true)
  [ -z "$leftovers" ] || fail "scripts/db $* left $leftovers"
}
shows_usage() {
  run_db "$@"
  [ "$status" = 0 ] || fail "scripts/db $* exited $status: $(cat "$sandbox/err")"
  head -n 1 "$sandbox/out" | grep -q '^usage: scripts/db' ||
    fail "scripts/db $* printed no usage: $(cat "$sandbox/out")"
}
refuses() {
  local bad=$1
  shift
  run_db "$@"
  [ "$status" != 0 ] || fail "scripts/db $* exited 0: $(cat "$sandbox/out")"
  grep -q -F -- "$bad" "$sandbox/err" || fail "scripts/db $* does not name $bad: $(cat "$sandbox/err")"
  [ ! -s "$sandbox/out" ] || fail "scripts/db $* printed $(cat "$sandbox/out")"
}
for option in --help -h; do
  for command in start stop remove move reset status env install; do
    shows_usage "$command" "$option"
  done
  shows_usage move .db-a .db-b "$option"
  shows_usage start --throwaway "$option"
  shows_usage start "$option" --throwaway
  shows_usage stop .db-elsewhere "$option"
  shows_usage status .db-elsewhere "$option"
  shows_usage install "$option" acct
  shows_usage install host=db.example acct "$option"
done
for command in start stop remove reset status env; do
  refuses -x "$command" -x
  refuses --bogus "$command" --bogus
done
refuses -x move .db-a -x
refuses -x move -x .db-b
refuses -x start --throwaway -x
refuses --throwaway stop --throwaway
refuses -x install -x
refuses --bogus install --bogus acct
refuses -x install host=db.example -x
echo "scripts/db: --help and -h after each command; arguments like options refused"

# The database script's usage says what a connection string looks like,
# where install takes the account's password from, and what the connecting
# account needs and becomes.
usage=$("$sandbox/scripts/db" --help)
for text in CONNINFO 'host=db.example port=5432 dbname=network user=admin' \
            FERRULE_ACCOUNT_PASSWORD 'standard input' 'CREATE on the database' \
            'schema public' CREATEROLE 'WITH GRANT OPTION' 'member of ACCOUNT'; do
  grep -q -F -- "$text" <<<"$usage" || fail "scripts/db --help does not mention $text"
done
# Each command's part of the usage says how long it waits, and status's
# what its exit statuses mean.
for command in start stop remove move reset status env install; do
  part=$(awk -v c="$command" '/^  [a-z]+  / { inside = ($1 == c) } /^[A-Z]/ { inside = 0 } inside' <<<"$usage")
  grep -q -E 'Waits (at most|for nothing)' <<<"$part" ||
    fail "scripts/db --help does not say how long $command waits: $part"
done
grep -q -F '4 when this user cannot tell' <<<"$usage" || fail "scripts/db --help does not explain status 4"
echo "scripts: --help prints the usage and does nothing else"
