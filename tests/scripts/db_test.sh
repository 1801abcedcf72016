#!/usr/bin/env bash
# scripts/db on a cluster of its own: the files it leaves are readable by
# their owner only, env prints export lines, start notices that database/
# changed since the cluster was loaded, and a cluster started without
# --throwaway keeps every commit it acknowledged through a crash (and stays
# durable, saying so, when started again with --throwaway); a cluster made
# before scripts/db marked its folders runs on. install, into databases of
# that cluster, leaves nothing behind when it fails, refuses to create an
# account with an empty password, and leaves the password of an account
# that exists as it is. env quotes its values for the shell, and reset,
# held up by a lock, says the bound it gave up at.
set -euo pipefail
# shellcheck source=test_lib.sh
. "$(dirname "$0")/test_lib.sh"
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

"$db" start "$dir" 2>/dev/null
home=$(sed -n 's/^HOME_DIR=//p' "$dir/cluster.env")

mode() { stat -c %a "$1"; }
[ "$(mode "$home/server.log")" = 600 ] || fail "server.log is $(mode "$home/server.log")"
[ "$(mode "$dir/cluster.env")" = 600 ] || fail "cluster.env is $(mode "$dir/cluster.env")"

# A log that an older checkout left readable is closed at the next start.
"$db" stop "$dir" 2>/dev/null
chmod 644 "$home/server.log"
# Meanwhile, the hint to start the stopped cluster names its folder.
said=$("$db" reset "$dir" 2>&1) && fail "reset of a stopped cluster succeeded"
grep -q -F "is not running (run scripts/db start $dir)" <<<"$said" || fail "reset hints: $said"
"$db" start "$dir" 2>/dev/null
[ "$(mode "$home/server.log")" = 600 ] || fail "server.log stays $(mode "$home/server.log")"

echo "scripts/db: files for the owner only"

# A cluster made before scripts/db marked the folders it makes (a cluster.env
# and no mark) is still its own: status, stop and start take it, and start
# marks it.
rm -f "$dir/made-by-scripts-db" "$home/made-by-scripts-db"
"$db" status "$dir" >/dev/null || fail "status does not see an unmarked cluster"
"$db" stop "$dir" 2>/dev/null
said=$("$db" start "$dir" 2>&1) || fail "start of an unmarked cluster failed: $said"
grep -q 'started on' <<<"$said" || fail "start of an unmarked cluster said: $said"
[ -f "$dir/made-by-scripts-db" ] || fail "start did not mark the folder of an unmarked cluster"
echo "scripts/db: a cluster made before the mark runs on"

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

# install, into databases of the cluster standing for a site's server, by
# an account that may create roles. A failed install leaves no table, and
# no account, membership or privilege that it gave; an account that was
# there before stays as it was.
port=$(sed -n 's/^PORT=//p' "$dir/cluster.env")
super_sql() { as_owner psql -X -q -tA -v ON_ERROR_STOP=1 -h "$home/sock" -p "$port" "$@"; }
super_sql -d postgres >/dev/null <<'EOF'
CREATE ROLE site_admin LOGIN PASSWORD 'admin-pw' CREATEROLE;
CREATE DATABASE site_not_owned;
CREATE DATABASE site_clash OWNER site_admin;
CREATE DATABASE site_own OWNER site_admin;
CREATE DATABASE site_kept OWNER site_admin;
CREATE ROLE site_old LOGIN;
GRANT CONNECT ON DATABASE site_clash TO site_old;
EOF
# A table of the same name makes the load fail after the account, its
# membership and its privileges were given.
super_sql -d site_clash -c 'create table vexa_subsystemList (n integer)'
conninfo() { echo "host=127.0.0.1 port=$port dbname=$1 user=site_admin password=admin-pw"; }
# What an install changes besides the tables: whether the account exists,
# who is a member of it, the privileges on the database and on public, and
# the tables and functions in the database.
traces() {
  super_sql -d "$1" -c "select (select count(*) from pg_roles where rolname = '$2'),
    (select count(*) from pg_auth_members where roleid = (select oid from pg_roles where rolname = '$2')),
    (select datacl from pg_database where datname = current_database()),
    (select nspacl from pg_namespace where nspname = 'public'),
    (select count(*) from pg_class where relnamespace = 'public'::regnamespace),
    (select count(*) from pg_proc where pronamespace = 'public'::regnamespace)"
}
failed_install() {
  local database=$1 account=$2 before said
  before=$(traces "$database" "$account")
  said=$(FERRULE_ACCOUNT_PASSWORD=lib-pw "$db" install "$(conninfo "$database")" "$account" 2>&1) &&
    fail "install into $database as $account succeeded"
  grep -q 'nothing was installed' <<<"$said" || fail "install into $database said: $said"
  [ "$(traces "$database" "$account")" = "$before" ] ||
    fail "install into $database as $account left $(traces "$database" "$account"), not $before"
}
failed_install site_clash site_lib
failed_install site_clash site_old
# Nor when the connecting account neither owns the database nor holds
# CREATE on its public (PostgreSQL 15 gives that to the owner alone), and
# so cannot give it to the account.
failed_install site_not_owned site_lib

