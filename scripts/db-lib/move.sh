# shellcheck shell=bash
# Sourced by scripts/db: move, which gives a stopped cluster a new path for
# good: its folder, its data and its records go together, and the cluster
# is then NEWDIR's own, data and all.
#
# Either DIR holds its cluster and nothing is at NEWDIR yet: the folder is
# renamed to NEWDIR (on the same file system). Or the folder is at NEWDIR
# already, holding the records made for DIR (moved there by hand, or with a
# checkout renamed), and DIR holds no cluster of its own: the cluster is
# taken over there. A copy is not taken over while DIR holds the cluster.
# The cluster's home under /tmp, if it has one, gets NEWDIR's name there,
# and the server's settings the new path of its socket folder.
#
# A kill leaves nothing half done: each step is a rename, and the mark of
# NEWDIR names DIR until the last one, so that until then start refuses
# NEWDIR as a folder moved from DIR, and move DIR NEWDIR takes up again
# where it stopped.

# set_folder PATH: DIR, and the paths of its records.
set_folder() {
  DIR=$1
  SETTINGS=$DIR/cluster.env
  SQL_HASH_FILE=$DIR/database.sha256
}

# The lock of DIR, when it has one; a folder that is moved keeps it.
lock_moving() {
  [ -f "$DIR/cluster.lock" ] || return 0
  { exec 9>>"$DIR/cluster.lock"; } 2>/dev/null || die "move: cannot write in the folder $DIR; nothing was moved"
  flock -w "$WAIT_LOCK" 9 ||
    die "move: gave up after $WAIT_LOCK s: another scripts/db holds the lock of $DIR; nothing was moved"
}

# plan_move OLD NEW: DIR (OLD, or NEW where the folder is already) holds a
# complete cluster of this user's, made for OLD, whose server is stopped.
# Sets FROM_HOME, the cluster's home now, and TO_HOME, the one it gets;
# IN_FOLDER=1 when the home is the folder itself.
FROM_HOME='' TO_HOME='' IN_FOLDER=0
plan_move() {
  local old=$1 new=$2 home uid ko kn mark_path status=0 stopper bytes reach
  dir_homes
  if foreign_owner; then die "move: $(foreign_cluster): its owner moves it; nothing was moved"; fi
  PORT=$(setting PORT)
  PASSWORD=$(setting PASSWORD)
  home=$(setting HOME_DIR)
  [ -n "$PORT" ] && [ -n "$PASSWORD" ] && [ -n "$home" ] ||
    die "move: $DIR holds no complete cluster (no cluster.env, or one this user cannot read); nothing was moved"
  uid=$(id -u)
  ko=$(dir_key "$old")
  kn=$(dir_key "$new")
  case $home in
    "$old" | "$new") IN_FOLDER=1 FROM_HOME=$DIR TO_HOME=$new ;;
    "/tmp/ferrule-db-$ko" | "/tmp/ferrule-db-$kn") FROM_HOME=/tmp/ferrule-db-$ko TO_HOME=/tmp/ferrule-db-$kn ;;
    "/tmp/ferrule-db-$uid-$ko" | "/tmp/ferrule-db-$uid-$kn")
      FROM_HOME=/tmp/ferrule-db-$uid-$ko TO_HOME=/tmp/ferrule-db-$uid-$kn ;;
    *) die "move: $SETTINGS names the home $home, which is no home of $old's; nothing was moved" ;;
  esac
  if [ "$IN_FOLDER" = 1 ]; then
    # The data goes with the folder: at NEW the server's socket must fit,
    # and the account the server runs as must reach it.
    bytes=$(printf '%s/sock/.s.PGSQL.65535' "$new" | wc -c)
    [ "$bytes" -le 100 ] ||
      die "move: the data of the cluster lives in its folder, and at $new the path of the server's socket would be longer than a unix socket allows: choose a shorter path; nothing was moved"
    reach=$new
    [ -d "$new" ] || reach=$(dirname -- "$new")
    [ "$IS_ROOT" = 0 ] || as_owner test -x "$reach" ||
      die "move: the data of the cluster lives in its folder, and the account its server runs as ($PGSYSUSER) cannot reach $new; nothing was moved"
  else
    if [ -e "$TO_HOME" ] || [ -L "$TO_HOME" ]; then
      [ ! -e "$FROM_HOME" ] && [ ! -L "$FROM_HOME" ] ||
        die "move: $TO_HOME, the home $new would get, is there already; nothing was moved"
      # A move cut short renamed the home already.
      FROM_HOME=$TO_HOME
    fi
    [ -d "$FROM_HOME" ] && [ ! -L "$FROM_HOME" ] && [ -O "$FROM_HOME" ] ||
      die "move: the home of the cluster, $FROM_HOME, is gone or no folder of this user's; nothing was moved"
    mark_path=$(record_path "$FROM_HOME/$MARK") || mark_path=''
    [ -z "$mark_path" ] || [ "$mark_path" = "$old" ] || [ "$mark_path" = "$new" ] ||
      die "move: the mark of $FROM_HOME names $mark_path, neither $old nor $new; nothing was moved"
  fi
  [ -f "$FROM_HOME/data/PG_VERSION" ] || die "move: the cluster has no data in $FROM_HOME; nothing was moved"
  # Whose stop looks into the home: the folder's, or (under /tmp) the one
  # of the path the home is named after.
  if [ "$IN_FOLDER" = 1 ]; then stopper=$DIR; elif [ "$FROM_HOME" = "$TO_HOME" ]; then stopper=$new; else stopper=$old; fi
  server_pid "$FROM_HOME/data" >/dev/null || status=$?
  case $status in
    0) die "move: the server of the cluster runs, from $FROM_HOME/data: stop it first (scripts/db stop $(printf '%q' "$stopper")); nothing was moved" ;;
    2) die "move: this user cannot look into $FROM_HOME/data; nothing was moved" ;;
  esac
}

