#!/usr/bin/env bash
# scripts/db and the folder DIR it is given: start refuses a path that the
# server's start would hand to a shell as code (or could not pass), and a
# folder holding a data, sock or server.log that it did not make, before
# making anything; a file is not a folder; a hint to start the cluster names
# the folder given; the commands that only look make nothing; a folder whose
# socket path is too long in bytes gets its home under /tmp; a first start
# that failed leaves no server running, and the next begins afresh; status
# and stop see the server a killed first start left running. Run on a
# copy of the scripts in a folder the server's account can reach and write
# to, so that code that got through to pg_ctl's shell would leave a file
# behind.
set -euo pipefail
# shellcheck source=test_lib.sh
. "$(dirname "$0")/test_lib.sh"
repo=$1
sandbox=$(mktemp -d /tmp/ferrule-dbf.XXXXXX)
chmod 1777 "$sandbox"
pgbin=/usr/lib/postgresql/15/bin
tmp_homes=()
other_pid=''
cleanup() {
  local env home
  # Clusters that a start may have made, stopped before they go, and any
  # server left running from a data folder of the test's own.
  while IFS= read -r -d '' env; do
    home=$(sed -n 's/^HOME_DIR=//p' "$env")
    "$sandbox/copy/scripts/db" stop "${env%/cluster.env}" >/dev/null 2>&1 || true
    [ -n "$home" ] && [[ $home != "$sandbox"* ]] && rm -rf "$home"
  done < <(find "$sandbox" -name cluster.env -print0 2>/dev/null)
  stop_servers_below "$sandbox" "${tmp_homes[@]}"
  # The other tool's server, should a faulty start have deleted its pid file.
  if [ -n "$other_pid" ] && grep -q -F "$sandbox" "/proc/$other_pid/cmdline" 2>/dev/null; then
    kill -QUIT "$other_pid" 2>/dev/null || true
  fi
  chmod -R u+w "$sandbox" 2>/dev/null || true
  rm -rf "$sandbox" "${tmp_homes[@]}"
}
trap cleanup EXIT

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

# What a folder holds: every entry's kind and mode, and every file's
# contents.
snapshot() {
  (cd "$1" && find . -printf '%p %y %m\n' | LC_ALL=C sort &&
     find . -type f -exec sha256sum {} + | LC_ALL=C sort)
}
# refused_foreign DIR FOLDER: start DIR is refused, naming FOLDER (DIR or
# its home under /tmp), and nothing in DIR or FOLDER changes.
refused_foreign() {
  local dir=$1 folder=$2 before_dir before_folder
  before_dir=$(snapshot "$dir")
  before_folder=$(snapshot "$folder")
  run_db "$work" start --throwaway "$dir"
  [ "$status" = 1 ] || fail "start of $dir, which holds what scripts/db did not make, exited $status"
  grep -q -F "refusing the folder $folder" "$sandbox/err" ||
    fail "start of $dir said: $(cat "$sandbox/err")"
  [ "$(snapshot "$dir")" = "$before_dir" ] || fail "start of $dir changed it: $(snapshot "$dir")"
  [ "$(snapshot "$folder")" = "$before_folder" ] || fail "start of $dir changed $folder"
}
# A user's file where the cluster's data, socket folder or log would go.
for entry in data sock server.log; do
  dir=$work/proj-$entry
  mkdir "$dir"
  if [ "$entry" = server.log ]; then
    echo precious >"$dir/$entry"
  else
    mkdir "$dir/$entry"
    echo precious >"$dir/$entry/thesis.txt"
  fi
  refused_foreign "$dir" "$dir"
done
# The same in the folder under /tmp that is the home of a folder whose
# socket path would be too long.
long=$work/a-cluster-folder-whose-socket-path-would-be-too-long-for-a-unix-socket
mkdir "$long"
long_home=$(tmp_home_of "$long")
tmp_homes+=("$long_home")
mkdir -p "$long_home/data"
echo precious >"$long_home/data/thesis.txt"
refused_foreign "$long" "$long_home"
# Once that file is gone, the folder under /tmp is the cluster's home.
rm -r "$long_home/data"
run_db "$work" start --throwaway "$long"
[ "$status" = 0 ] || fail "start of $long exited $status: $(cat "$sandbox/err")"
[ "$(sed -n 's/^HOME_DIR=//p' "$long/cluster.env")" = "$long_home" ] ||
  fail "the home of $long is not $long_home: $(cat "$long/cluster.env")"
