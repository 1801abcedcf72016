# shellcheck shell=bash
# Sourced by scripts/db: how long each of its waits may last, and the
# runners that hold a command to its bound and say in a sentence when the
# bound was reached. A command stopped at its bound leaves what it was doing
# undone: every statement scripts/db sends runs in a transaction of its own
# (install's all in one), which the server rolls back when the client goes.

WAIT_LOCK=120    # another scripts/db working on the same DIR
WAIT_CONNECT=10  # a server to accept a connection and answer the login
WAIT_SERVER=60   # a server to start, or to stop
WAIT_TABLES=60   # a table or role that another session holds locked
WAIT_WORK=300    # initdb, loading database/, one statement, a whole
                 # install, and the prompt for install's password
# What reset waits for a table that another session holds locked:
# ferrule_reset() sets this lock_timeout for itself (database/06_reset.sql),
# in place of the session's, so FERRULE_DB_WAIT_LIMIT does not lower it.
WAIT_RESET_TABLES=10

# FERRULE_DB_WAIT_LIMIT, a number of seconds, lowers every bound above it
# to that number: the tests use it to reach the bounds quickly.
limit_waits() {
  local limit=${FERRULE_DB_WAIT_LIMIT:-} name
  [ -n "$limit" ] || return 0
  case $limit in
    *[!0-9]* | 0*) die "FERRULE_DB_WAIT_LIMIT must be a positive number of seconds, not '$limit'" ;;
  esac
  for name in WAIT_LOCK WAIT_CONNECT WAIT_SERVER WAIT_TABLES WAIT_WORK; do
    [ "${!name}" -le "$limit" ] || printf -v "$name" %s "$limit"
  done
}
limit_waits
# A whole psql run: its login, then its work.
WAIT_SESSION=$((WAIT_CONNECT + WAIT_WORK))

# bounded SECONDS COMMAND...: the command, killed when it runs longer; its
# status is then 124 (or 137 when it had to be killed hard).
bounded() {
  local seconds=$1
  shift
  timeout -k 5 "$seconds" "$@"
}

# The options that bound a psql session's waits on a server that answers:
# each statement, and each lock it waits for (libpq's PGOPTIONS; the login
# is bounded by PGCONNECT_TIMEOUT=$WAIT_CONNECT).
psql_options() {
  echo "-c statement_timeout=${WAIT_WORK}s -c lock_timeout=${WAIT_TABLES}s"
}

# talk WHAT COMMAND...: runs a command that talks to a server (psql, in
# the end), its output on standard output. When it fails, says why in a
# sentence that begins with WHAT (which names the cluster or the server):
# the bound it reached, or else the server's own words; and returns 1 (the
# caller says what that leaves).
talk() {
  local what=$1 said status=0
  shift
  { said=$("$@" 2>&1 >&3 3>&-); } 3>&1 || status=$?
  if [ "$status" = 0 ]; then
    [ -z "$said" ] || printf '%s\n' "$said" >&2
    return 0
  fi
  case $status:$said in
    124:* | 137:*)
      say "$what: no answer from the server within $WAIT_SESSION s (it may be frozen or overloaded)" ;;
    *'timeout expired'*)
      say "$what: the server did not answer within $WAIT_CONNECT s (it may be frozen or overloaded)" ;;
    *'canceling statement due to lock timeout'*)
      say "$what: gave up after waiting $WAIT_TABLES s for what another session holds locked" ;;
    *'canceling statement due to statement timeout'*)
      say "$what: a statement ran longer than $WAIT_WORK s and was cancelled" ;;
    *)
      [ -z "$said" ] || printf '%s\n' "$said" >&2
      say "$what: failed" ;;
  esac
  return 1
}
