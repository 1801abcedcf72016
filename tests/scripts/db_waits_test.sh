#!/usr/bin/env bash
# Every wait of scripts/db has a bound: on a cluster whose server is there
# but frozen (its postmaster stopped with SIGSTOP: it accepts connections
# and never answers them), start, reset, install, remove and stop each
# give up at their bound (lowered with FERRULE_DB_WAIT_LIMIT), say so in a
# sentence of scripts/db's that names the cluster, release the lock, and
# leave the cluster's records as they were; install's login, given a
# connect_timeout, gives up at that. status and env wait for nothing.
set -euo pipefail
# shellcheck source=test_lib.sh
. "$(dirname "$0")/test_lib.sh"
repo=$1
sandbox=$(mktemp -d /tmp/ferrule-dbw.XXXXXX)
chmod 755 "$sandbox"
db=$repo/scripts/db
dir=$sandbox/cluster
pid=''
cleanup() {
  [ -z "$pid" ] || kill -CONT "$pid" 2>/dev/null || true
  remove_cluster "$db" "$dir"
  rm -rf "$sandbox"
}
trap cleanup EXIT

"$db" start --throwaway "$dir" 2>/dev/null
home=$(cluster_setting "$dir" HOME_DIR)
port=$(cluster_setting "$dir" PORT)
pid=$(head -n 1 "$home/data/postmaster.pid")
records() { (cd "$dir" && sha256sum cluster.env database.sha256 made-by-scripts-db); }
before=$(records)
kill -STOP "$pid"

# bounded_db ARGS...: scripts/db with its bounds lowered to 2 s; one still
# waiting after 60 s has none.
bounded_db() {
  status=0
  FERRULE_DB_WAIT_LIMIT=2 timeout 60 "$db" "$@" >"$sandbox/out" 2>"$sandbox/err" </dev/null || status=$?
  [ "$status" != 124 ] || fail "scripts/db $1 was still waiting after 60 s"
}
# gave_up WHAT TEXT: exit 1, every line said is one of scripts/db's, one of
# them holds TEXT; the lock is free and the records are as they were.
gave_up() {
  [ "$status" = 1 ] || fail "$1 on a frozen server exited $status: $(cat "$sandbox/err")"
  grep -q -F -- "$2" "$sandbox/err" || fail "$1 on a frozen server said: $(cat "$sandbox/err")"
  ! grep -q -v '^scripts/db: ' "$sandbox/err" || fail "$1 on a frozen server said: $(cat "$sandbox/err")"
  flock -n "$dir/cluster.lock" true || fail "$1 on a frozen server left the lock taken"
  [ "$(records)" = "$before" ] || fail "$1 on a frozen server changed the records"
}

bounded_db start --throwaway "$dir"
gave_up start "start: the cluster in $dir: the server did not answer within 2 s"
bounded_db reset "$dir"
gave_up reset "reset: the cluster in $dir: the server did not answer within 2 s"
bounded_db install "host=127.0.0.1 port=$port dbname=ferrule user=ferrule connect_timeout=0"
gave_up install "nothing was installed"
FERRULE_ACCOUNT_PASSWORD=unused bounded_db install "host=127.0.0.1 port=$port dbname=ferrule user=ferrule" acct
gave_up "install with an account" "install: the server did not answer within 2 s"
# A connect_timeout of CONNINFO's own is the login's bound, and the one said.
bounded_db install "host=127.0.0.1 port=$port dbname=ferrule user=ferrule connect_timeout=3"
gave_up "install with connect_timeout=3" "install: the server did not answer within 3 s"
bounded_db install "postgresql://ferrule@127.0.0.1:$port/ferrule?connect_timeout=4"
gave_up "install with ?connect_timeout=4" "install: the server did not answer within 4 s"
for command in status env; do
  bounded_db "$command" "$dir"
  [ "$status" = 0 ] || fail "$command of a frozen server exited $status: $(cat "$sandbox/err")"
done
# The frozen server is asked to stop, and will once it runs again; remove
# then deletes nothing.
bounded_db remove "$dir"
gave_up remove "remove: the server of the cluster in $dir did not stop within 2 s"
grep -q -F 'nothing was removed' "$sandbox/err" || fail "remove on a frozen server said: $(cat "$sandbox/err")"
[ -f "$home/data/PG_VERSION" ] || fail "remove on a frozen server deleted its data"
bounded_db stop "$dir"
gave_up stop "stop: the server of the cluster in $dir did not stop within 2 s"
echo "scripts/db: every wait on a frozen server has a bound, and says so"
