# shellcheck shell=bash
# Sourced by scripts/db: install, the deployment into a database of the
# site's own server. No cluster of scripts/db's is involved.

cmd_install() {
  local conninfo=$1 account=${2:-}
  local PSQL=psql
  [ -x "$PGBIN/psql" ] && PSQL=$PGBIN/psql
  command -v "$PSQL" >/dev/null || die "psql is not installed (run scripts/setup)"
  local files=("$SQL_DIR"/[0-9]*.sql)
  [ -f "${files[0]}" ] || die "no SQL files in $SQL_DIR"

  # Whether the tables are there already, and whether ACCOUNT exists.
  local found taken account_exists
  found=$("$PSQL" "$conninfo" -X -q -tA -F ' ' -v ON_ERROR_STOP=1 -v acct="$account" <<'EOF'
SELECT to_regclass('vexa_lg_devices') IS NOT NULL OR EXISTS (SELECT 1 FROM pg_namespace
         WHERE nspname IN ('vexa_configuration_dev', 'routingtable_pck', 'pathqueries_pck')),
       EXISTS (SELECT 1 FROM pg_roles WHERE rolname = :'acct');
EOF
  ) || die "cannot connect with the connection string given"
  read -r taken account_exists <<<"$found"
  [ "$taken" = f ] ||
    die "the database already holds the ferrule tables; install loads into an empty database"

  # A password only for an account to be created, and never an empty one,
  # of which PostgreSQL would make a login account without a password.
  local password=''
  if [ -n "$account" ] && [ "$account_exists" = t ]; then
    say "the account $account exists: its password is left as it is"
  elif [ -n "$account" ]; then
    password=${FERRULE_ACCOUNT_PASSWORD:-}
    if [ -z "$password" ]; then
      say "password of the new account $account:"
      IFS= read -r -s password || true
    fi
    [ -n "$password" ] ||
      die "refusing an empty password for the new account $account; nothing was installed"
  fi

  # One transaction, the account's creation and grants in it: a failure
  # leaves the database and the server's roles as they were (PostgreSQL
  # rolls back CREATE ROLE and GRANT with the rest). The connecting account
  # becomes a member of the account, for SET ROLE, and stays one. The
  # password reaches psql through its environment, never its command line.
  # An account dropped since it was found has no password to be created
  # with: the install fails.
  local f
  {
    echo 'BEGIN;'
    if [ -n "$account" ]; then
      cat <<'EOF'
\getenv pw FERRULE_ACCOUNT_PASSWORD
SET client_min_messages = warning;
SELECT NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = :'acct') AS create_role,
       :'pw' <> '' AS has_password,
       current_user <> :'acct' AS other_role, current_database() AS db \gset
\if :create_role
\if :has_password
CREATE ROLE :"acct" LOGIN PASSWORD :'pw';
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
    for f in "${files[@]}"; do printf "\\i '%s'\n" "${f//\'/\'\'}"; done
    echo 'COMMIT;'
  } | FERRULE_ACCOUNT_PASSWORD=$password "$PSQL" "$conninfo" -X -q -v ON_ERROR_STOP=1 \
        -v acct="$account" >/dev/null ||
    die "installing $SQL_DIR failed; nothing was installed${account:+, created or granted}"
  say "installed ${#files[@]} files of $SQL_DIR${account:+, owned by $account}"
}
