# Sourced by the scripts that build the project and run something against a
# private cluster (scripts/demo, scripts/test, scripts/bench).

# The number of parallel build jobs: FERRULE_JOBS when it is set (a
# positive number), else one per core.
build_jobs() {
  local jobs=${FERRULE_JOBS:-$(nproc)}
  case $jobs in
    '' | *[!0-9]* | 0*)
      echo "FERRULE_JOBS must be a positive number, not '$jobs'" >&2
      return 1
      ;;
  esac
  echo "$jobs"
}

# use_cluster ROOT DIR [--throwaway]: starts the cluster in DIR (or reloads
# it after database/ changed), exports its connection settings, and stops it
# again when the calling script exits if it was not running before.
use_cluster() {
  local db=$1/scripts/db dir=$2
  shift 2
  if ! "$db" status "$dir" >/dev/null 2>&1; then
    # shellcheck disable=SC2064  # the paths are fixed now, quoted for later
    trap "$(printf '%q ' "$db" stop "$dir")" EXIT
  fi
  "$db" start "$@" "$dir"
  eval "$("$db" env "$dir")"
  export FERRULE_SERVER FERRULE_USER FERRULE_PASSWORD
}
