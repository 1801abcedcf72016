#!/usr/bin/env bash
# scripts/db install never sends the server a new account's password: with
# every statement logged (log_statement = 'all', which logs each text that
# pg_stat_activity shows), neither a failed nor a successful install leaves
# the password in the server's log or in what install says, and the account
# logs in with it. The verifier install stores is the one libpq logs in
# with, for passwords that SASLprep changes, maps to nothing, leaves, or
# gives up on. An install from a checkout whose path holds a backslash and
# a tab works. An install killed during the load commits nothing.
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

# Passwords that SASLprep maps (a no-break space, a soft hyphen, a
# decomposed letter, a ligature), maps to nothing at all (a soft hyphen
# alone, a byte-order mark and a soft hyphen, which libpq then uses as their
# bytes stand), leaves, or gives up on (not UTF-8, private use, mixed
# directions, unassigned in Unicode 3.2), and blank ones (a space, a
# no-break space): install stores a verifier that each logs in with through
# libpq, and the server's log holds none of them.
n=0
for password in plain-ascii "it's \$ \\ \"quoted\"" $'p\xc3\xa4ss' $'pa\xcc\x88ss' $'a\xc2\xa0b' \
                $'a\xc2\xadb' $'\xef\xac\x81x' $'\xc2\xad' $'\xef\xbb\xbf\xc2\xad' $'bad\xff\xfe' \
                $'priv\xee\x80\x80' $'\xd7\x90\xd7\x91' $'\xd7\x90a\xd7\x91' $'\xe2\x80\x8bzw' \
                $'\xc3\xa9\xcd\xb8' ' ' $'\xc2\xa0'; do
  n=$((n + 1))
  super_sql -d postgres -c "create database site_pw_$n owner site_admin"
  FERRULE_ACCOUNT_PASSWORD=$password \
    "$db" install "$(conninfo "site_pw_$n")" "lib_pw_$n" >"$sandbox/said" 2>&1 </dev/null ||
    fail "install with the password $(printf '%q' "$password") failed: $(cat "$sandbox/said")"
  # (A space is in any log.)
  [ "$password" = ' ' ] || kept_secret "$password"
  logs_in "lib_pw_$n" "$password" ||
    fail "install stored a password that $(printf '%q' "$password") does not log in with"
done
echo "scripts/db: install stores the verifier that libpq logs in with"

# A checkout whose path holds a backslash sequence, which psql would read
# as an escape inside a \i path, a tab, a space, a quote and a multibyte
# character: install loads it, and makes the new account's verifier.
checkout=$sandbox/$'a\\tb\\\\c\td e\'f \xc3\xa9'
mkdir "$checkout"
cp -r "$repo/scripts" "$repo/database" "$checkout/"
# The program that makes the verifier is compiled into a folder under
# TMPDIR, removed again.
tmp=$sandbox/$'tmp\tdir'
mkdir "$tmp"
FERRULE_ACCOUNT_PASSWORD=path-install-secret-5d1e TMPDIR=$tmp \
  "$checkout/scripts/db" install "$(conninfo site_backslash)" lib_path >"$sandbox/said" 2>&1 </dev/null ||
  fail "install from $checkout failed: $(cat "$sandbox/said")"
[ -z "$(ls -A "$tmp")" ] || fail "install left $(ls -A "$tmp") in TMPDIR"
[ "$(super_sql -d site_backslash -c "select to_regclass('vexa_lg_devices') is not null")" = t ] ||
  fail "install from $checkout made no tables"
logs_in lib_path path-install-secret-5d1e || fail "lib_path cannot log in with its password"
echo "scripts/db: install works from a checkout whose path holds a backslash, a tab and more"

# What an install changes: the account, its members, the privileges on the
# database and on public, the tables.
traces() {
  super_sql -d "$1" -c "select (select count(*) from pg_roles where rolname = '$2'),
    (select count(*) from pg_auth_members m join pg_roles r on r.oid = m.roleid where r.rolname = '$2'),
    (select datacl from pg_database where datname = current_database()),
    (select nspacl from pg_namespace where nspname = 'public'),
    (select count(*) from pg_class where relnamespace = 'public'::regnamespace)"
}

