#!/usr/bin/env bash
# scripts/db on a throwaway cluster of its own: the files it leaves are
# readable by their owner only.
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
