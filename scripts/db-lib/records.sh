# shellcheck shell=bash
# Sourced by scripts/db: the records of a cluster, whose path they name, and
# what they prove.
#
# In DIR:
#   made-by-scripts-db  the mark: the path of DIR, written before start
#                       makes anything in DIR
#   cluster.env         DIR's path again, and the port, the password and the
#                       home; written last by the first start that completes,
#                       so that a cluster.env means a complete cluster
#   database.sha256     a hash of the SQL files the database was loaded from
#   cluster.lock        the lock (folders.sh)
# In the home, where the data lives (DIR itself, or a folder under /tmp):
#   made-by-scripts-db  the mark, holding DIR's path
#   unfinished-start    DIR's path, written before a first start makes the
#                       data and removed once that start completed: the
#                       proof that no cluster ever ran from that data, and so
#                       the only data that start deletes
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

# mark FOLDER: writes DIR's mark there, unless it is there already.
mark() {
  marked "$1" && return 0
  { printf '%s\n' "$DIR" >"$1/$MARK"; } 2>/dev/null || die "start: cannot write in the folder $1"
  made "$1/$MARK"
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

# start stops, changing nothing, when DIR holds the records of another
# path's cluster.
refuse_moved_records() {
  local origin
  origin=$(records_made_for) || return 0
  say "start: refusing the folder $DIR: $(moved_records "$origin"); that cluster may hold data and may be running"
  die "to use it, move this folder back to $origin (or use $origin, if it is still there); for a new cluster, give start another folder"
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
  die "start deletes no such data: if $DIR was moved, renamed or copied, move it back; if that data is not needed, delete $1/data and start again"
}
