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
user_cluster=''
cleanup() {
  if [ -n "$user_cluster" ] && [ -d "$user_cluster/data" ]; then
    (cd / && setpriv --reuid=nobody --regid=nogroup --clear-groups -- \
       "$pgbin/pg_ctl" stop -D "$user_cluster/data" -m immediate -w -s) >/dev/null 2>&1 || true
  fi
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
# A process that runs (a zombie, which may stay unreaped a while, does not).
alive() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}

# A cluster folder renamed while its server runs, then renamed back; and
# one copied. Under PARENT: with its home under /tmp, or in DIR itself.
renamed_and_back() {
  local parent=$1 z=$1/z z2=$1/z2 c=$1/c before in_folder=0 data
  tmp_homes+=("$(tmp_home_of "$z")" "$(tmp_home_of "$z2")" "$(tmp_home_of "$c")")
  started "$z"
  sql "$z" "create table kept (n integer); insert into kept values (42)"
  [ "$(cluster_setting "$z" HOME_DIR)" != "$z" ] || in_folder=1
  mv "$z" "$z2"

  # The renamed folder is not made a new cluster: start refuses it, naming
  # both paths, and changes nothing; env names the other path.
  before=$(records "$z2")
  run_db start --throwaway "$z2"
  [ "$status" = 1 ] || fail "start of $z2, renamed from $z, exited $status: $(cat "$sandbox/err")"
  said "refusing the folder $z2" "start of $z2"
  said "made for $z (" "start of $z2"
  said "move this folder back to $z" "start of $z2"
  [ "$(records "$z2")" = "$before" ] || fail "start of $z2 changed its records: $(records "$z2")"
  [ ! -e "$(tmp_home_of "$z2")" ] || fail "start of $z2 made a home for it"

  # Nor is the old path, while the server made for it runs on: start there
  # refuses, making nothing; status there says where that server runs. No
  # hint tells to move the folder back onto a folder that took its place,
  # nor to delete the data of the running server.
  run_db start --throwaway "$z"
  [ "$status" = 1 ] || fail "start of $z while its server runs on from $z2 exited $status"
  [ ! -e "$z" ] || fail "start of $z, refused, made $(ls -A "$z")"
  grep -q "delete " "$sandbox/err" && fail "start of $z hints to delete the data of a running server: $(cat "$sandbox/err")"
  mkdir "$z"
  run_db start --throwaway "$z"
  [ "$status" = 1 ] && [ -z "$(ls -A "$z")" ] || fail "start of a new $z exited $status, leaving $(ls -A "$z")"
  grep -q -e "delete " -e "back to $z" "$sandbox/err" && fail "start of a new $z hints: $(cat "$sandbox/err")"
  run_db start --throwaway "$z2"
  grep -q "back to $z" "$sandbox/err" && fail "start of $z2 hints to move it into $z: $(cat "$sandbox/err")"
  said "scripts/db move $z $z2" "start of $z2 while $z is another folder"
  if [ "$in_folder" = 1 ]; then
    # The server runs from the data in the renamed folder: the old path
    # says so; status and stop of the renamed folder see it, and stop
    # stops it.
    data=$z2/data
    run_db status "$z"
    [ "$status" = 3 ] && grep -q -F "the server made for $z runs from $z2/data" "$sandbox/out" ||
      fail "status of $z, whose server runs from $z2, exited $status: $(cat "$sandbox/out")"
    rmdir "$z"
    run_db status "$z2"
    [ "$status" = 0 ] || fail "status of $z2, whose server runs from its data, exited $status"
    run_db stop "$z2"
    [ "$status" = 0 ] || fail "stop of $z2, whose server runs from its data, exited $status: $(cat "$sandbox/err")"
  else
    # The server runs from the home of the old path under /tmp: the records
    # of the renamed folder cannot tell (4); the old path, gone or not,
    # leads to that server, and its stop stops it.
    data=$(tmp_home_of "$z")/data
    for command in status stop; do
      run_db "$command" "$z2"
      [ "$status" = 4 ] || fail "$command of $z2, renamed from $z, exited $status"
      said "made for $z (" "$command of $z2"
    done
    rmdir "$z"
    run_db status "$z"
    [ "$status" = 0 ] || fail "status of $z, whose server runs from its home, exited $status"
    run_db stop "$z"
    [ "$status" = 0 ] && [ ! -e "$z" ] || fail "stop of $z, whose server runs from its home, exited $status"
  fi
  ! server_runs "$data" || fail "the server of $z, renamed $z2, runs on"
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

# A cluster kept at a new path for good. A folder renamed by hand (as with
# a checkout renamed) while its server runs: move names the stop that
# stops it, then takes the cluster over where it is. A stopped cluster's
# folder move renames itself, but not onto a folder that is there, and a
# copy is not taken over while the original holds the cluster. A move cut
# short after its home under /tmp was renamed finishes when run again.
# Each time the cluster starts at its new path, with its row (and its
# socket in its new home).
for z in "$tmp_parent/z" "$work/open/z"; do
  z3=${z}3 z4=${z}4
  tmp_homes+=("$(tmp_home_of "$z3")" "$(tmp_home_of "$z4")")
  mv "$z" "$z3"
  run_db move "$z" "$z3"
  [ "$status" = 1 ] || fail "move of $z to $z3 while its server runs exited $status"
  stopper=$(sed -n 's/.*stop it first (scripts\/db stop \(.*\)); nothing was moved$/\1/p' "$sandbox/err")
  [ -n "$stopper" ] || fail "move of a running cluster said: $(cat "$sandbox/err")"
  run_db stop "$stopper"
  [ "$status" = 0 ] || fail "stop of $stopper, which move named, exited $status"
  run_db move "$z" "$z3"
  [ "$status" = 0 ] || fail "move of $z to $z3 exited $status: $(cat "$sandbox/err")"
  started "$z3"
  grep -q created "$sandbox/err" && fail "start of $z3, moved from $z, made a new cluster"
  [ "$(sql "$z3" 'select n from kept')" = 42 ] || fail "the row of $z is gone after its move to $z3"
  [ ! -e "$(tmp_home_of "$z")" ] || fail "the home of $z stays after its move to $z3"
  run_db stop "$z3"

  mkdir "$z4"
  run_db move "$z3" "$z4"
  [ "$status" = 1 ] && [ -d "$z3" ] && [ -z "$(ls -A "$z4")" ] || fail "move of $z3 onto the folder $z4 exited $status"
  rmdir "$z4"
  run_db move "$z3" "$z4"
  [ "$status" = 0 ] && [ ! -e "$z3" ] || fail "move of $z3 to $z4 exited $status: $(cat "$sandbox/err")"
  cp -a "$z4" "$z3"
  before=$(records "$z3")
  run_db move "$z4" "$z3"
  [ "$status" = 1 ] && [ "$(records "$z3")" = "$before" ] || fail "move of $z4 onto its copy $z3 exited $status"
  rm -rf "$z3"

  mv "$z4" "$z"
  if [ "$(cluster_setting "$z" HOME_DIR)" != "$z4" ]; then mv "$(tmp_home_of "$z4")" "$(tmp_home_of "$z")"; fi
  run_db move "$z4" "$z"
  [ "$status" = 0 ] || fail "move of $z4 back to $z, cut short, exited $status: $(cat "$sandbox/err")"
  started "$z"
  [ "$(sql "$z" 'select n from kept')" = 42 ] || fail "the row of $z is gone after its moves"
done
echo "scripts/db: move keeps a cluster at its new path for good, with its data"

# remove deletes a cluster with its data: the folder start made, and its
# home under /tmp, go; a folder of the user's own stays, with their files.
# A home whose mark names another folder is refused, deleting nothing. In
# a copy (cp -a of a running cluster) remove refuses too, deleting
# nothing, and the original runs on with its data.
for parent in "$tmp_parent" "$work/open"; do
  r=$parent/r
  tmp_homes+=("$(tmp_home_of "$r")")
  started "$r"
  home=$(cluster_setting "$r" HOME_DIR)
  pid=$(head -n 1 "$home/data/postmaster.pid")
  run_db remove "$r"
  [ "$status" = 0 ] || fail "remove of $r exited $status: $(cat "$sandbox/err")"
  [ ! -e "$r" ] && [ ! -e "$home" ] || fail "remove of $r left $(ls -A "$r" "$home" 2>&1)"
  ! alive "$pid" || fail "remove of $r left its server running"
  run_db remove "$r"
  [ "$status" = 0 ] || fail "remove of $r, removed already, exited $status"

  mkdir "$r"
  echo mine >"$r/notes.txt"
  started "$r"
  home=$(cluster_setting "$r" HOME_DIR)
  if [ "$home" != "$r" ]; then
    mark=$(cat "$home/made-by-scripts-db")
    echo "$parent/other" >"$home/made-by-scripts-db"
    before=$(records "$home")
    run_db remove "$r"
    [ "$status" = 1 ] && [ "$(records "$home")" = "$before" ] && server_runs "$home/data" ||
      fail "remove of $r, whose home is marked for another folder, exited $status"
    said "names the folder $parent/other" "remove of $r"
    echo "$mark" >"$home/made-by-scripts-db"
  fi
  run_db remove "$r"
  [ "$status" = 0 ] && [ "$(ls -A "$r")" = notes.txt ] && [ ! -e "$home/data" ] ||
    fail "remove of $r, a folder of the user's own, exited $status, leaving $(ls -A "$r")"
  rm -r "$r"

  z=$parent/z c=$parent/c
  home=$(cluster_setting "$z" HOME_DIR)
  cp -a "$z" "$c"
  before=$(snapshot "$c")
  run_db remove "$c"
  [ "$status" = 1 ] || fail "remove of $c, a copy of $z, exited $status"
  said "made for $z (" "remove of $c"
  [ "$(snapshot "$c")" = "$before" ] || fail "remove of $c changed it"
  server_runs "$home/data" && [ "$(sql "$z" 'select n from kept')" = 42 ] ||
    fail "remove of $c, a copy of $z, took the cluster of $z"
  rm -rf "$c"
done
echo "scripts/db: remove deletes a cluster and only what start made for its path"

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
# (4), remove and start refuse, and the servers run on. Root sees an
# ordinary user's cluster the same way: its start refuses it, naming that
# user, before it changes anything, and the user's own start then works.
if [ "$(id -u)" = 0 ]; then
  as_nobody() {
    status=0
    (cd / && setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@") \
      >"$sandbox/out" 2>"$sandbox/err" </dev/null || status=$?
  }
  for z in "$work/open/z" "$tmp_parent/z"; do
    data=$(sed -n 's/^HOME_DIR=//p' "$z/cluster.env")/data
    for command in status stop; do
      as_nobody "$db" "$command" "$z"
      [ "$status" = 4 ] || fail "$command of root's $z by another user exited $status: $(cat "$sandbox/err")"
      said "cannot" "$command of root's $z by another user"
    done
    as_nobody "$db" remove "$z"
    [ "$status" = 1 ] || fail "remove of root's $z by another user exited $status"
    said "nothing was removed" "remove of root's $z by another user"
    server_runs "$data" || fail "another user's stop or remove stopped $z"
  done
  as_nobody "$db" start --throwaway "$work/open/z"
  [ "$status" = 1 ] || fail "another user's start of root's $work/open/z exited $status"
  said "holds the cluster of root" "another user's start of root's $work/open/z"

  mkdir "$work/users"
  chown nobody:nogroup "$work/users"
  user_cluster=$work/users/z
  as_nobody "$db" start --throwaway "$user_cluster"
  [ "$status" = 0 ] || fail "nobody's start of $user_cluster exited $status: $(cat "$sandbox/err")"
  owners() { (cd "$user_cluster" && find . -maxdepth 1 -printf '%p %u %m\n' | LC_ALL=C sort) && records "$user_cluster"; }
  before=$(owners)
  run_db start --throwaway "$user_cluster"
  [ "$status" = 1 ] || fail "root's start of nobody's $user_cluster exited $status"
  said "holds the cluster of the user nobody" "root's start of nobody's $user_cluster"
  [ "$(owners)" = "$before" ] || fail "root's start of nobody's $user_cluster changed it: $(owners)"
  for command in status stop; do
    run_db "$command" "$user_cluster"
    [ "$status" = 4 ] || fail "root's $command of nobody's $user_cluster exited $status"
    said "the user nobody" "root's $command of nobody's $user_cluster"
  done
  as_nobody "$pgbin/pg_ctl" status -D "$user_cluster/data"
  [ "$status" = 0 ] || fail "root's commands stopped nobody's $user_cluster"
  as_nobody "$db" stop "$user_cluster"
  as_nobody "$db" start --throwaway "$user_cluster"
  [ "$status" = 0 ] || fail "nobody's start after root's exited $status: $(cat "$sandbox/err")"
  as_nobody "$db" remove "$user_cluster"
  [ "$status" = 0 ] && [ ! -e "$user_cluster" ] || fail "nobody's remove of $user_cluster exited $status"
  echo "scripts/db: status and stop say when this user cannot tell; start refuses another user's cluster"
fi
for z in "$work/open/z" "$tmp_parent/z"; do run_db stop "$z"; done
