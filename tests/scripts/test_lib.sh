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