run_db "$work" stop "$long"

# A cluster of another tool, running from DIR/data: start refuses DIR,
# status says it holds no cluster of scripts/db's, env has none to print,
# stop leaves it running, and none of them makes anything in DIR.
other=$work/other
other_sock=$sandbox/other-sock
mkdir -p "$other/data" "$other_sock"
[ "$(id -u)" != 0 ] || chown postgres:postgres "$other/data" "$other_sock"
as_owner "$pgbin/initdb" -D "$other/data" --no-sync --auth=trust >/dev/null
as_owner "$pgbin/pg_ctl" start -D "$other/data" -l "$other_sock/log" -w -s \
  -o "-c listen_addresses='' -k $other_sock" >/dev/null
other_pid=$(head -n 1 "$other/data/postmaster.pid")
other_answers() {
  [ "$(as_owner "$pgbin/psql" -X -q -tA -h "$other_sock" -d postgres -c 'select count(*) > 0 from pg_class')" = t ]
}
other_answers || fail "the other tool's cluster does not answer"
run_db "$work" start --throwaway "$other"
[ "$status" = 1 ] || fail "start of a folder with another tool's running cluster exited $status"
grep -q -F "refusing the folder $other" "$sandbox/err" || fail "start of $other said: $(cat "$sandbox/err")"
run_db "$work" status "$other"
[ "$status" = 3 ] || fail "status of another tool's cluster exited $status"
run_db "$work" env "$other"
[ "$status" = 1 ] && grep -q -F "no cluster in $other" "$sandbox/err" ||
  fail "env of another tool's cluster exited $status: $(cat "$sandbox/err")"
run_db "$work" stop "$other"
[ "$status" = 0 ] || fail "stop of another tool's cluster exited $status"
[ "$(ls -A "$other")" = data ] || fail "$other holds $(ls -A "$other")"
as_owner "$pgbin/pg_ctl" status -D "$other/data" >/dev/null || fail "the other tool's cluster was stopped"
other_answers || fail "the other tool's cluster lost its files"
echo "scripts/db: start refuses a folder holding what it did not make, and touches nothing there"

# Commands that only look make nothing in a folder that is no cluster, and
# answer a folder they cannot write as any other: status "not running" (3).
mkdir "$work/plain"
echo notes >"$work/plain/notes.txt"
plain_before=$(snapshot "$work/plain")
for command in status env stop; do
  run_db "$work" "$command" plain
  [ "$(snapshot "$work/plain")" = "$plain_before" ] || fail "$command made $(snapshot "$work/plain")"
