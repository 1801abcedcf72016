# Sourced by the scripts that build: the number of parallel build jobs,
# FERRULE_JOBS when it is set (a positive number), else one per core.
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
