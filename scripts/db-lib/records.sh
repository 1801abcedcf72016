# shellcheck shell=bash
# Sourced by scripts/db: the records of a cluster, whose path they name, and
# what they prove.
#
# In DIR:
#   made-by-scripts-db  the mark: the path of DIR, written before start
#                       makes anything in DIR; a second line when start
#                       made the folder itself, which remove then deletes
#   cluster.env         DIR's path again, and the port, the password and the
#                       home; written last by the first start that completes,
#                       so that a cluster.env means a complete cluster
#   database.sha256     a hash of the SQL files the database was loaded from
#   cluster.lock        the lock (folders.sh)
# In the home, where the data lives (DIR itself, or a folder under /tmp):
#   made-by-scripts-db  the mark, holding DIR's path (and the second line
#                       when start made the folder under /tmp)
#   unfinished-start    DIR's path, written before a first start makes the
#                       data and removed once that start completed: the
#                       proof that no cluster ever ran from that data, and so
#                       the only data that start deletes; remove writes it
#                       too, before it deletes anything
#   data, sock, server.log
#
# Every record names the path of the DIR it was made for. A DIR moved,
# renamed or copied holds the records of another path: the commands say so,
# naming both paths, and start refuses it rather than make it a new cluster
# (the cluster it names may hold data and may be running), changing nothing.

MARK=made-by-scripts-db
UNFINISHED=unfinished-start

# The path a record file names: its first line.
record_path() { [ -f "$1" ] && head -n 1 -- "$1" 2>/dev/null; }

# marked FOLDER: FOLDER holds the mark of DIR.
marked() { [ "$(record_path "$1/$MARK")" = "$DIR" ]; }

# mark FOLDER [MADE]: writes DIR's mark there, unless it is there already;
# with MADE=1, that start made FOLDER.
MADE_LINE='start made this folder'
mark() {
  marked "$1" && return 0
  { printf '%s\n' "$DIR" >"$1/$MARK" &&
      if [ "${2:-0}" = 1 ]; then echo "$MADE_LINE" >>"$1/$MARK"; fi; } 2>/dev/null ||
    die "start: cannot write in the folder $1"
  made "$1/$MARK"
}

# made_folder FOLDER: its mark says that start made FOLDER.
made_folder() { sed -n 2p -- "$1/$MARK" 2>/dev/null | grep -q -x -F -- "$MADE_LINE"; }

# holds_own_cluster FOLDER: FOLDER holds the records of a cluster made for
# its own path.
holds_own_cluster() {
  [ "$(record_path "$1/$MARK")" = "$1" ] ||
    [ "$(sed -n 's/^DIR=//p' "$1/cluster.env" 2>/dev/null | head -n 1)" = "$1" ]
}

# unfinished FOLDER: FOLDER holds data of a first start of DIR's that did
# not complete.
unfinished() { [ "$(record_path "$1/$UNFINISHED")" = "$DIR" ]; }

setting() { sed -n "s/^$1=//p" "$SETTINGS" 2>/dev/null | head -n 1; }

# Settings of DIR's cluster, from cluster.env: complete, made for DIR (a
# cluster.env of an older scripts/db names no path), and with a home of
# DIR's.
PORT='' PASSWORD='' HOME_DIR=''
load_settings() {
  [ -f "$SETTINGS" ] && [ -r "$SETTINGS" ] || return 1
  local made_for
  made_for=$(setting DIR)
  PORT=$(setting PORT)
  PASSWORD=$(setting PASSWORD)
  HOME_DIR=$(setting HOME_DIR)
  [ -z "$made_for" ] || [ "$made_for" = "$DIR" ] || return 1
  [ -n "$PORT" ] && [ -n "$PASSWORD" ] && [ -n "$HOME_DIR" ] && home_of_dir "$HOME_DIR"
}

save_settings() {
  local tmp=$SETTINGS.tmp
  (umask 077 && printf 'DIR=%s\nPORT=%s\nPASSWORD=%s\nHOME_DIR=%s\n' \
     "$DIR" "$PORT" "$PASSWORD" "$HOME_DIR" >"$tmp")
  mv -f "$tmp" "$SETTINGS"
}

# A complete cluster of DIR's own.
created() {
  load_settings && [ -f "$HOME_DIR/data/PG_VERSION" ]
}

# Prints the path of the other DIR that DIR's records were made for, if
# they were made for another: the mark's, cluster.env's, or (in a
# cluster.env of an older scripts/db, which names no path) the one its home
# names.
records_made_for() {
  local path home
  path=$(record_path "$DIR/$MARK") || path=''
  if [ -z "$path" ] || [ "$path" = "$DIR" ]; then path=$(setting DIR); fi
  if [ -z "$path" ]; then
    home=$(setting HOME_DIR)
    if [ -n "$home" ] && ! home_of_dir "$home"; then
      case $home in
        /tmp/ferrule-db-*) path=$(record_path "$home/$MARK") || path="the folder whose home is $home" ;;
        *) path=$home ;;
      esac
    fi
  fi
  [ -n "$path" ] && [ "$path" != "$DIR" ] && printf '%s\n' "$path"
}