# An install whose verifier cannot be made (here, for want of a C
# compiler) stops before it made anything.
mkdir "$sandbox/shims"
printf '#!/bin/sh\necho "cc: not here" >&2\nexit 127\n' >"$sandbox/shims/cc"
chmod 755 "$sandbox/shims/cc"
super_sql -d postgres -c "create database site_nocc owner site_admin"
before=$(traces site_nocc lib_nocc)
status=0
PATH="$sandbox/shims:$PATH" FERRULE_ACCOUNT_PASSWORD=nocc-install-secret-8e41 \
  "$db" install "$(conninfo site_nocc)" lib_nocc >"$sandbox/said" 2>&1 </dev/null || status=$?
[ "$status" = 1 ] || fail "install without a compiler exited $status: $(cat "$sandbox/said")"
grep -q 'nothing was installed' "$sandbox/said" || fail "install without a compiler said: $(cat "$sandbox/said")"
[ "$(traces site_nocc lib_nocc)" = "$before" ] ||
  fail "install without a compiler left $(traces site_nocc lib_nocc), not $before"
echo "scripts/db: install without a compiler makes nothing"

# install killed during the load, by its pid (SIGTERM, SIGKILL) or with
# its process group (SIGTERM, as a terminal's Ctrl-C reaches every process
# of it), commits nothing: no table, account, membership or privilege, and
# once its psql notices, no session of it is left. A session of the test
# holds the database's row (a change of its privileges, not committed), so
# that install's grant on the database waits for it, after the account was
# created; the test kills install then, and ends its own transaction.
#
# within SECONDS COMMAND...: polls until the command succeeds; 1 when it
# never did within the bound.
within() {
  local i
  for ((i = 0; i < $1 * 10; i++)); do
    "${@:2}" && return 0
    sleep 0.1
  done
  return 1
}
answers_true() { [ "$(super_sql -d postgres -c "$1")" = t ]; }
killed_install() {
  local how=$1 signal=$2 database=site_kill_$1 account=lib_kill_$1 before holder pid status=0
  super_sql -d postgres -c "create database $database owner site_admin"
  before=$(traces "$database" "$account")
  rm -f "$sandbox/hold" && mkfifo "$sandbox/hold"
  super_sql -d postgres <"$sandbox/hold" >"$sandbox/held" &
  holder=$!
  exec 7>"$sandbox/hold"
  printf 'begin;\nrevoke temporary on database %s from public;\n\\echo held\n' "$database" >&7
  within 30 grep -q held "$sandbox/held" || fail "the test's session holds nothing"
  FERRULE_ACCOUNT_PASSWORD=kill-install-secret-2b7c \
    setsid "$db" install "$(conninfo "$database")" "$account" >"$sandbox/said" 2>&1 </dev/null 7>&- &
  pid=$!
  within 30 answers_true "select exists (select 1 from pg_stat_activity where datname = '$database'
                   and usename = 'site_admin' and wait_event_type = 'Lock')" ||
    fail "install into $database never waited for the test's session: $(cat "$sandbox/said")"
  case $how in
    group) kill "-$signal" -- "-$pid" ;;
    *) kill "-$signal" "$pid" ;;
  esac
  wait "$pid" 2>/dev/null || status=$?
  [ "$status" -gt 128 ] || fail "install into $database, sent SIG$signal, exited $status"
  echo 'rollback;' >&7
  exec 7>&-
  wait "$holder"
  within 30 answers_true "select not exists (select 1 from pg_stat_activity where datname = '$database'
                   and usename = 'site_admin')" ||
    fail "a session of the install killed ($how, SIG$signal) is left"
  [ "$(traces "$database" "$account")" = "$before" ] ||
    fail "install killed ($how, SIG$signal) left $(traces "$database" "$account"), not $before"
}
killed_install term TERM
killed_install kill KILL
killed_install group TERM
echo "scripts/db: install killed during the load commits nothing"
