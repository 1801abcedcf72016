# shellcheck shell=bash
# Sourced by scripts/db: remove, which stops DIR's cluster and deletes what
# start made for DIR's own path: in DIR its records and the lock, in each
# home of DIR's (DIR itself, or its folder under /tmp) the data, the socket
# folder, the log and the records, and each folder that start made, when it
# holds nothing else then.
#
# It refuses, deleting nothing: a DIR holding the records of another path's
# cluster (moved, renamed or copied from there: the data they name is that
# path's), the cluster of another user, a server it cannot stop, a home
# whose mark names another folder, and a home holding data that DIR holds no
# record of (DIR's folder may have been renamed, its records with it, and
# they name that data).
#
# A kill leaves nothing half done: before it deletes anything, remove writes
# into each home the record of a first start that did not finish; from then
# on what is left is such a start's, which start begins afresh and remove
# deletes.

# Sets REMOVE_HOMES to the homes whose contents remove deletes, or refuses.
REMOVE_HOMES=()
plan_removal() {
  local home origin named
  REMOVE_HOMES=()
  for home in "${HOMES[@]}"; do
    # Under /tmp, only a folder of this user's (not a link) is its own.
    if [ "$home" != "$DIR" ] && ! { [ -d "$home" ] && [ ! -L "$home" ] && [ -O "$home" ]; }; then
      continue
    fi
    origin=$(record_path "$home/$MARK") || origin=''
    if [ -n "$origin" ] && [ "$origin" != "$DIR" ]; then
      die "remove: refusing the folder $home: its mark names the folder $origin, not $DIR; nothing was removed"
    fi
    named=0
    if load_settings && [ "$HOME_DIR" = "$home" ]; then named=1; fi
    [ -n "$origin" ] || [ "$named" = 1 ] || continue
    if [ "$named" = 0 ] && { [ -e "$home/data" ] || [ -L "$home/data" ]; } && ! unfinished "$home"; then
      say "remove: refusing the folder $home: it holds the data of a cluster made for $DIR, which may hold data, and $DIR holds no record of it (no cluster.env, or one of another home)"
      die "if the folder of $DIR was moved or renamed, its records name that data: move it back in place of $DIR, which must not be there then; nothing was removed"
    fi
    REMOVE_HOMES+=("$home")
  done
}

cmd_remove() {
  local origin state=0 home running_home home_made dir_made=0 left=''
  if origin=$(records_made_for); then
    say "remove: refusing the folder $DIR: $(moved_records "$origin"), which may hold data and may be running"
    die "$(moved_hint "$origin"); nothing was removed"
  fi
  cluster_state || state=$?
  [ "$state" != 4 ] || die "remove: $WHY; nothing was removed"
  running_home=$HOME_DIR
  plan_removal
  if [ ${#REMOVE_HOMES[@]} = 0 ] && ! marked "$DIR" && [ ! -f "$SETTINGS" ]; then
    say "no cluster in $DIR: nothing to remove"
    return 0
  fi
  if [ "$state" = 0 ]; then
    HOME_DIR=$running_home
    stop_found_server "nothing was removed"
  fi

  for home in "${REMOVE_HOMES[@]}"; do
    if { [ -e "$home/data" ] || [ -L "$home/data" ]; } && ! unfinished "$home"; then
      { (umask 077 && printf '%s\n' "$DIR" >"$home/$UNFINISHED"); } 2>/dev/null ||
        die "remove: cannot write in the folder $home; nothing was removed"
    fi
  done
  rm -f -- "$SETTINGS" "$SETTINGS.tmp" "$SQL_HASH_FILE"
  for home in "${REMOVE_HOMES[@]}"; do
    rm -rf -- "$home/data" "$home/sock" "$home/server.log"
    rm -f -- "$home/$UNFINISHED"
    [ "$home" != "$DIR" ] || continue
    home_made=0
    made_folder "$home" && home_made=1
    rm -f -- "$home/$MARK" "$home/$MARK.tmp"
    [ "$home_made" = 0 ] || rmdir -- "$home" 2>/dev/null || left+=" $home"
  done
  made_folder "$DIR" && dir_made=1
  rm -f -- "$DIR/$MARK" "$DIR/$MARK.tmp" "$DIR/cluster.lock"
  if [ "$dir_made" = 1 ] && [ -d "$DIR" ] && rmdir -- "$DIR" 2>/dev/null; then
    say "removed the cluster of $DIR, and the folder"
  elif [ "$dir_made" = 1 ] && [ -d "$DIR" ]; then
    say "removed the cluster of $DIR; the folder stays: it holds files that scripts/db did not make"
  elif [ -d "$DIR" ]; then
    say "removed the cluster of $DIR; the folder stays: scripts/db did not make it"
  else
    say "removed the cluster of $DIR"
  fi
  [ -z "$left" ] || say "left the folder$left: it holds files that scripts/db did not make"
}