# The sentence that says whose records DIR holds.
moved_records() {
  echo "$DIR holds the records of the cluster made for $1 (it was moved, renamed or copied from there)"
}

# What to do with DIR, which holds the records of the cluster made for
# ORIGIN: use ORIGIN when it holds that cluster (DIR is a copy); else move
# DIR back, unless another folder took its place there (it would go inside
# it), or keep the cluster at DIR for good with move, once it is stopped.
moved_hint() {
  local origin=$1 home stopper q_origin q_dir first=''
  q_origin=$(printf '%q' "$origin")
  q_dir=$(printf '%q' "$DIR")
  if holds_own_cluster "$origin"; then
    echo "$origin holds that cluster: use it there; for a new cluster, give start another folder"
    return 0
  fi
  # Its server runs from the data in DIR, or (a home under /tmp) from the
  # home of ORIGIN's, which stop ORIGIN looks into.
  home=$(setting HOME_DIR)
  if [ -z "$home" ] || [ "$home" = "$origin" ]; then home=$DIR stopper=$q_dir; else stopper=$q_origin; fi
  if server_pid "$home/data" >/dev/null 2>&1; then
    first="stop its server (scripts/db stop $stopper), then "
  fi
  if [ -e "$origin" ] || [ -L "$origin" ]; then
    echo "$origin is another folder now, so this one cannot go back there; to keep the cluster here for good, ${first}run scripts/db move $q_origin $q_dir"
  else
    echo "to use it, move this folder back to $origin; to keep it here for good, ${first}run scripts/db move $q_origin $q_dir"
  fi
}

# start stops, changing nothing, when DIR holds the records of another
# path's cluster.
refuse_moved_records() {
  local origin
  origin=$(records_made_for) || return 0
  say "start: refusing the folder $DIR: $(moved_records "$origin"); that cluster may hold data and may be running"
  die "$(moved_hint "$origin")"
}

# start stops, changing nothing, while a server started on the data of a
# home of DIR's runs on from another folder: DIR's folder was renamed while
# it ran, and a new cluster would be a second one for the same path.
refuse_moved_servers() {
  find_moved_servers
  [ ${#MOVED_DATA[@]} -gt 0 ] || return 0
  local now=${MOVED_DATA[0]} there q_dir q_there
  say "start: refusing the folder $DIR: $(moved_server "$now")"
  case $now in
    *' (deleted)') die "start makes no cluster for $DIR while it runs: start again once it stopped" ;;
    */data) ;;
    *) die "start makes no cluster for $DIR while it runs" ;;
  esac
  there=${now%/data}
  q_dir=$(printf '%q' "$DIR")
  q_there=$(printf '%q' "$there")
  if [ "$DIR_MADE" = 1 ]; then
    die "start makes no cluster for $DIR while it runs: move $there back to $DIR to use it, or keep it there for good: scripts/db stop $q_there, then scripts/db move $q_dir $q_there"
  fi
  die "start makes no cluster for $DIR while it runs; $DIR is another folder now, so $there cannot go back there; to keep the cluster there for good: scripts/db stop $q_there, then scripts/db move $q_dir $q_there"
}

# refuse_foreign FOLDER NAME...: start stops, naming FOLDER, when it holds
# one of the NAMEs (what scripts/db makes there) and not the mark that
# proves them its own.
refuse_foreign() {
  local folder=$1 entry found=''
  shift
  marked "$folder" && return 0
  for entry in "$@"; do
    if [ -e "$folder/$entry" ] || [ -L "$folder/$entry" ]; then found+=${found:+, }$entry; fi
  done
  [ -n "$found" ] || return 0
  say "start: refusing the folder $folder: it holds $found, which scripts/db did not make"
  die "it deletes only what it made itself; move them elsewhere, or give start another folder"
}

# refuse_ran_data HOME: start stops when HOME holds data that no unfinished
# first start left, which a cluster of DIR's may have run from: deleting
# it could lose a cluster.
refuse_ran_data() {
  [ -e "$1/data" ] || [ -L "$1/data" ] || return 0
  unfinished "$1" && return 0
  say "start: refusing the folder $1: it holds the data of a cluster made for $DIR, which may have run and may hold data, and $DIR holds no record of it (no cluster.env, or one of another cluster)"
  if server_pid "$1/data" >/dev/null 2>&1; then
    die "start deletes no such data, and its server runs (scripts/db stop $(printf '%q' "$DIR") stops it): if the folder of $DIR was moved or renamed, move it back in place of $DIR, which must not be there then"
  fi
  die "start deletes no such data: if the folder of $DIR was moved or renamed, move it back in place of $DIR, which must not be there then; if that data is not needed, delete $1/data and start again"
}
