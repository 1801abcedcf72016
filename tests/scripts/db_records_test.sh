#!/usr/bin/env bash
# scripts/db and the records of its clusters: a DIR renamed, renamed back
# or copied keeps its cluster and its data, with the home under /tmp and in
# DIR; start never deletes data a cluster ran from, refuses records it did
# not make, and a refusal leaves nothing behind; status and stop say when
# this user cannot tell whether a server runs. Run on a copy of the scripts
# in a folder the server's account can reach.
set -euo pipefail
# shellcheck source=test_lib.sh
. "$(dirname "$0")/test_lib.sh"
repo=$1
sandbox=$(mktemp -d /tmp/ferrule-dbr.XXXXXX)
chmod 1777 "$sandbox"
pgbin=/usr/lib/postgresql/15/bin
tmp_homes=()
cleanup() {
  stop_servers_below "$sandbox" "${tmp_homes[@]}"
  chmod -R u+w "$sandbox" 2>/dev/null || true
  rm -rf "$sandbox" "${tmp_homes[@]}"
}
trap cleanup EXIT

mkdir "$sandbox/copy" "$sandbox/work"
cp -r "$repo/scripts" "$repo/database" "$sandbox/copy/"
db=$sandbox/copy/scripts/db
work=$sandbox/work

run_db() {
  status=0
  (cd "$work" && "$db" "$@") >"$sandbox/out" 2>"$sandbox/err" </dev/null || status=$?
}
said() { grep -q -F -- "$1" "$sandbox/err" || fail "$2 said: $(cat "$sandbox/err")"; }
started() {
  run_db start --throwaway "$1"
  [ "$status" = 0 ] || fail "start of $1 exited $status: $(cat "$sandbox/err")"
}
# sql DIR STATEMENT: run as the library's account on DIR's cluster.
sql() {
  (
    eval "$("$db" env "$1")"
    PGPASSWORD=$FERRULE_PASSWORD psql -X -q -tA -v ON_ERROR_STOP=1 \
      "postgresql://$FERRULE_USER@$FERRULE_SERVER" -c "$2"
  )
}
# The records start keeps in a folder, with their contents: what start may
# not change in a folder it refuses. (The data of a running server changes
# by itself, and is checked through its rows.)
records() {
  (cd "$1" && ls -A | LC_ALL=C sort &&
     for f in made-by-scripts-db cluster.env database.sha256 cluster.lock unfinished-start; do
       [ ! -f "$f" ] || sha256sum "$f"
     done)
}
snapshot() {
  (cd "$1" && find . -printf '%p %y %m\n' | LC_ALL=C sort &&
     find . -type f -exec sha256sum {} + | LC_ALL=C sort)
}
server_runs() { as_owner "$pgbin/pg_ctl" status -D "$1" >/dev/null 2>&1; }

# A cluster folder renamed while its server runs, then renamed back; and
# one copied. Under PARENT: with its home under /tmp, or in DIR itself.
renamed_and_back() {
  local parent=$1 z=$1/z z2=$1/z2 c=$1/c before
  tmp_homes+=("$(tmp_home_of "$z")" "$(tmp_home_of "$z2")" "$(tmp_home_of "$c")")
  started "$z"
  sql "$z" "create table kept (n integer); insert into kept values (42)"
  mv "$z" "$z2"

  # The renamed folder is not made a new cluster: start refuses it, naming
  # both paths, and changes nothing; status and stop cannot tell (4), env
  # names the other path.
  before=$(records "$z2")
  run_db start --throwaway "$z2"
  [ "$status" = 1 ] || fail "start of $z2, renamed from $z, exited $status: $(cat "$sandbox/err")"
  said "refusing the folder $z2" "start of $z2"
  said "made for $z (" "start of $z2"
  [ "$(records "$z2")" = "$before" ] || fail "start of $z2 changed its records: $(records "$z2")"
  [ ! -e "$(tmp_home_of "$z2")" ] || fail "start of $z2 made a home for it"
  for command in status stop; do
    run_db "$command" "$z2"
    [ "$status" = 4 ] || fail "$command of $z2, renamed from $z, exited $status"
    said "made for $z (" "$command of $z2"
  done
  run_db env "$z2"
  [ "$status" = 1 ] || fail "env of $z2 exited $status"
  said "made for $z (" "env of $z2"
  [ "$(records "$z2")" = "$before" ] || fail "the commands changed the records of $z2"

  # Renamed back, it is the cluster it was, data and all.
  mv "$z2" "$z"
  run_db start --throwaway "$z"
  [ "$status" = 0 ] || fail "start of $z, renamed back, exited $status: $(cat "$sandbox/err")"
  grep -q created "$sandbox/err" && fail "start of $z, renamed back, made a new cluster"
  [ "$(sql "$z" 'select n from kept')" = 42 ] || fail "the row of $z is gone"

  # A copy is refused too, and the cluster copied runs on.
  cp -a "$z" "$c"
  before=$(snapshot "$c")
  run_db start --throwaway "$c"
  [ "$status" = 1 ] || fail "start of $c, a copy of $z, exited $status"
  said "made for $z (" "start of $c"
  [ "$(snapshot "$c")" = "$before" ] || fail "start of $c changed it"
  [ ! -e "$(tmp_home_of "$c")" ] || fail "start of $c made a home for it"
  [ "$(sql "$z" 'select n from kept')" = 42 ] || fail "the row of $z is gone after the copy"
  rm -rf "$c"
}

# As root, a folder the server's account cannot enter puts the home under
# /tmp; as another user, a path too long for the socket does.
if [ "$(id -u)" = 0 ]; then
  tmp_parent=$work/closed
  mkdir -m 700 "$tmp_parent"