done
# As an account that cannot write the folders: nobody, or the test's own
# account on a folder without write permission.
mkdir "$work/ro"
chmod 555 "$work/ro"
run_unprivileged() {
  local cwd=$1
  shift
  status=0
  if [ "$(id -u)" = 0 ]; then
    (cd "$cwd" && setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$db" "$@")
  else
    (cd "$cwd" && "$db" "$@")
  fi >"$sandbox/out" 2>"$sandbox/err" </dev/null || status=$?
}
run_unprivileged "$work" status "$work/ro"
[ "$status" = 3 ] && [ ! -s "$sandbox/err" ] ||
  fail "status of a folder it cannot write exited $status: $(cat "$sandbox/err")"
run_unprivileged "$work" stop "$work/ro"
[ "$status" = 0 ] && [ ! -s "$sandbox/err" ] ||
  fail "stop of a folder it cannot write exited $status: $(cat "$sandbox/err")"
run_unprivileged "$work" env "$work/ro"
[ "$status" = 1 ] && grep -q -F "no cluster in $work/ro" "$sandbox/err" ||
  fail "env of a folder it cannot write exited $status: $(cat "$sandbox/err")"
# start says in a sentence which folder it cannot make or write in: below a
# parent it cannot write, through a file, and in a folder it cannot write.
# said_sentence CMD FOLDER: exit 1 and a line of scripts/db's own naming FOLDER.
said_sentence() {
  [ "$status" = 1 ] || fail "$1 exited $status"
  grep -q -F "scripts/db: start: cannot" "$sandbox/err" && grep -q -F "folder $2" "$sandbox/err" &&
    ! grep -q -v '^scripts/db: ' "$sandbox/err" || fail "$1 said: $(cat "$sandbox/err")"
}
run_unprivileged "$work" start "$work/ro/db"
said_sentence "start below a parent it cannot write" "$work/ro/db"
run_unprivileged "$work" start "$work/ro"
said_sentence "start in a folder it cannot write" "$work/ro"
run_db "$work" start "$work/file/db"
said_sentence "start through a file" "$work/file/db"
[ -z "$(ls -A "$work/ro")" ] || fail "$work/ro holds $(ls -A "$work/ro")"
echo "scripts/db: commands that only look make nothing; start names a folder it cannot make"

# A folder whose socket path fits in characters but not in bytes gets its
# home under /tmp, as a long ASCII folder does.
mb=$work/ドキュメント/ネットワーク構成管理プロジェクト/.db
tmp_homes+=("$(tmp_home_of "$mb")")
LC_ALL=C.UTF-8 run_db "$work" start --throwaway "$mb"
[ "$status" = 0 ] || fail "start of $mb exited $status: $(cat "$sandbox/err")"
run_db "$work" status "$mb"
[ "$status" = 0 ] || fail "status of $mb exited $status"
run_db "$work" stop "$mb"

# A first start that fails after making the cluster's files (here the load
# of database/ fails) leaves no server running; the next start begins
# afresh and succeeds.
half=$work/half-made
tmp_homes+=("$(tmp_home_of "$half")")
echo 'select 1/0;' >"$sandbox/copy/database/99_fails.sql"
run_db "$work" start --throwaway "$half"
rm "$sandbox/copy/database/99_fails.sql"
[ "$status" = 1 ] || fail "a start whose load failed exited $status"
for data in "$half/data" "$(tmp_home_of "$half")/data"; do
  if [ -d "$data" ] && as_owner "$pgbin/pg_ctl" status -D "$data" >/dev/null 2>&1; then
    fail "a failed start left a server running from $data"
  fi
done
run_db "$work" start --throwaway "$half"
[ "$status" = 0 ] || fail "the start after a failed one exited $status: $(cat "$sandbox/err")"
run_db "$work" stop "$half"

# A first start killed (by its pid) half way, while it loads database/,
# leaves its server running from the data, and no cluster.env: status and
# stop see that server, and stop stops it.
killed=$work/killed
tmp_homes+=("$(tmp_home_of "$killed")")
echo 'select pg_sleep(3);' >"$sandbox/copy/database/99_slow.sql"
(cd "$work" && exec "$db" start --throwaway "$killed") >/dev/null 2>&1 </dev/null &
starter=$!
for _ in $(seq 1 300); do
  [ ! -f "$killed/data/postmaster.pid" ] || break
  sleep 0.1
done
sleep 1
kill -KILL "$starter"
wait "$starter" 2>/dev/null || true
rm "$sandbox/copy/database/99_slow.sql"
[ -f "$killed/data/postmaster.pid" ] && [ ! -e "$killed/cluster.env" ] ||
  fail "the killed start left $(ls -A "$killed")"
run_db "$work" status "$killed"
[ "$status" = 0 ] || fail "status of $killed, whose server a killed start left running, exited $status"
run_db "$work" stop "$killed"
[ "$status" = 0 ] || fail "stop of $killed exited $status: $(cat "$sandbox/err")"
! as_owner "$pgbin/pg_ctl" status -D "$killed/data" >/dev/null 2>&1 ||
  fail "stop of $killed left the server of its killed start running"
run_db "$work" start --throwaway "$killed"
[ "$status" = 0 ] || fail "the start after a killed one exited $status: $(cat "$sandbox/err")"
run_db "$work" stop "$killed"
echo "scripts/db: socket paths counted in bytes; a failed or killed first start is begun afresh"
