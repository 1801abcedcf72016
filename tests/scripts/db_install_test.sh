#!/usr/bin/env bash
# scripts/db install never sends the server a new account's password: with
# every statement logged (log_statement = 'all', which logs each text that
# pg_stat_activity shows), neither a failed nor a successful install leaves
# the password in the server's log or in what install says, and the account
# logs in with it. The verifier install computes is the one libpq expects,
# for passwords that SASLprep changes, leaves, or gives up on. An install
# from a checkout whose path holds a backslash works.
set -euo pipefail
# shellcheck source=test_lib.sh
. "$(dirname "$0")/test_lib.sh"
repo=$1
sandbox=$(mktemp -d /tmp/ferrule-dbi.XXXXXX)
chmod 755 "$sandbox"
db=$repo/scripts/db
dir=$sandbox/cluster
cleanup() {
  remove_cluster "$db" "$dir"
  rm -rf "$sandbox"
}
trap cleanup EXIT

"$db" start --throwaway "$dir" 2>/dev/null
home=$(cluster_setting "$dir" HOME_DIR)
port=$(cluster_setting "$dir" PORT)
log=$home/server.log
super_sql() { as_owner psql -X -q -tA -v ON_ERROR_STOP=1 -h "$home/sock" -p "$port" "$@"; }
super_sql -d postgres >/dev/null <<'EOF'
ALTER SYSTEM SET log_statement = 'all';
SELECT pg_reload_conf();
CREATE ROLE site_admin LOGIN PASSWORD 'admin-pw' CREATEROLE;
CREATE DATABASE site_clash OWNER site_admin;
CREATE DATABASE site_env OWNER site_admin;
CREATE DATABASE site_prompt OWNER site_admin;
CREATE DATABASE site_backslash OWNER site_admin;
CREATE ROLE verifier_probe LOGIN;
EOF
super_sql -d site_clash -c 'create table vexa_subsystemList (n integer)'
[ "$(super_sql -d postgres -c 'show log_statement')" = all ] || fail "the server does not log every statement"
conninfo() { echo "host=127.0.0.1 port=$port dbname=$1 user=site_admin password=admin-pw"; }
logs_in() {
  PGPASSWORD=$2 psql -X -q -tA "postgresql://$1@127.0.0.1:$port/postgres" -c 'select 1' >/dev/null 2>&1
}
# kept_secret PASSWORD: neither the server's log nor what install said
# holds it.
kept_secret() {
  ! grep -q -F -- "$1" "$log" || fail "the server's log holds the password $1: $(grep -F -- "$1" "$log")"
  ! grep -q -F -- "$1" "$sandbox/said" || fail "install said the password $1"
}

# A failed install: the load fails after the account was created.
status=0
FERRULE_ACCOUNT_PASSWORD=failed-install-secret-7f3a \
  "$db" install "$(conninfo site_clash)" lib_failed >"$sandbox/said" 2>&1 </dev/null || status=$?
[ "$status" = 1 ] || fail "install into site_clash exited $status: $(cat "$sandbox/said")"
grep -q 'nothing was installed' "$sandbox/said" || fail "install into site_clash said: $(cat "$sandbox/said")"
kept_secret failed-install-secret-7f3a

# Successful installs, the password in the environment and at the prompt.
FERRULE_ACCOUNT_PASSWORD=env-install-secret-91c2 \
  "$db" install "$(conninfo site_env)" lib_env >"$sandbox/said" 2>&1 </dev/null ||
  fail "install into site_env failed: $(cat "$sandbox/said")"
kept_secret env-install-secret-91c2
logs_in lib_env env-install-secret-91c2 || fail "lib_env cannot log in with its password"
(unset FERRULE_ACCOUNT_PASSWORD
 echo prompt-install-secret-04be | "$db" install "$(conninfo site_prompt)" lib_prompt >"$sandbox/said" 2>&1) ||
  fail "install into site_prompt failed: $(cat "$sandbox/said")"
kept_secret prompt-install-secret-04be
logs_in lib_prompt prompt-install-secret-04be || fail "lib_prompt cannot log in with its password"
logs_in lib_prompt wrong-password && fail "lib_prompt logs in with a wrong password"
[ "$(super_sql -d postgres -c "select rolpassword like 'SCRAM-SHA-256\$4096:%' from pg_authid where rolname = 'lib_env'")" = t ] ||
  fail "lib_env's password is no SCRAM-SHA-256 verifier"
echo "scripts/db: install sends the server no password, and the account logs in with it"

# The verifier of passwords that SASLprep maps (a no-break space, a soft
# hyphen, a decomposed letter, a ligature), leaves, or gives up on (not
# UTF-8, private use, mixed directions, unassigned in Unicode 3.2): each
# logs in with libpq, which prepares the password it sends the same way.
for password in plain-ascii "it's \$ \\ \"quoted\"" $'p\xc3\xa4ss' $'pa\xcc\x88ss' $'a\xc2\xa0b' \
                $'a\xc2\xadb' $'\xef\xac\x81x' $'bad\xff\xfe' $'priv\xee\x80\x80' \
                $'\xd7\x90\xd7\x91' $'\xd7\x90a\xd7\x91' $'\xe2\x80\x8bzw' $'\xc3\xa9\xcd\xb8'; do
  verifier=$(printf '%s' "$password" | perl "$repo/scripts/db-lib/scram_verifier.pl")
  super_sql -d postgres -c "alter role verifier_probe password '$verifier'"
  logs_in verifier_probe "$password" || fail "the verifier of $(printf '%q' "$password") does not let it log in"
done
echo "scripts/db: the verifier is the one libpq logs in with"

# A checkout whose path holds a backslash sequence, which psql would read
# as an escape inside a \i path.
checkout=$sandbox/'a\tb\\c'
mkdir "$checkout"
cp -r "$repo/scripts" "$repo/database" "$checkout/"
"$checkout/scripts/db" install "$(conninfo site_backslash)" >"$sandbox/said" 2>&1 </dev/null ||
  fail "install from $checkout failed: $(cat "$sandbox/said")"
[ "$(super_sql -d site_backslash -c "select to_regclass('vexa_lg_devices') is not null")" = t ] ||
  fail "install from $checkout made no tables"
echo "scripts/db: install works from a checkout whose path holds a backslash"