else
  tmp_parent=$work/a-folder-whose-socket-path-would-be-too-long-for-a-unix-socket-of-its-own
  mkdir "$tmp_parent"
fi
renamed_and_back "$tmp_parent"
[ "$(sed -n 's/^HOME_DIR=//p' "$tmp_parent/z/cluster.env")" = "$(tmp_home_of "$tmp_parent/z")" ] ||
  fail "the home of $tmp_parent/z is not under /tmp"
mkdir "$work/open"
renamed_and_back "$work/open"
[ "$(sed -n 's/^HOME_DIR=//p' "$work/open/z/cluster.env")" = "$work/open/z" ] ||
  fail "the home of $work/open/z is not the folder itself"
echo "scripts/db: a folder renamed, renamed back or copied keeps its cluster and its data"

# A new folder where a renamed one was: the home under /tmp holds the data
# of the cluster that ran there, which start refuses to delete, making
# nothing in the new folder.
z=$tmp_parent/z
mv "$z" "$tmp_parent/z-moved"
mkdir "$z"
run_db start --throwaway "$z"
[ "$status" = 1 ] || fail "start of a new $z over the home of the old one exited $status"
said "refusing the folder $(tmp_home_of "$z")" "start of a new $z"
[ -z "$(ls -A "$z")" ] || fail "start of a new $z left $(ls -A "$z")"
rmdir "$z"
mv "$tmp_parent/z-moved" "$z"
[ "$(sql "$z" 'select n from kept')" = 42 ] || fail "the row of $z is gone after a new folder took its place"

# A cluster whose cluster.env is lost (its password with it) keeps its
# data: start refuses, and once cluster.env is back, the data is there.
for z in "$tmp_parent/z" "$work/open/z"; do
  run_db stop "$z"
  mv "$z/cluster.env" "$sandbox/cluster.env.kept"
  run_db start --throwaway "$z"
  [ "$status" = 1 ] || fail "start of $z without its cluster.env exited $status"
  said "holds the data of a cluster made for $z" "start of $z without its cluster.env"
  mv "$sandbox/cluster.env.kept" "$z/cluster.env"
  started "$z"
  [ "$(sql "$z" 'select n from kept')" = 42 ] || fail "the row of $z is gone after its cluster.env was lost"
done
echo "scripts/db: start deletes no data a cluster ran from"

# refused DIR FOLDER WHAT: start DIR is refused, naming FOLDER, and neither
# DIR nor FOLDER changes.
refused() {
  local dir=$1 folder=$2 before_dir before_folder
  before_dir=$(snapshot "$dir")
  before_folder=$(snapshot "$folder")
  run_db start --throwaway "$dir"
  [ "$status" = 1 ] || fail "start of $dir ($3) exited $status"
  said "refusing the folder $folder" "start of $dir ($3)"
  [ "$(snapshot "$dir")" = "$before_dir" ] || fail "start of $dir ($3) changed it: $(snapshot "$dir")"
  [ "$(snapshot "$folder")" = "$before_folder" ] || fail "start of $dir ($3) changed $folder"
}
# A user's own cluster.env or database.sha256, and nothing else.
for entry in cluster.env database.sha256; do
  dir=$work/own-$entry
  mkdir "$dir"
  echo precious >"$dir/$entry"
  refused "$dir" "$dir" "a $entry of its own"
done
echo "scripts/db: start refuses a cluster.env or database.sha256 it did not make"

# A refusal leaves nothing: not the folder start made (nor those above
# it), and no mark or lock in a folder that was there.
long=$work/a-cluster-folder-whose-socket-path-would-be-too-long-for-a-unix-socket
mkdir "$long"
new=$long/not-yet/there
home=$(tmp_home_of "$new")
tmp_homes+=("$home")
mkdir -p "$home/data"
echo precious >"$home/data/thesis.txt"
before=$(snapshot "$home")
run_db start --throwaway "$new"
[ "$status" = 1 ] || fail "start of $new, whose home holds foreign data, exited $status"
said "refusing the folder $home" "start of $new"
[ ! -e "$long/not-yet" ] || fail "the refused start left $(find "$long/not-yet")"
[ "$(snapshot "$home")" = "$before" ] || fail "the refused start changed $home"
# A home that is a link, not a folder of this user's.
there=$long/there
home=$(tmp_home_of "$there")
tmp_homes+=("$home")
mkdir "$there" "$sandbox/elsewhere"
ln -s "$sandbox/elsewhere" "$home"
run_db start --throwaway "$there"
[ "$status" = 1 ] || fail "start of $there, whose home is a link, exited $status"
said "refusing the folder $home" "start of $there"
[ -z "$(ls -A "$there")" ] || fail "the refused start left $(ls -A "$there") in $there"
[ -z "$(ls -A "$sandbox/elsewhere")" ] || fail "the refused start wrote through the link"
echo "scripts/db: a refusal leaves nothing behind"

# Another user sees root's running clusters: status and stop cannot tell
# (4), and the servers run on.
if [ "$(id -u)" = 0 ]; then
  for z in "$work/open/z" "$tmp_parent/z"; do
    data=$(sed -n 's/^HOME_DIR=//p' "$z/cluster.env")/data
    for command in status stop; do
      status=0
      (cd / && setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$db" "$command" "$z") \
        >"$sandbox/out" 2>"$sandbox/err" </dev/null || status=$?
      [ "$status" = 4 ] || fail "$command of root's $z by another user exited $status: $(cat "$sandbox/err")"
      said "cannot" "$command of root's $z by another user"
    done
    server_runs "$data" || fail "another user's stop stopped $z"
  done
  echo "scripts/db: status and stop say when this user cannot tell"
fi
for z in "$work/open/z" "$tmp_parent/z"; do run_db stop "$z"; done
