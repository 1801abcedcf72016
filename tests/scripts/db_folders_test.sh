#!/usr/bin/env bash
# scripts/db and the folder DIR it is given: start refuses a path that the
# server's start would hand to a shell as code (or could not pass), before
# making anything; a file is not a folder; a hint to start the cluster names
# the folder given. Run on a copy of the scripts in a folder the server's
# account can reach and write to, so that code that got through to pg_ctl's
# shell would leave a file behind.
set -euo pipefail
repo=$1
sandbox=$(mktemp -d /tmp/ferrule-dbf.XXXXXX)
chmod 1777 "$sandbox"
cleanup() {
  local env home
  # Clusters that a faulty start may have made, stopped before they go.
  while IFS= read -r -d '' env; do
    home=$(sed -n 's/^HOME_DIR=//p' "$env")
    "$sandbox/copy/scripts/db" stop "${env%/cluster.env}" >/dev/null 2>&1 || true
    [ -n "$home" ] && [[ $home != "$sandbox"* ]] && rm -rf "$home"
  done < <(find "$sandbox" -name cluster.env -print0 2>/dev/null)
  rm -rf "$sandbox"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

mkdir "$sandbox/copy" "$sandbox/work"
cp -r "$repo/scripts" "$repo/database" "$sandbox/copy/"
db=$sandbox/copy/scripts/db
work=$sandbox/work

# run_db CWD ARGS...: scripts/db run from CWD; its status in $status, what
# it said in $sandbox/err.
run_db() {
  local cwd=$1
  shift
  status=0
  (cd "$cwd" && "$db" "$@") >"$sandbox/out" 2>"$sandbox/err" </dev/null || status=$?
}
listing() { (cd "$work" && find . -maxdepth 2 | LC_ALL=C sort); }

# A folder whose path holds a shell's special character, or a comma or a
# newline: refused by start, with a message that says why, and nothing made
# (no folder, no cluster, no file of injected code).
refused_start() {
  local cwd=$1 dir=$2 before
  before=$(listing)
  run_db "$cwd" start --throwaway "$dir"
  [ "$status" != 0 ] || fail "start $dir exited 0"
  grep -q 'refusing the folder' "$sandbox/err" ||
    fail "start $dir gave no reason: $(cat "$sandbox/err")"
  [ "$(listing)" = "$before" ] || fail "start $dir made $(listing)"
  [ ! -e "$sandbox/INJECTED" ] || fail "start $dir ran the code in its name"
}
refused_start "$work" "x\$(touch $sandbox/INJECTED)"
refused_start "$work" "x\`touch $sandbox/INJECTED\`"
# shellcheck disable=SC2016  # the $ in these names is the point
for name in 'db$x' 'db"x' 'db\x' 'db,x' $'db\nx' 'a$b/db'; do
  refused_start "$work" "$name"
done
# The folders above DIR count too: the server sees the whole path.
mkdir "$work/cwd\$x"
refused_start "$work/cwd\$x" .db-x
refused_start "$work" "$work/cwd\$x/.db-x"
# A folder that an older start left behind is refused again, and nothing
# is written into it.
refused_start "$work" "cwd\$x"
echo "scripts/db: start refuses a folder the server's start cannot take, making nothing"

# A file where the folder belongs: said so, and a failing exit, by every
# command but status (whose "not running" exit says it).
touch "$work/file"
for command in start stop reset env; do
  run_db "$work" "$command" file
  [ "$status" = 1 ] || fail "$command on a file exited $status"
  grep -q 'file is not a folder' "$sandbox/err" ||
    fail "$command on a file said: $(cat "$sandbox/err")"
done
run_db "$work" status file
[ "$status" = 3 ] || fail "status on a file exited $status"
echo "scripts/db: a file is not a cluster folder"

# A hint to start the cluster is one the user can run: it names the folder
# given (quoted for the shell), and none when the default was meant.
for command in reset env; do
  run_db "$work" "$command" .db-x
  grep -q -F '(run scripts/db start .db-x)' "$sandbox/err" ||
    fail "$command .db-x hints: $(cat "$sandbox/err")"
  run_db "$work" "$command" '.db y'
  grep -q -F '(run scripts/db start .db\ y)' "$sandbox/err" ||
    fail "$command '.db y' hints: $(cat "$sandbox/err")"
  run_db "$work" "$command"
  grep -q -F '(run scripts/db start)' "$sandbox/err" ||
    fail "$command hints: $(cat "$sandbox/err")"
done
# shellcheck disable=SC2016  # the folder made above is named cwd$x
[ "$(listing)" = "$(printf '.\n./cwd$x\n./file')" ] || fail "the hints made $(listing)"
echo "scripts/db: hints name the folder given"
