# shellcheck shell=bash
# Sourced by scripts/db: the cluster's folders, its home, what start may take
# for its own there, and the lock.
#
# DIR, the cluster folder, keeps the cluster's records (records.sh) and the
# lock. The data folder, the server log and the unix-socket folder live in
# the cluster's home: DIR itself, except when the system user postgres
# cannot reach DIR (run as root, a repository under /root, say) or the socket
# path would be too long. The home is then /tmp/ferrule-db-<hash of DIR's
# path> (run as root) or /tmp/ferrule-db-<uid>-<hash of DIR's path>, and
# cluster.env points at it.
#
# What scripts/db makes in a folder, it may delete; nothing else. Before it
# makes anything in DIR or in a home under /tmp, it writes there the mark,
# which holds the path of DIR (the mark of a folder moved or copied
# elsewhere proves nothing there), and says whether start made the folder
# itself; it refuses a folder that holds what it would make there without
# that mark. A cluster made before the mark existed is proven by its
# cluster.env, whose home is one of DIR's, and by its data; start then
# marks its folders. Whatever start made before it refuses (DIR and the
# folders above it, the mark, the lock file), it removes again: a refusal
# leaves nothing behind.

# pg_ctl starts the server through /bin/sh, with the data folder and the
# log file inside double quotes, where $ ` " and \ are the shell's: a
# "$(...)" in a folder's name would run, a "$x" would vanish. A newline
# would end a line of cluster.env, and a comma splits the server's and
# libpq's lists of socket folders. Only start hands DIR to that shell
# (pg_ctl stop and status run none; reset and env reach the server over
# TCP), so start alone refuses such a folder, before making anything. The
# whole path is checked, the folders above DIR included: the server sees it.
refuse_unsafe_dir() {
  local shown=$1
  case $1 in
    *$'\n'*) shown=$(printf '%q' "$1") ;&
    *[\$\`\"\\,]*)
      say "$CMD: refusing the folder $shown: its path may hold none of \$ \` \" \\ , and no newline"
      die "pg_ctl starts the server through a shell, which takes the first four for its own, and a comma splits the server's list of socket folders"
      ;;
  esac
}

# made PATH: start made PATH, which a refusal removes again. From the
# moment start begins its work (begin_work), what it made stays.
MAKING=0
made() { [ "$MAKING" = 1 ] || MADE+=("$1"); }
begin_work() { MAKING=1; MADE=(); }

# make_folder FOLDER: makes it and the folders above it that are missing,
# or says in a sentence why it cannot.
make_folder() {
  local said above missing=() folder
  folder=$1
  while [ ! -e "$folder" ] && [ ! -L "$folder" ]; do
    missing=("$folder" "${missing[@]}")
    folder=$(dirname -- "$folder")
  done
  if said=$(mkdir -p -- "$1" 2>&1); then
    for folder in "${missing[@]}"; do made "$folder"; done
    return 0
  fi
  above=$(dirname -- "$1")
  while [ ! -e "$above" ] && [ ! -L "$above" ]; do above=$(dirname -- "$above"); done
  if [ ! -d "$above" ]; then
    die "start: cannot make the folder $1: $above is a file, not a folder"
  elif [ ! -w "$above" ]; then
    die "start: cannot make the folder $1: the folder $above cannot be written"
  fi
  die "start: cannot make the folder $1: ${said##*: }"
}

# out_of_sight PATH: PATH seems missing only because this user cannot look
# into the nearest folder above it that is there.
out_of_sight() {
  local above=$1
  while [ "$above" != / ] && [ "$above" != . ]; do
    above=$(dirname -- "$above")
    if [ -e "$above" ]; then [ ! -x "$above" ] || [ ! -r "$above" ]; return; fi
  done
  return 1
}

# Sets DIR to the cluster folder's real path, after start made it when it
# was missing (DIR_MADE=1 then). A command that only looks leaves at once
# when DIR holds no cluster, and makes nothing; status and stop say so (and
# exit 4) when this user cannot enter DIR to look. For status, stop and
# remove, a DIR that is gone may still have a home under /tmp, where a
# server of its cluster may run: they look there.
DIR_MADE=0
open_cluster_folder() {
  if [ "$CMD" = start ]; then
    refuse_unsafe_dir "$DIR"
    refuse_unsafe_dir "$(realpath -m -- "$DIR")"
  fi
  if [ -e "$DIR" ] || [ -L "$DIR" ]; then
    if [ ! -d "$DIR" ]; then
      if [ "$CMD" = status ]; then echo "not running ($DIR)"; exit 3; fi
      die "$CMD: $DIR is not a folder"
    fi
  else
    case $CMD in
      start) make_folder "$DIR"; DIR_MADE=1 ;;
      stop | status | remove)
        if out_of_sight "$DIR"; then
          cannot_tell "this user cannot look into a folder above $DIR: a cluster in it may be running, which this user cannot check or stop"
        fi
        DIR=$(realpath -m -- "$DIR")
        SETTINGS=$DIR/cluster.env
        SQL_HASH_FILE=$DIR/database.sha256
        return 0
        ;;
      *) die "no cluster in $DIR ($START_HINT)" ;;
    esac
  fi
  local real
  if ! real=$(cd -- "$DIR" 2>/dev/null && pwd -P); then
    case $CMD in
      status | stop) cannot_tell "this user cannot enter the folder $DIR: a cluster in it may be running, which this user cannot check or stop" ;;
    esac
    die "$CMD: cannot enter the folder $DIR"
  fi
  DIR=$real
  if [ "$CMD" = start ]; then refuse_unsafe_dir "$DIR"; fi
  SETTINGS=$DIR/cluster.env
  SQL_HASH_FILE=$DIR/database.sha256
}

# The name the home under /tmp of DIR (or of the folder given) ends with.
dir_key() { printf '%s' "${1-$DIR}" | sha256sum | cut -c1-16; }

# Whether FOLDER may be the home of DIR's cluster: DIR, or the folder under
# /tmp that root's or this user's start gives it.
home_of_dir() {
  local key
  key=$(dir_key)
  [ "$1" = "$DIR" ] || [ "$1" = "/tmp/ferrule-db-$key" ] || [ "$1" = "/tmp/ferrule-db-$(id -u)-$key" ]
}

# Where a new cluster's data, socket and log go: DIR when the owner can
# reach it and the socket path fits (a unix socket path holds at most 107
# bytes, counted as bytes whatever the locale), else a folder under /tmp.
choose_home() {
  local bytes key
  bytes=$(printf '%s/sock/.s.PGSQL.65535' "$DIR" | wc -c)
  key=$(dir_key)
  if [ "$bytes" -le 100 ] && { [ "$IS_ROOT" = 0 ] || as_owner test -x "$DIR"; }; then
    HOME_DIR=$DIR
  elif [ "$IS_ROOT" = 1 ]; then
    HOME_DIR=/tmp/ferrule-db-$key
  else
    HOME_DIR=/tmp/ferrule-db-$(id -u)-$key
  fi
}

# The home of a cluster to be made: the one its cluster.env names (a
# cluster whose data is gone gets its new data there), else a new one.
plan_home() {
  load_settings || choose_home
}

# A home under /tmp, when it is there: a folder of this user's (not a link
# another one planted), holding nothing foreign.
check_tmp_home() {
  [ "$HOME_DIR" != "$DIR" ] || return 0
  [ -e "$HOME_DIR" ] || [ -L "$HOME_DIR" ] || return 0
  [ -d "$HOME_DIR" ] && [ ! -L "$HOME_DIR" ] && [ "$(stat -c %u "$HOME_DIR")" = "$(id -u)" ] ||
    die "start: refusing the folder $HOME_DIR: it is no folder of this user's"
  refuse_foreign "$HOME_DIR" data sock server.log "$UNFINISHED"
}

# Before start makes or deletes anything, and again once it holds the lock:
# DIR's records are its own, and unless DIR holds a complete cluster, DIR
# and the home a new cluster would have hold nothing foreign, and that home
# no data that a cluster may have run from.
check_start() {
  dir_homes
  if foreign_owner; then
    say "start: refusing the folder $DIR: $(foreign_cluster)"
    die "start changes nothing in the cluster of another user: its owner, $OTHER_USER, starts it"
  fi
  refuse_moved_records
  refuse_moved_servers
  created && return 0
  refuse_foreign "$DIR" data sock server.log cluster.env cluster.env.tmp database.sha256 "$UNFINISHED"
  plan_home
  check_tmp_home
  refuse_ran_data "$HOME_DIR"
}

# The home under /tmp of a cluster to be made: made when missing, checked
# again, and marked.
claim_home() {
  [ "$HOME_DIR" != "$DIR" ] || return 0
  local made=0
  if mkdir -m 755 "$HOME_DIR" 2>/dev/null; then made=1; fi
  [ -d "$HOME_DIR" ] || die "start: cannot make the folder $HOME_DIR"
  check_tmp_home
  mark "$HOME_DIR" "$made"
}

# One command at a time per cluster folder, through the lock file in it.
# Only start creates the file; the other commands take the lock only when
# DIR is a cluster of scripts/db's (every one has the file), so that they
# make nothing in a folder that is none.
lock_cluster() {
  local lock=$DIR/cluster.lock
  if [ "$CMD" = start ]; then
    [ -e "$lock" ] || made "$lock"
    { exec 9>>"$lock"; } 2>/dev/null || die "start: cannot write in the folder $DIR"
  else
    marked "$DIR" || load_settings || return 0
    [ -f "$lock" ] || return 0
    { exec 9>>"$lock"; } 2>/dev/null || { exec 9<"$lock"; } 2>/dev/null || return 0
  fi
  flock -w "$WAIT_LOCK" 9 ||
    die "$CMD: gave up after $WAIT_LOCK s: another scripts/db holds the lock of $DIR; nothing was done"
}
