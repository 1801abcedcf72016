#!/usr/bin/env bash
# Runs the pgTAP files of this folder (*_test.sql) against the test database
# named by FERRULE_SERVER (host:port/dbname), FERRULE_USER and
# FERRULE_PASSWORD. Each file runs in a transaction that it rolls back.
# Exits 77 (skipped) without a database or without the extensions.
set -uo pipefail
dir=$(cd "$(dirname "$0")" && pwd)
if [ -z "${FERRULE_SERVER:-}" ] || [ -z "${FERRULE_USER:-}" ]; then
  echo "no test database set"; exit 77
fi
hostport=${FERRULE_SERVER%%/*}
export PGHOST=${hostport%%:*} PGPORT=${hostport##*:} PGDATABASE=${FERRULE_SERVER#*/}
export PGUSER=$FERRULE_USER PGPASSWORD=${FERRULE_PASSWORD:-}
PSQL=/usr/lib/postgresql/15/bin/psql
if [ "$("$PSQL" -X -tA -c "select count(*) from pg_extension where extname in ('pgtap','plpgsql_check')")" != 2 ]; then
  echo "pgtap and plpgsql_check are not installed in the test database (scripts/setup --tests, scripts/db start)"
  exit 77
fi
"$PSQL" -X -q -c "select ferrule_reset()" >/dev/null || exit 1
failed=0
for f in "$dir"/*_test.sql; do
  out=$("$PSQL" -X -q -tA -v ON_ERROR_STOP=1 -f "$f" 2>&1)
  rc=$?
  echo "$out"
  if [ $rc -ne 0 ] || grep -q -e '^not ok' -e '^# Looks like' <<<"$out"; then
    echo "FAILED: $(basename "$f")"; failed=1
  fi
done
exit $failed
