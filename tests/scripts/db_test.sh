#!/usr/bin/env bash
# scripts/db on a throwaway cluster of its own: the files it leaves are
# readable by their owner only, env prints export lines, and start notices
# that database/ changed since the cluster was loaded.
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
