# shellcheck shell=bash
# Sourced by scripts/db: the cluster's creation, and the server's start and
# stop.
#
# Creation: initdb with UTF8 and the C.UTF-8 locale (texts compare byte by
# byte), the server listening on 127.0.0.1 on a free port and on a socket in
# home/sock, password login (scram-sha-256) over TCP for the account
# "ferrule" with a generated password, one database "ferrule" owned by that
# account, and the files database/[0-9]*.sql loaded into it in name order.
# Local socket connections use peer authentication and are for this script.
# The durability settings are given at each start, on the server's command
# line: a start without --throwaway restarts a cluster that runs without
# them, after writing to disk what such a run left in memory. The database
# also gets the extensions pgtap and plpgsql_check (schema tap) for the
# tests of the server package, when their packages are installed. The
# server log holds the values of failing statements, so it is readable by
# its owner only, like cluster.env.
#
# Run as root (as CI does), initdb and the server run as the system user
# postgres, which owns the data; else everything runs as the calling user.
# Every wait is bounded (waits.sh).

# Runs a command as the owner of the cluster, from a folder it can read.
# The lock (fd 9) is closed for it: a server started through it would
# otherwise hold the lock for as long as it runs.
as_owner() {
  if [ "$IS_ROOT" = 1 ]; then
    (cd / && exec setpriv --reuid="$PGSYSUSER" --regid="$PGSYSUSER" --init-groups -- "$@" 9>&-)
  else
    (cd / && exec "$@" 9>&-)
  fi
}

data_dir() { echo "$HOME_DIR/data"; }

# One hash over the names and contents of the SQL files, in load order.
sql_hash() {
  (cd "$SQL_DIR" && sha256sum [0-9]*.sql) | sha256sum | cut -c1-64
}

# The server log, created for its owner only (pg_ctl appends to it and keeps
# its mode). A log left readable by an older checkout is closed too.
prepare_log() {
  local log=$HOME_DIR/server.log
  (umask 077 && touch "$log")
  chmod 600 "$log"
  if [ "$IS_ROOT" = 1 ]; then chown "$PGSYSUSER:$PGSYSUSER" "$log"; fi
}

# Whether a server runs from the data of the cluster's home (running.sh).
running() {
  server_pid "$(data_dir)" >/dev/null
}

# What this user can tell of DIR's cluster, for status, stop and remove: 0
# when a server runs from the data of a home of DIR's that scripts/db made,
# whatever DIR's records say (HOME_DIR is then that home, PORT the server's
# port); 3 when none does (or DIR holds no cluster of scripts/db's); 4 when
# this user cannot tell, with the reason in WHY: another user's cluster, a
# home this user cannot look into, or the records of another path's cluster
# (a server of which may run from that path's home). With 3, MOVED_DATA
# says where servers started on the data of DIR's homes run now.
WHY=''
cluster_state() {
  local origin home status
  if [ -e "$SETTINGS" ] && [ ! -r "$SETTINGS" ]; then
    WHY="this user cannot read $SETTINGS: a server of its cluster may be running, which this user cannot check or stop (its owner can)"
    return 4
  fi
  dir_homes
  if foreign_owner; then
    WHY="$(foreign_cluster): a server of it may be running, which this user cannot check or stop (its owner can)"
    return 4
  fi
  for home in "${HOMES[@]}"; do
    [ -e "$home" ] || continue
    made_home "$home" || { [ -x "$home" ] && continue; }
    status=0
    if [ -x "$home" ]; then server_pid "$home/data" >/dev/null || status=$?; else status=2; fi
    case $status in
      0) HOME_DIR=$home; PORT=$(server_port "$home/data"); return 0 ;;
      1) ;;
      *)
        WHY="the data folder $home/data cannot be read by the account this user's servers run as: a server may be running from it, which this user cannot check or stop (its owner can)"
        return 4
        ;;
    esac
  done
  if origin=$(records_made_for); then
    WHY="$(moved_records "$origin"): a server of that cluster may be running, which cannot be checked or stopped through this folder; $(moved_hint "$origin")"
    return 4
  fi
  find_moved_servers
  return 3
}

