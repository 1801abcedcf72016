# shellcheck shell=bash
# Sourced by scripts/db: install, the deployment into a database of the
# site's own server. No cluster of scripts/db's is involved.
#
# The server is sent a new account's SCRAM-SHA-256 verifier, never its
# password: no server log, statistics view or error message can hold the
# password. libpq's PQencryptPasswordConn makes the verifier, in
# scram_verifier.c, which install compiles for the run (cc, with libpq's
# headers and library as pg_config names them) into a folder of its own
# under TMPDIR, and removes again once it ran. The password reaches that
# program on its standard input, and is in no command line, nor in the
# environment of psql.
#
# Nothing commits unless install, still running, says so last: psql reads
# every statement from install through a pipe (the SQL files by their
# paths, given in psql variables, which psql reads as they are whatever
# characters the checkout's path holds), in a transaction that install
# opens, and says on its standard output when it has run them all; only
# then does install send it COMMIT. An install that ends before (killed by
# its pid, say) leaves psql with the end of its input and an open
# transaction: psql stops, and the server rolls the transaction back.
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

# A connect_timeout that CONNINFO sets (as keyword=value, or in a URI's
# parameters) overrides PGCONNECT_TIMEOUT: the login waits that long
# instead, at least 2 s (libpq's minimum), and the sentences say so. With
# 0 or less libpq sets no bound of its own, and timeout(1) ends the run.
use_conninfo_connect_timeout() {
  local pattern="(^|[[:space:]?&])connect_timeout[[:space:]]*=[[:space:]]*'?([0-9]+)"
  [[ $CONNINFO =~ $pattern ]] || return 0
  local seconds=$((10#${BASH_REMATCH[2]}))
  [ "$seconds" -gt 0 ] || return 0
  [ "$seconds" -ge 2 ] || seconds=2
  WAIT_CONNECT=$seconds
  WAIT_SESSION=$((WAIT_CONNECT + WAIT_WORK))
}

# scram_verifier ACCOUNT PASSWORD: prints the password's verifier, made by
# scram_verifier.c; run in a subshell of its own, which removes the
# program's folder whatever ends it but SIGKILL. Says why when it fails.
scram_verifier() {
  local account=$1 password=$2 pg_config include lib status=0
  pg_config=$(command -v pg_config || echo "$PGBIN/pg_config")
  if ! command -v cc >/dev/null || [ ! -x "$pg_config" ] ||
     ! include=$("$pg_config" --includedir) || [ ! -f "$include/libpq-fe.h" ] ||
     ! lib=$("$pg_config" --libdir); then
    say "install: making the new account's verifier needs a C compiler (cc) and libpq's headers (libpq-dev), as building the library does (run scripts/setup)"
    return 1
  fi
  # Global, for the trap that runs once the function returned.
  VERIFIER_WORK=$(mktemp -d "${TMPDIR:-/tmp}/ferrule-install.XXXXXX") || return 1
  trap 'rm -rf -- "$VERIFIER_WORK"' EXIT
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM
  if ! timeout -k 5 "$WAIT_WORK" cc -O2 -I"$include" "$PARTS/scram_verifier.c" -L"$lib" -Wl,-rpath,"$lib" -lpq \
         -o "$VERIFIER_WORK/scram_verifier" 2>"$VERIFIER_WORK/cc.out"; then
    cat "$VERIFIER_WORK/cc.out" >&2
    say "install: $PARTS/scram_verifier.c did not compile (within $WAIT_WORK s)"
    return 1
  fi
  printf '%s' "$password" |
    env -u FERRULE_ACCOUNT_PASSWORD \
      timeout -k 5 "$WAIT_WORK" "$VERIFIER_WORK/scram_verifier" "$account" || status=$?
  return "$status"
}

# load_in_one_transaction STATEMENTS ARGS...: psql with ARGS runs the
# statements (and the files they name) in one transaction, and commits it
# when it ran them all without an error. The COMMIT is written here, in
# install's own process, once psql said so; waiting for that, install waits
# as long as psql may run (timeout(1) ends it). Returns psql's status (that
# of talk), or 1 when it ended without running them all.
load_in_one_transaction() {
  local statements=$1 marker='ferrule install: every statement ran' line='' ran=0 status=0
  shift
  coproc LOAD { install_psql install "$@" -o /dev/null -f -; }
  local to_psql=${LOAD[1]} from_psql=${LOAD[0]} pid=$LOAD_PID
  # A psql that ended (a failed login, say) closed its input: writing to it
  # fails, and its status says why.
  trap '' PIPE
  printf 'BEGIN;\n%s\n\\echo %s\n' "$statements" "$marker" 1>&"$to_psql" 2>/dev/null || true
  while IFS= read -r -u "$from_psql" line; do
    if [ "$line" = "$marker" ]; then
      echo 'COMMIT;' 1>&"$to_psql" 2>/dev/null && ran=1
      break
    fi
  done
  exec {to_psql}>&- {from_psql}<&-
  trap - PIPE
  wait "$pid" || status=$?
  [ "$status" != 0 ] || [ "$ran" = 1 ] || status=1
  return "$status"
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
  use_conninfo_connect_timeout

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
  # Any other password is stored as libpq prepares it, and logs in.
  local password='' verifier='' status=0
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
    verifier=$(scram_verifier "$account" "$password") || status=$?
    password=''
    if [ "$status" != 0 ] || [ -z "$verifier" ]; then
      die "install: the password's verifier could not be computed; $nothing"
    fi
  fi

  # One transaction, the account's creation and grants in it: a failure
  # leaves the database and the server's roles as they were (PostgreSQL
  # rolls back CREATE ROLE and GRANT with the rest). The connecting account
  # becomes a member of the account, for SET ROLE, and stays one. The
  # verifier reaches psql on its standard input. An account dropped since
  # it was found has no password to be created with: the install fails.
  local args=() i statements
  for i in "${!files[@]}"; do args+=(-v "file$i=${files[i]}"); done
  statements=$(
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
    for i in "${!files[@]}"; do printf '\\i :file%s\n' "$i"; done
  )
  load_in_one_transaction "$(session_bounds)"$'\n'"$statements" -v acct="$account" "${args[@]}" ||
    die "installing $SQL_DIR failed; $nothing"
  say "installed ${#files[@]} files of $SQL_DIR${account:+, owned by $account}"
}
