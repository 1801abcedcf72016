# shellcheck shell=bash
# Sourced by scripts/db: which servers run from DIR's data, whatever DIR's
# records say, which run elsewhere although they were started on a data
# folder of DIR's, and whose cluster DIR holds.
#
# A server runs from the data folder of one of DIR's homes (DIR itself, or
# one of its two names under /tmp), whose postmaster.pid names it. Records
# can be missing (a first start killed half way) or name another path (a
# folder renamed while its server ran): status, stop and remove look into
# every home of DIR's that scripts/db made. A server counts as running from
# a data folder only when the process its postmaster.pid names has that
# very folder as its working folder: a copy of a folder holds a copy of the
# pid file of a server that runs from the original.
#
# A server whose folder is renamed runs on from the new path, while its
# command line keeps the path it was started on. start makes no cluster for
# a path while a server started on that path's data runs on elsewhere, and
# status and stop say where it runs.

# The account the servers of this user run as.
server_uid() {
  if [ "$IS_ROOT" = 1 ]; then id -u "$PGSYSUSER"; else id -u; fi
}

# Sets HOMES to the folders that may be DIR's home.
dir_homes() {
  local key
  key=$(dir_key)
  HOMES=("$DIR" "/tmp/ferrule-db-$key" "/tmp/ferrule-db-$(id -u)-$key")
}

# made_home HOME: scripts/db made the data in HOME: HOME bears a mark (of
# any path: a renamed folder keeps the mark of its old path), or is the
# home that DIR's own cluster.env names (a cluster made before the mark).
made_home() {
  [ -n "$(record_path "$1/$MARK")" ] || (load_settings && [ "$HOME_DIR" = "$1" ])
}

# server_pid DATA: prints the pid of the server that runs from the folder
# DATA; fails with 1 when none does, 2 when this user cannot look.
server_pid() {
  local data=$1 pid=''
  [ -d "$data" ] || return 1
  [ -x "$data" ] || return 2
  [ -e "$data/postmaster.pid" ] || return 1
  [ -r "$data/postmaster.pid" ] || return 2
  read -r pid <"$data/postmaster.pid" || true
  case $pid in '' | *[!0-9]*) return 1 ;; esac
  # A process this user cannot look at is no server of this user's (root
  # looks at every one).
  [ "/proc/$pid/cwd" -ef "$data" ] || return 1
  echo "$pid"
}

# The port a running server's postmaster.pid names.
server_port() { sed -n 4p "$1/postmaster.pid" 2>/dev/null; }

# Sets MOVED_DATA to the folders that the servers started on the data of
# one of DIR's homes run from now, when that is another folder (DIR's
# folder was renamed while they ran, or their data was deleted).
find_moved_servers() {
  local proc home now args=()
  local -A started_on=()
  MOVED_DATA=()
  for home in "${HOMES[@]}"; do started_on[$home/data]=1; done
  for proc in /proc/[0-9]*; do
    { mapfile -d '' -t args <"$proc/cmdline"; } 2>/dev/null || continue
    [ "${#args[@]}" -ge 3 ] && [ "${args[0]}" = "$PGBIN/postgres" ] && [ "${args[1]}" = -D ] ||
      continue
    [ -n "${started_on[${args[2]}]:-}" ] || continue
    [ "$proc/cwd" -ef "${args[2]}" ] && continue
    now=$(readlink -- "$proc/cwd" 2>/dev/null) || continue
    MOVED_DATA+=("$now")
  done
}

# The sentence that says where the server started on DIR's data runs now.
moved_server() {
  local now=$1
  case $now in
    *' (deleted)')
      echo "the server made for $DIR still runs, from data that was deleted; it stops by itself within about a minute"
      ;;
    */data) echo "the server made for $DIR runs from $now, where its folder was moved or renamed (scripts/db stop $(printf '%q' "${now%/data}") stops it)" ;;
    *) echo "the server made for $DIR runs from $now, where its data was moved" ;;
  esac
}

# Whether DIR holds the cluster of another user: a record in DIR, or what
# start makes in a home of DIR's, owned by neither this user nor the account
# its servers run as. Sets OTHER_USER and OTHER_FILE.
OTHER_USER='' OTHER_FILE=''
foreign_owner() {
  local files=() uids=() f home i mine server
  for f in "$DIR/$MARK" "$SETTINGS" "$SQL_HASH_FILE" "$DIR/cluster.lock"; do
    if [ -e "$f" ]; then files+=("$f"); fi
  done
  for home in "${HOMES[@]}"; do
    made_home "$home" || continue
    for f in data sock server.log "$UNFINISHED" "$MARK"; do
      if [ -e "$home/$f" ]; then files+=("$home/$f"); fi
    done
  done
  [ ${#files[@]} -gt 0 ] || return 1
  mine=$(id -u)
  server=$(server_uid)
  mapfile -t uids < <(stat -c %u -- "${files[@]}" 2>/dev/null)
  for i in "${!uids[@]}"; do
    [ "${uids[i]}" = "$mine" ] || [ "${uids[i]}" = "$server" ] && continue
    OTHER_FILE=${files[i]}
    OTHER_USER=$(id -nu "${uids[i]}" 2>/dev/null) || OTHER_USER="with the id ${uids[i]}"
    return 0
  done
  return 1
}

# The sentence that says whose cluster DIR holds, when it is another user's.
foreign_cluster() {
  local whose="the user $OTHER_USER"
  [ "$OTHER_USER" != root ] || whose=root
  case $OTHER_FILE in
    "$DIR/$MARK" | "$SETTINGS") echo "$DIR holds the cluster of $whose ($OTHER_FILE is $OTHER_USER's)" ;;
    *) echo "$OTHER_FILE, part of the cluster of $DIR, belongs to $whose, not to this user or the account its servers run as" ;;
  esac
}
