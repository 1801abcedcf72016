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

running() {
  as_owner "$PGBIN/pg_ctl" status -D "$(data_dir)" >/dev/null 2>&1
}

# A port on 127.0.0.1 that nothing answers on. A port taken between this
# test and the server's start makes the start fail; start_server then tries
# another.
pick_port() {
  local p i
  for i in $(seq 1 50); do
    p=$(( 20000 + (RANDOM * 32768 + RANDOM) % 40000 ))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then
      echo "$p"
      return 0
    fi
  done
  die "no free port found"
}

psql_super() {
  as_owner "$PGBIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$HOME_DIR/sock" \
    -p "$PORT" "$@"
}

psql_user() {
  PGPASSWORD=$PASSWORD PGCONNECT_TIMEOUT=10 "$PGBIN/psql" -X -q \
    -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$PORT" -U "$DBUSER" -d "$DBNAME" "$@"
}

# The durability settings of a start. Without --throwaway, PostgreSQL's
# own: a commit is acknowledged once it is on disk.
durability_options() {
  local value=on
  [ "$THROWAWAY" = 1 ] && value=off
  echo "-c fsync=$value -c synchronous_commit=$value -c full_page_writes=$value"
}

# Whether the running server puts acknowledged commits on disk.
running_durable() {
  [ "$(psql_super -d postgres -tA -c "select current_setting('fsync') = 'on' and
     current_setting('synchronous_commit') <> 'off' and current_setting('full_page_writes') = 'on'")" = t ]
}

# Starts the server on $PORT; when the port turns out to be taken, on
# another free one, which the caller saves. Waits until it accepts
# connections. A durable start first writes to disk whatever an earlier run
# without fsync (or initdb --no-sync) left in memory only.
start_server() {
  local tries
  prepare_log
  if [ "$THROWAWAY" = 0 ]; then
    as_owner "$PGBIN/initdb" --sync-only -D "$(data_dir)" >/dev/null ||
      die "could not write the cluster's files to disk"
  fi
  for tries in 1 2 3 4 5; do
    if as_owner "$PGBIN/pg_ctl" start -D "$(data_dir)" -l "$HOME_DIR/server.log" \
         -w -t 60 -s -o "-p $PORT $(durability_options)" >/dev/null; then
      return 0
    fi
    if tail -n 20 "$HOME_DIR/server.log" 2>/dev/null |
         grep -q -e 'could not bind' -e 'could not create any TCP/IP sockets'; then
      PORT=$(pick_port)
      continue
    fi
    die "the server did not start; see $HOME_DIR/server.log"
  done
  die "the server did not start: no free port"
}

stop_server() {
  as_owner "$PGBIN/pg_ctl" stop -D "$(data_dir)" -m "$1" -w -s >/dev/null
}

# A server left running from the data of a first start that did not finish.
stop_unfinished_server() {
  if [ -f "$(data_dir)/postmaster.pid" ] && running; then stop_server immediate || true; fi
}

# A new cluster in DIR's home, after what an earlier cluster of DIR or a
# failed first start left there (proven its own by the mark). A start that
# fails on the way stops the server it started; the next start begins
# afresh.
create_cluster() {
  choose_home
  claim_home
  local data=$HOME_DIR/data sock=$HOME_DIR/sock
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
  as_owner "$PGBIN/initdb" -D "$data" -E UTF8 --locale=C.UTF-8 "${no_sync[@]}" \
    --auth-local=peer --auth-host=scram-sha-256 >/dev/null ||
    die "initdb failed"

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
  trap stop_unfinished_server EXIT
  start_server

  # On standard input, so that the password shows in no command line.
  # pg_checkpoint lets the benchmarks begin a measurement right after a
  # checkpoint (bench/bench_routing.cpp); it reaches no data.
  psql_super -d postgres >/dev/null <<EOF
CREATE ROLE $DBUSER LOGIN PASSWORD '$PASSWORD';
GRANT pg_checkpoint TO $DBUSER;
CREATE DATABASE $DBNAME OWNER $DBUSER;
EOF

  load_sql_files
  add_test_extensions

  # Written last: a cluster.env means a complete cluster.
  save_settings
  trap - EXIT
}

# Loads database/ into the (empty) database and records its hash.
load_sql_files() {
  local files=("$SQL_DIR"/[0-9]*.sql)
  [ -f "${files[0]}" ] || die "no SQL files in $SQL_DIR"
  local args=() f hash
  hash=$(sql_hash)
  for f in "${files[@]}"; do args+=(-f "$f"); done
  psql_user -1 "${args[@]}" >/dev/null || die "loading $SQL_DIR failed"
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
  psql_super -d postgres >/dev/null <<EOF
DROP DATABASE IF EXISTS $DBNAME WITH (FORCE);
CREATE DATABASE $DBNAME OWNER $DBUSER;
EOF
  load_sql_files
  say "database/ changed since the cluster was loaded: loaded it afresh ($DIR)"
}

# pgTAP and plpgsql_check in the test database, in a schema of their own,
# when their packages are installed. Creating an extension needs the
# superuser.
add_test_extensions() {
  local ext=/usr/share/postgresql/15/extension
  [ -f "$ext/pgtap.control" ] && [ -f "$ext/plpgsql_check.control" ] || return 0
  psql_super -d "$DBNAME" >/dev/null <<EOF
SET client_min_messages = warning;
CREATE SCHEMA IF NOT EXISTS tap;
GRANT USAGE ON SCHEMA tap TO $DBUSER;
CREATE EXTENSION IF NOT EXISTS pgtap SCHEMA tap;
CREATE EXTENSION IF NOT EXISTS plpgsql_check SCHEMA tap;
EOF
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

cmd_start() {
  claim_dir
  lock_cluster
  if ! created; then
    # No cluster yet, what a failed first start left, or a settings file
    # without its data (the /tmp home was cleared, say).
    create_cluster
    say "created and started on 127.0.0.1:$PORT ($DIR)"
    return 0
  fi
  [ "$HOME_DIR" = "$DIR" ] || mark "$HOME_DIR"
  drop_old_durability_lines
  if running && [ "$THROWAWAY" = 0 ] && ! running_durable; then
    stop_server fast
    say "restarting with durable settings ($DIR)"
  elif running && [ "$THROWAWAY" = 1 ] && running_durable; then
    # Whoever started it durable may rely on that: it is not restarted.
    say "runs already with durable settings: kept durable, not throwaway ($DIR)"
  fi
  if ! running; then
    local saved_port=$PORT
    if (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null; then PORT=$(pick_port); fi
    start_server
    [ "$PORT" = "$saved_port" ] || save_settings
    say "started on 127.0.0.1:$PORT ($DIR)"
  fi
  reload_if_changed
  add_test_extensions
}

cmd_stop() {
  if created && running; then
    stop_server fast
    say "stopped ($DIR)"
  fi
}
