# Helpers the tests of scripts/ share; sourced, not run.

fail() { echo "FAILED: $*" >&2; exit 1; }

# Runs a command as the account that owns the clusters: the server's
# account when the tests run as root (initdb and pg_ctl refuse root),
# else this user.
as_owner() {
  if [ "$(id -u)" = 0 ]; then
    (cd / && setpriv --reuid=postgres --regid=postgres --init-groups -- "$@")
  else
    "$@"
  fi
}

# The folder under /tmp that holds the data of a cluster folder whose own
# path will not do, as scripts/db-lib/folders.sh names it.
tmp_home_of() {
  local key
  key=$(printf '%s' "$(realpath -m -- "$1")" | sha256sum | cut -c1-16)
  if [ "$(id -u)" = 0 ]; then echo "/tmp/ferrule-db-$key"; else echo "/tmp/ferrule-db-$(id -u)-$key"; fi
}

# A setting of a cluster folder's cluster.env (HOME_DIR, PORT, ...), empty
# when there is none.
cluster_setting() {
  sed -n "s/^$2=//p" "$1/cluster.env" 2>/dev/null || true
}

# Stops the cluster of DIR with the scripts/db given and removes its home
# under /tmp, if it has one.
remove_cluster() {
  local db=$1 dir=$2 home
  "$db" stop "$dir" >/dev/null 2>&1 || true
  home=$(cluster_setting "$dir" HOME_DIR)
  [ -n "$home" ] && [ "$home" != "$dir" ] && rm -rf "$home"
  return 0
}

# Stops at once every server whose data lies below the folders given.
stop_servers_below() {
  local pid
  while IFS= read -r -d '' pid; do
    as_owner /usr/lib/postgresql/15/bin/pg_ctl stop -D "${pid%/postmaster.pid}" -m immediate -w -s \
      >/dev/null 2>&1 || true
  done < <(find "$@" -name postmaster.pid -print0 2>/dev/null)
}
