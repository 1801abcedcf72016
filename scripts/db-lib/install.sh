# shellcheck shell=bash
# Sourced by scripts/db: install, the deployment into a database of the
# site's own server. No cluster of scripts/db's is involved.
#
# The server is sent a new account's SCRAM-SHA-256 verifier, computed here
# (scram_verifier.pl), never its password: no server log, statistics view
# or error message can hold the password. The password reaches the helper
# on its standard input, and is in no command line, nor in the environment
# of psql. The SQL files are given to psql by their paths (-f), which psql
# reads as they are, whatever characters the checkout's path holds.
#
# Every wait is bounded: the login by PGCONNECT_TIMEOUT (unless CONNINFO
# sets connect_timeout), each statement and each lock it waits for on the
# server by statement_timeout and lock_timeout, set in the session, and the
# whole of each psql run by timeout(1), for a server that stops answering.

# install_psql WHAT ARGS...: psql on CONNINFO with the waits bounded, and
# without the password's variable; WHAT begins the sentence said when it
# fails.
install_psql() {
  local what=$1
  shift
  talk "$what" env -u FERRULE_ACCOUNT_PASSWORD "PGCONNECT_TIMEOUT=$WAIT_CONNECT" \
    timeout -k 5 "$WAIT_SESSION" "$PSQL" "$CONNINFO" -X -q -v ON_ERROR_STOP=1 "$@"
}

# The session's own bounds, as the first lines of each psql run's input.
session_bounds() {
  echo 'SET client_min_messages = warning;'
  echo "SET statement_timeout = '${WAIT_WORK}s';"
  echo "SET lock_timeout = '${WAIT_TABLES}s';"
  echo 'RESET client_min_messages;'
}

# The verifier of the password on standard input.
scram_verifier() {
  perl -e 'use Digest::SHA; use MIME::Base64; use Encode; use Unicode::Normalize;' 2>/dev/null ||
    die "install: perl with Digest::SHA is needed to send the server only the password's verifier (run scripts/setup); nothing was installed"
  perl "$PARTS/scram_verifier.pl"
}

cmd_install() {
  CONNINFO=$1
  local account=${2:-}
  PSQL=psql
  [ -x "$PGBIN/psql" ] && PSQL=$PGBIN/psql
  command -v "$PSQL" >/dev/null || die "psql is not installed (run scripts/setup)"
  local files=("$SQL_DIR"/[0-9]*.sql)
  [ -f "${files[0]}" ] || die "no SQL files in $SQL_DIR"
  local nothing="nothing was installed${account:+, created or granted}"

  # Whether the tables are there already, and whether ACCOUNT exists.
  local found taken account_exists
  found=$({ session_bounds; cat <<'EOF'; } | install_psql install -tA -F ' ' -v acct="$account"
SELECT to_regclass('vexa_lg_devices') IS NOT NULL OR EXISTS (SELECT 1 FROM pg_namespace
         WHERE nspname IN ('vexa_configuration_dev', 'routingtable_pck', 'pathqueries_pck')),
       EXISTS (SELECT 1 FROM pg_roles WHERE rolname = :'acct');
EOF
  ) || die "cannot connect with the connection string given, or it did not answer; $nothing"
  read -r taken account_exists <<<"$found"
  [ "$taken" = f ] ||
    die "the database already holds the ferrule tables; install loads into an empty database"

  # A password only for an account to be created, and never an empty one,
  # of which PostgreSQL would make a login account without a password.
  local password='' verifier=''
  if [ -n "$account" ] && [ "$account_exists" = t ]; then
    say "the account $account exists: its password is left as it is"
  elif [ -n "$account" ]; then
    password=${FERRULE_ACCOUNT_PASSWORD:-}
    unset FERRULE_ACCOUNT_PASSWORD
    if [ -z "$password" ]; then
      say "password of the new account $account:"
      IFS= read -r -s -t "$WAIT_WORK" password || true
    fi
    [ -n "$password" ] ||
      die "refusing an empty password for the new account $account (or none was typed within $WAIT_WORK s); $nothing"
    verifier=$(printf '%s' "$password" | scram_verifier) ||
      die "install: the password's verifier could not be computed; $nothing"
    password=''
  fi

  # One transaction, the account's creation and grants in it: a failure
  # leaves the database and the server's roles as they were (PostgreSQL
  # rolls back CREATE ROLE and GRANT with the rest). The connecting account
  # becomes a member of the account, for SET ROLE, and stays one. The
  # verifier reaches psql on its standard input. An account dropped since
  # it was found has no password to be created with: the install fails.
  local args=() f
  for f in "${files[@]}"; do args+=(-f "$f"); done
  {
    session_bounds
    if [ -n "$account" ]; then
      printf "\\\\set verifier '%s'\n" "$verifier"
      cat <<'EOF'
SET client_min_messages = warning;
SELECT NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = :'acct') AS create_role,
       :'verifier' <> '' AS has_password,
       current_user <> :'acct' AS other_role, current_database() AS db \gset
\if :create_role
\if :has_password
CREATE ROLE :"acct" LOGIN PASSWORD :'verifier';
\else
DO $$BEGIN RAISE EXCEPTION 'the account was dropped while install ran: no password to create it with'; END$$;
\endif
\endif
\if :other_role
GRANT :"acct" TO CURRENT_USER;
\endif
GRANT CONNECT, CREATE ON DATABASE :"db" TO :"acct";
GRANT USAGE, CREATE ON SCHEMA public TO :"acct";
RESET client_min_messages;
SET ROLE :"acct";
EOF
    fi
  } | install_psql install -v acct="$account" -1 -f - "${args[@]}" >/dev/null ||
    die "installing $SQL_DIR failed; $nothing"
  say "installed ${#files[@]} files of $SQL_DIR${account:+, owned by $account}"
}
