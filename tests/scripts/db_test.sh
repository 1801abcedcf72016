#!/usr/bin/env bash
# scripts/db on a cluster of its own: the files it leaves are readable by
# their owner only, env prints export lines, start notices that database/
# changed since the cluster was loaded, and a cluster started without
# --throwaway keeps every commit it acknowledged through a crash (and stays
# durable, saying so, when started again with --throwaway).
set -euo pipefail
repo=$1
db=$repo/scripts/db
dir=$(mktemp -d /tmp/ferrule-db-test.XXXXXX)
home=''
cleanup() {
  "$db" stop "$dir" >/dev/null 2>&1 || true
  [ -n "$home" ] && [ "$home" != "$dir" ] && rm -rf "$home"
  rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

"$db" start "$dir" 2>/dev/null
home=$(sed -n 's/^HOME_DIR=//p' "$dir/cluster.env")

mode() { stat -c %a "$1"; }
[ "$(mode "$home/server.log")" = 600 ] || fail "server.log is $(mode "$home/server.log")"
[ "$(mode "$dir/cluster.env")" = 600 ] || fail "cluster.env is $(mode "$dir/cluster.env")"

# A log that an older checkout left readable is closed at the next start.
"$db" stop "$dir" 2>/dev/null
chmod 644 "$home/server.log"
"$db" start "$dir" 2>/dev/null
[ "$(mode "$home/server.log")" = 600 ] || fail "server.log stays $(mode "$home/server.log")"

echo "scripts/db: files for the owner only"

# env prints export lines: programs started after the eval see them.
(
  eval "$("$db" env "$dir")"
  bash -c '[ -n "$FERRULE_SERVER" ] && [ -n "$FERRULE_USER" ] && [ -n "$FERRULE_PASSWORD" ]'
) || fail "env does not export the connection settings"

# A database loaded from other SQL files than database/ holds now is loaded
# afresh at the next start, and says so.
eval "$("$db" env "$dir")"
user_sql() {
  PGPASSWORD=$FERRULE_PASSWORD psql -X -q -t -A -v ON_ERROR_STOP=1 \
    "postgresql://$FERRULE_USER@$FERRULE_SERVER" -c "$1"
}
user_sql "insert into vexa_subsystemList(system_name, systemID) values ('OLD', 2)"
"$db" start "$dir" 2>&1 | grep -q 'changed' && fail "reloaded although nothing changed"
echo 0000 >"$dir/database.sha256"
"$db" start "$dir" 2>&1 | grep -q 'database/ changed since the cluster was loaded' ||
  fail "a changed database/ is not noticed"
[ "$(user_sql 'select count(*) from vexa_subsystemList')" = 0 ] || fail "old data kept"
[ "$(cat "$dir/database.sha256")" != 0000 ] || fail "hash not recorded"
echo "scripts/db: export lines, reload after a change of database/"

# Durable unless asked otherwise: every commit acknowledged before the
# server stops at once is there after the restart.
setting() { user_sql "select current_setting('fsync')||current_setting('synchronous_commit')||current_setting('full_page_writes')"; }
[ "$(setting)" = ononon ] || fail "a cluster started by hand is not durable: $(setting)"
user_sql "create table durability_probe (n integer)"
seq 1 1000 | sed 's/.*/insert into durability_probe values (&);/' |
  PGPASSWORD=$FERRULE_PASSWORD psql -X -q -v ON_ERROR_STOP=1 "postgresql://$FERRULE_USER@$FERRULE_SERVER" ||
  fail "inserts failed"
as_owner() {
  if [ "$(id -u)" = 0 ]; then
    (cd / && setpriv --reuid=postgres --regid=postgres --init-groups -- "$@")
  else
    "$@"
  fi
}
as_owner /usr/lib/postgresql/15/bin/pg_ctl stop -D "$home/data" -m immediate -w -s
"$db" start "$dir" 2>/dev/null
[ "$(user_sql 'select count(*) from durability_probe')" = 1000 ] ||
  fail "acknowledged commits lost: $(user_sql 'select count(*) from durability_probe') of 1000 kept"

# Only a start that asks for it runs without durability, and the next start
# without --throwaway makes the running cluster durable again.
"$db" stop "$dir" 2>/dev/null
"$db" start --throwaway "$dir" 2>/dev/null
[ "$(setting)" = offoffoff ] || fail "--throwaway kept $(setting)"
started=$("$db" start "$dir" 2>&1)
grep -q 'restarting with durable settings' <<<"$started" || fail "a throwaway server is left running"
[ "$(setting)" = ononon ] || fail "not durable after a restart: $(setting)"

# A throwaway start of a cluster that runs durable leaves it durable, and
# says so.
started=$("$db" start --throwaway "$dir" 2>&1)
grep -q 'kept durable, not throwaway' <<<"$started" ||
  fail "a durable cluster kept by a throwaway start without a word: $started"
[ "$(setting)" = ononon ] || fail "a throwaway start changed a durable cluster: $(setting)"
echo "scripts/db: durable unless started --throwaway; acknowledged commits survive a crash"