# What status says of a cluster that runs (0) or does not (3).
status_words() {
  local origin
  if [ "$1" = 0 ]; then
    echo "running on 127.0.0.1:$PORT ($DIR)"
    if origin=$(records_made_for); then say "status: $(moved_records "$origin"); $(moved_hint "$origin")"; fi
  elif [ ${#MOVED_DATA[@]} -gt 0 ]; then
    echo "not running from $DIR: $(moved_server "${MOVED_DATA[0]}")"
  else
    echo "not running ($DIR)"
  fi
}

# Whether nothing answers on port $1 of 127.0.0.1 (a connection refused).
port_free() {
  local status=0
  # shellcheck disable=SC2016  # $1 is the inner shell's
  bounded 3 bash -c 'exec 3<>"/dev/tcp/127.0.0.1/$1"' _ "$1" 2>/dev/null || status=$?
  [ "$status" = 1 ]
}

# A port on 127.0.0.1 that nothing answers on. A port taken between this
# test and the server's start makes the start fail; start_server then tries
# another.
pick_port() {
  local p i
  for i in $(seq 1 50); do
    p=$(( 20000 + (RANDOM * 32768 + RANDOM) % 40000 ))
    if port_free "$p"; then
      echo "$p"
      return 0
    fi
  done
  die "no free port found"
}

# psql as the superuser over the cluster's socket, and as the library's
# account over TCP, each bounded: the login, each statement, each lock it
# waits for, and the whole session.
psql_super() {
  as_owner env "PGCONNECT_TIMEOUT=$WAIT_CONNECT" "PGOPTIONS=$(psql_options)" \
    timeout -k 5 "$WAIT_SESSION" "$PGBIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$HOME_DIR/sock" \
    -p "$PORT" "$@"
}

psql_user() {
  PGPASSWORD=$PASSWORD PGCONNECT_TIMEOUT=$WAIT_CONNECT PGOPTIONS=$(psql_options) \
    timeout -k 5 "$WAIT_SESSION" "$PGBIN/psql" -X -q \
    -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$PORT" -U "$DBUSER" -d "$DBNAME" "$@"
}

# What a sentence about this cluster, or its server, begins with.
cluster_of() { echo "$CMD: the cluster in $DIR"; }
server_of() { echo "$CMD: the server of the cluster in $DIR"; }

# The durability settings of a start. Without --throwaway, PostgreSQL's
# own: a commit is acknowledged once it is on disk.
durability_options() {
  local value=on
  [ "$THROWAWAY" = 1 ] && value=off
  echo "-c fsync=$value -c synchronous_commit=$value -c full_page_writes=$value"
}

# Whether the running server puts acknowledged commits on disk: t or f.
running_durable() {
  psql_super -d postgres -tA -c "select current_setting('fsync') = 'on' and
     current_setting('synchronous_commit') <> 'off' and current_setting('full_page_writes') = 'on'"
}

# Starts the server on $PORT; when the port turns out to be taken, on
# another free one, which the caller saves. Waits until it accepts
# connections. A durable start first writes to disk whatever an earlier run
# without fsync (or initdb --no-sync) left in memory only.
# A server that is not ready within the bound is stopped again.
start_server() {
  local tries
  prepare_log
  if [ "$THROWAWAY" = 0 ]; then
    as_owner timeout -k 5 "$WAIT_WORK" "$PGBIN/initdb" --sync-only -D "$(data_dir)" >/dev/null ||
      die "start: could not write the files of the cluster in $DIR to disk within $WAIT_WORK s"
  fi
  for tries in 1 2 3 4 5; do
    if as_owner "$PGBIN/pg_ctl" start -D "$(data_dir)" -l "$HOME_DIR/server.log" \
         -w -t "$WAIT_SERVER" -s -o "-p $PORT $(durability_options)" >/dev/null 2>&1; then
      return 0
    fi
    if running; then
      stop_unfinished_server
      die "$(server_of) was not ready within $WAIT_SERVER s, and was stopped again; see $HOME_DIR/server.log"
    fi
    if tail -n 20 "$HOME_DIR/server.log" 2>/dev/null |
         grep -q -e 'could not bind' -e 'could not create any TCP/IP sockets'; then
      PORT=$(pick_port)
      continue
    fi
    die "$(server_of) did not start; see $HOME_DIR/server.log"
  done
  die "$(server_of) did not start: no free port"
}

# stop_server MODE [LEFT]: a server that does not stop within the bound was
# asked to, and stops once it runs again; scripts/db says so (and LEFT, what
# that leaves undone) and leaves it. A server whose folder was renamed while
# it ran deletes its socket's lock file by the old path, and so leaves it
# behind, naming its pid, which may stay taken a while: the file goes here,
# or the next start would take it for a server that runs.
stop_server() {
  local pid lock first
  pid=$(server_pid "$(data_dir)") || pid=''
  as_owner "$PGBIN/pg_ctl" stop -D "$(data_dir)" -m "$1" -w -t "$WAIT_SERVER" -s >/dev/null 2>&1 ||
    die "$(server_of) did not stop within $WAIT_SERVER s (it may be frozen or overloaded); it was asked to stop, and will once it runs again${2:+; $2}"
  [ -n "$pid" ] || return 0
  for lock in "$HOME_DIR"/sock/.s.PGSQL.*.lock; do
    first=''
    { read -r first <"$lock"; } 2>/dev/null || true
    if [ "$first" = "$pid" ]; then rm -f -- "$lock"; fi
  done
}

# stop_found_server [LEFT]: stops the server that cluster_state found
# running. One whose data folder was renamed while it ran cannot write its
# shutdown checkpoint (it writes pg_control by the path it started on), and
# a fast stop would end it before it wrote out the commits it holds in
# memory (a throwaway cluster's): it is made to write out its log first (a
# switch to the next log file does), and is then stopped at once; the next
# start recovers those commits from the log.
stop_found_server() {
  local pid args=()
  pid=$(server_pid "$(data_dir)") || pid=''
  if [ -n "$pid" ] && { mapfile -d '' -t args <"/proc/$pid/cmdline"; } 2>/dev/null &&
       [ "${args[1]:-}" = -D ] && [ "${args[2]:-}" != "$(data_dir)" ]; then
    talk "$(server_of)" psql_super -d postgres -c 'SELECT pg_switch_wal()' >/dev/null || true
    stop_server immediate "$@"
  else
    stop_server fast "$@"
  fi
}

# A server left running from the data of a first start that did not finish
# (or that was not ready in time): stopped at once.
stop_unfinished_server() {
  if [ -f "$(data_dir)/postmaster.pid" ] && running; then
    as_owner "$PGBIN/pg_ctl" stop -D "$(data_dir)" -m immediate -w -t "$WAIT_SERVER" -s \
      >/dev/null 2>&1 || true
  fi
}

# A new cluster in DIR's home. What a failed first start left there (proven
# so by its record), it deletes; the data of a cluster that may have run,
# never (check_start refused it). A start that fails on the way stops the
# server it started and leaves its record: the next start begins afresh.
# A cluster.env of DIR's own whose data is gone (a home under /tmp that was
# cleared) gives way to the new cluster, with a line that says so.
create_cluster() {
  local data_gone=0
  [ -f "$SETTINGS" ] && data_gone=1
  plan_home
  claim_home
  refuse_ran_data "$HOME_DIR"
  local data=$HOME_DIR/data sock=$HOME_DIR/sock
  (umask 077 && printf '%s\n' "$DIR" >"$HOME_DIR/$UNFINISHED")
  trap stop_unfinished_server EXIT
  stop_unfinished_server
  rm -rf "$data" "$sock" "$HOME_DIR/server.log"
  rm -f "$SETTINGS" "$SQL_HASH_FILE"
  mkdir -p "$data" "$sock"
  chmod 700 "$data" "$sock"
  if [ "$IS_ROOT" = 1 ]; then
    chown "$PGSYSUSER:$PGSYSUSER" "$data" "$sock"
  fi

  local no_sync=()
  [ "$THROWAWAY" = 1 ] && no_sync=(--no-sync)
  as_owner timeout -k 5 "$WAIT_WORK" "$PGBIN/initdb" -D "$data" -E UTF8 --locale=C.UTF-8 \
    "${no_sync[@]}" --auth-local=peer --auth-host=scram-sha-256 >/dev/null ||
    die "start: initdb failed, or took longer than $WAIT_WORK s ($DIR)"

  local sock_quoted=${sock//\'/\'\'}
  as_owner tee -a "$data/postgresql.conf" >/dev/null <<EOF

# Settings of the ferrule cluster (scripts/db). The port and the
# durability settings are given at each start.
listen_addresses = '127.0.0.1'
unix_socket_directories = '$sock_quoted'
unix_socket_permissions = 0700
password_encryption = 'scram-sha-256'
EOF

  PORT=$(pick_port)
  PASSWORD=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  start_server

  # On standard input, so that the password shows in no command line.
  # pg_checkpoint lets the benchmarks begin a measurement right after a
  # checkpoint (bench/bench_routing.cpp); it reaches no data.
  talk "$(cluster_of)" psql_super -d postgres >/dev/null <<EOF ||
CREATE ROLE $DBUSER LOGIN PASSWORD '$PASSWORD';
GRANT pg_checkpoint TO $DBUSER;
CREATE DATABASE $DBNAME OWNER $DBUSER;
EOF
    die "start: the new cluster in $DIR was not made; the next start begins afresh"

  load_sql_files
  add_test_extensions

  # Written last: a cluster.env means a complete cluster; the record of an
  # unfinished first start goes only after it.
  save_settings
  rm -f "$HOME_DIR/$UNFINISHED"
  trap - EXIT
  if [ "$data_gone" = 1 ]; then
    say "the data of the cluster in $DIR was gone from $HOME_DIR: made a new, empty cluster"
  fi
}

# Loads database/ into the (empty) database and records its hash.
load_sql_files() {
  local files=("$SQL_DIR"/[0-9]*.sql)
  [ -f "${files[0]}" ] || die "no SQL files in $SQL_DIR"
  local args=() f hash
  hash=$(sql_hash)
  for f in "${files[@]}"; do args+=(-f "$f"); done
  talk "$(cluster_of)" psql_user -1 "${args[@]}" >/dev/null || die "loading $SQL_DIR failed ($DIR)"
  (umask 077 && echo "$hash" >"$SQL_HASH_FILE")
}

# The cluster holds the project's own schema: when database/ is not what it
# was loaded from (or the cluster predates the hash), the database is made
# again from it, so that no client or test runs against an old schema.
reload_if_changed() {
  local now
  now=$(sql_hash)
  if [ -f "$SQL_HASH_FILE" ] && [ "$(cat "$SQL_HASH_FILE")" = "$now" ]; then
    return 0
  fi
  rm -f "$SQL_HASH_FILE"
  talk "$(cluster_of)" psql_super -d postgres >/dev/null <<EOF ||
DROP DATABASE IF EXISTS $DBNAME WITH (FORCE);
CREATE DATABASE $DBNAME OWNER $DBUSER;
EOF
    die "database/ changed, and the database could not be made again; the next start tries again ($DIR)"
  load_sql_files
  say "database/ changed since the cluster was loaded: loaded it afresh ($DIR)"
}

# pgTAP and plpgsql_check in the test database, in a schema of their own,
# when their packages are installed. Creating an extension needs the
# superuser.
add_test_extensions() {
  local ext=/usr/share/postgresql/15/extension
  [ -f "$ext/pgtap.control" ] && [ -f "$ext/plpgsql_check.control" ] || return 0
  talk "$(cluster_of)" psql_super -d "$DBNAME" >/dev/null <<EOF ||
SET client_min_messages = warning;
CREATE SCHEMA IF NOT EXISTS tap;
GRANT USAGE ON SCHEMA tap TO $DBUSER;
CREATE EXTENSION IF NOT EXISTS pgtap SCHEMA tap;
CREATE EXTENSION IF NOT EXISTS plpgsql_check SCHEMA tap;
EOF
    die "the test extensions could not be added ($DIR)"
}

# Clusters made by earlier versions of this script turned durability off
# in postgresql.conf; the command line overrides that, and the lines go.
drop_old_durability_lines() {
  local conf
  conf=$(data_dir)/postgresql.conf
  if grep -q -e '^fsync = off$' -e '^synchronous_commit = off$' -e '^full_page_writes = off$' \
       "$conf" 2>/dev/null; then
    as_owner sed -i -e '/^fsync = off$/d' -e '/^synchronous_commit = off$/d' \
      -e '/^full_page_writes = off$/d' "$conf"
  fi
}

# Checks DIR and its home before it marks DIR and takes the lock, and again
# once it holds the lock; what it made until then, a refusal removes.
cmd_start() {
  check_start
  mark "$DIR" "$DIR_MADE"
  lock_cluster
  check_start
  begin_work
  if ! created; then
    # No cluster yet, what a failed first start left, or a settings file
    # without its data (the /tmp home was cleared, say).
    create_cluster
    say "created and started on 127.0.0.1:$PORT ($DIR)"
    return 0
  fi
  [ "$HOME_DIR" = "$DIR" ] || mark "$HOME_DIR"
  # A first start that completed, but ended before it removed its record.
  rm -f "$HOME_DIR/$UNFINISHED"
  drop_old_durability_lines
  if running; then
    local durable
    durable=$(talk "$(cluster_of)" running_durable) || die "start: the cluster was left as it was ($DIR)"
    if [ "$THROWAWAY" = 0 ] && [ "$durable" != t ]; then
      stop_server fast
      say "restarting with durable settings ($DIR)"
    elif [ "$THROWAWAY" = 1 ] && [ "$durable" = t ]; then
      # Whoever started it durable may rely on that: it is not restarted.
      say "runs already with durable settings: kept durable, not throwaway ($DIR)"
    fi
  fi
  if ! running; then
    local saved_port=$PORT
    port_free "$PORT" || PORT=$(pick_port)
    start_server
    [ "$PORT" = "$saved_port" ] || save_settings
    say "started on 127.0.0.1:$PORT ($DIR)"
  fi
  reload_if_changed
  add_test_extensions
}

# Stops the server that runs from DIR's data, whatever DIR's records say.
cmd_stop() {
  local state=0
  cluster_state || state=$?
  case $state in
    0) stop_found_server; say "stopped ($DIR)" ;;
    3) [ ${#MOVED_DATA[@]} -eq 0 ] || say "stop: nothing runs from $DIR; $(moved_server "${MOVED_DATA[0]}")" ;;
    4) cannot_tell "$WHY" ;;
  esac
}