# rewrite_mark FOLDER: its mark names DIR, and says as before whether start
# made FOLDER.
rewrite_mark() {
  { printf '%s\n' "$DIR"; tail -n +2 -- "$1/$MARK" 2>/dev/null || true; } >"$1/$MARK.tmp" &&
    mv -f -- "$1/$MARK.tmp" "$1/$MARK"
}

# The server's socket folder, in its settings, at the home's new path.
set_socket_folder() {
  local conf=$HOME_DIR/data/postgresql.conf line
  line="unix_socket_directories = '${HOME_DIR//\'/\'\'}/sock'"
  ! grep -q -x -F -- "$line" "$conf" 2>/dev/null || return 0
  # shellcheck disable=SC2016  # $1 and $2 are the inner shell's
  as_owner env "SOCKET_LINE=$line" bash -c 'awk "$1" "$2" >"$2.new" && chmod 600 "$2.new" && mv -f "$2.new" "$2"' _ \
    '/^unix_socket_directories = / { if (!done) print ENVIRON["SOCKET_LINE"]; done = 1; next }
     { print }
     END { if (!done) print ENVIRON["SOCKET_LINE"] }' "$conf" ||
    die "move: the server's settings in $conf could not be written; run the same scripts/db move again to finish"
}

# finish_move OLD NEW: the folder is at NEW; the home follows, then the
# records, NEW's mark last.
finish_move() {
  local old=$1 new=$2
  set_folder "$new"
  if [ "$IN_FOLDER" = 0 ] && [ "$FROM_HOME" != "$TO_HOME" ]; then
    mv -T -- "$FROM_HOME" "$TO_HOME" ||
      die "move: $FROM_HOME could not be renamed $TO_HOME; run the same scripts/db move again to finish"
  fi
  HOME_DIR=$TO_HOME
  set_socket_folder
  [ "$HOME_DIR" = "$DIR" ] || rewrite_mark "$HOME_DIR"
  save_settings
  rewrite_mark "$DIR"
  if [ "$IN_FOLDER" = 1 ]; then
    say "moved the cluster made for $old to $new, with its data"
  else
    say "moved the cluster made for $old to $new, with its data (now in $HOME_DIR)"
  fi
}

cmd_move() {
  local old new parent origin
  refuse_unsafe_dir "$2"
  old=$(realpath -m -- "$1")
  new=$(realpath -m -- "$2")
  refuse_unsafe_dir "$new"
  [ "$old" != "$new" ] || die "move: $1 and $2 are the same folder"
  case $new/ in "$old"/*) die "move: $new lies inside $old" ;; esac
  if [ -d "$old" ] && holds_own_cluster "$old"; then
    set_folder "$old"
    if origin=$(records_made_for); then die "move: $(moved_records "$origin"); nothing was moved"; fi
    [ ! -e "$new" ] && [ ! -L "$new" ] ||
      die "move: $new is there already; give move a path where nothing is; nothing was moved"
    parent=$(dirname -- "$new")
    [ -d "$parent" ] || die "move: the folder $parent is not there; nothing was moved"
    [ "$(stat -c %d -- "$old")" = "$(stat -c %d -- "$parent")" ] ||
      die "move: $parent lies on another file system than $old: move the folder there yourself (mv), then run scripts/db move $(printf '%q %q' "$old" "$new") to finish; nothing was moved"
    lock_moving
    plan_move "$old" "$new"
    mv -T -- "$old" "$new" || die "move: the folder $old could not be moved to $new; nothing was moved"
  elif [ -d "$new" ]; then
    set_folder "$new"
    lock_moving
    if ! origin=$(records_made_for); then
      holds_own_cluster "$new" || die "move: neither $old nor $new holds a cluster made for $old; nothing was moved"
      say "$new holds the cluster made for it already: nothing to move"
      return 0
    fi
    [ "$origin" = "$old" ] ||
      die "move: $new holds the records of the cluster made for $origin, not for $old; nothing was moved"
    plan_move "$old" "$new"
  else
    die "move: neither $old nor $new holds a cluster made for $old; nothing was moved"
  fi
  finish_move "$old" "$new"
}