# An account to be created gets no empty password: refused before anything
# is made, whether the empty password is given in the environment or at the
# prompt.
refused_empty_password() {
  local before said
  before=$(traces site_own site_lib)
  said=$("$db" install "$(conninfo site_own)" site_lib 2>&1) && fail "install with an empty password succeeded"
  grep -q 'empty password' <<<"$said" || fail "install with an empty password said: $said"
  [ "$(traces site_own site_lib)" = "$before" ] ||
    fail "install with an empty password left $(traces site_own site_lib), not $before"
}
FERRULE_ACCOUNT_PASSWORD='' refused_empty_password </dev/null
(unset FERRULE_ACCOUNT_PASSWORD; echo '' | refused_empty_password)

# An account that exists keeps its password: none is asked for, and install
# says so.
said=$(FERRULE_ACCOUNT_PASSWORD=not-used "$db" install "$(conninfo site_kept)" site_old 2>&1 </dev/null) ||
  fail "install into site_kept as site_old failed: $said"
grep -q 'site_old exists: its password is left as it is' <<<"$said" || fail "install as site_old said: $said"
grep -q -i 'password of' <<<"$said" && fail "install as site_old asked for a password: $said"
[ "$(super_sql -d postgres -c "select rolpassword is null from pg_authid where rolname = 'site_old'")" = t ] ||
  fail "install gave site_old a password"

# The same account then installs into its own database: the account it
# created owns the tables and logs in with its password, and the connecting
# account is a member of it.
FERRULE_ACCOUNT_PASSWORD=lib-pw "$db" install "$(conninfo site_own)" site_lib 2>/dev/null ||
  fail "install into an empty database owned by the connecting account failed"
[ "$(super_sql -d site_own -c "select tableowner from pg_tables where tablename = 'vexa_lg_devices'")" = site_lib ] ||
  fail "the tables are not owned by site_lib"
[ "$(PGPASSWORD=lib-pw psql -X -q -tA "postgresql://site_lib@127.0.0.1:$port/site_own" \
       -c 'select count(*) from vexa_subsystemList')" = 0 ] || fail "site_lib cannot read its tables"
[ "$(super_sql -d site_own -c "select pg_has_role('site_admin', 'site_lib', 'member')")" = t ] ||
  fail "the connecting account is not a member of site_lib"
echo "scripts/db: install leaves nothing behind when it fails, and installs"

# env quotes every value for the shell: what cluster.env holds stays a
# value through the README's eval, bash's and sh's, and runs nothing.
settings_kept=$(mktemp /tmp/ferrule-db-test-env.XXXXXX)
cp "$dir/cluster.env" "$settings_kept"
odd="x;touch $dir/ran1 '\$(touch $dir/ran2)\`touch $dir/ran3\`\" \\ '"
{ grep -v '^PASSWORD=' "$settings_kept"; printf 'PASSWORD=%s\n' "$odd"; } >"$dir/cluster.env"
for shell in bash sh; do
  # shellcheck disable=SC2016  # the inner shell's $1
  got=$("$shell" -c 'eval "$1" && printf %s "$FERRULE_PASSWORD"' _ "$("$db" env "$dir")") ||
    fail "env's lines do not run in $shell"
  [ "$got" = "$odd" ] || fail "env's password, through $shell's eval, is $got, not $odd"
done
cp "$settings_kept" "$dir/cluster.env"
rm -f "$settings_kept"
ls "$dir"/ran* >/dev/null 2>&1 && fail "env's lines ran what cluster.env holds"
echo "scripts/db: env quotes its values for the shell"

# reset, while another session holds a table locked, gives up at the bound
# the database's reset function sets for itself, and says that bound.
hold=$(mktemp -u /tmp/ferrule-db-test-hold.XXXXXX)
mkfifo "$hold"
super_sql -d ferrule <"$hold" >"$hold.out" &
holder=$!
exec 7>"$hold"
printf 'begin;\nlock table vexa_subsystemList in access exclusive mode;\n\\echo locked\n' >&7
for _ in $(seq 1 300); do grep -q locked "$hold.out" && break; sleep 0.1; done
grep -q locked "$hold.out" || fail "the test's session holds no lock"
said=$("$db" reset "$dir" 2>&1 7>&-) && fail "reset succeeded while a table was locked"
echo 'rollback;' >&7
exec 7>&-
wait "$holder"
rm -f "$hold" "$hold.out"
grep -q -F "reset: the cluster in $dir: gave up after waiting 10 s for what another session holds locked" <<<"$said" ||
  fail "reset, with a table locked, said: $said"
echo "scripts/db: reset says the bound it gave up at"
