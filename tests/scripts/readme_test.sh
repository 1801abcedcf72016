#!/usr/bin/env bash
# The README's command blocks, pasted as a user pastes them, twice each: in
# a copy of the scripts and of database/, so that its clusters are the
# copy's own. The blocks of the long commands (demo, tests, benchmarks) are
# one command each and are not run here.
set -euo pipefail
repo=$1
sandbox=$(mktemp -d /tmp/ferrule-readme-test.XXXXXX)
chmod 755 "$sandbox"
cleanup() {
  local home=''
  if [ -f "$sandbox/.db/cluster.env" ]; then
    home=$(sed -n 's/^HOME_DIR=//p' "$sandbox/.db/cluster.env")
  fi
  "$sandbox/scripts/db" stop >/dev/null 2>&1 || true
  [ -n "$home" ] && [ "$home" != "$sandbox/.db" ] && rm -rf "$home"
  rm -rf "$sandbox"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cp -r "$repo/scripts" "$repo/database" "$sandbox/"

# Indented code blocks, each ended by a NUL. Fenced blocks hold what
# programs print, not commands, and are skipped.
readme_blocks() {
  awk '/^```/ { fenced = !fenced; next }
       fenced { next }
       /^    / { print substr($0, 5); inside = 1; next }
       inside { printf "%c", 0; inside = 0 }
       END { if (inside) printf "%c", 0 }' "$repo/README.md"
}

long_commands=0
count=0
while IFS= read -r -d '' block; do
  count=$((count + 1))
  case $block in
    $'scripts/demo\n' | $'scripts/test\n' | $'scripts/bench\n')
      long_commands=$((long_commands + 1))
      continue
      ;;
  esac
  for paste in 1 2; do
    (cd "$sandbox" && bash -e -o pipefail -c "$block") >/dev/null 2>"$sandbox/stderr" ||
      fail "README block $count, pasted $paste times, failed: $(cat "$sandbox/stderr")"$'\n'"$block"
  done
done < <(readme_blocks)

[ "$long_commands" = 3 ] ||
  fail "expected the demo, the tests and the benchmarks as one command each; found $long_commands"
[ "$count" -gt "$long_commands" ] || fail "no other README block found"

# The subsystem block records what the example uses, once.
eval "$("$sandbox/scripts/db" env)"
names=$(PGPASSWORD=$FERRULE_PASSWORD psql -X -q -t -A "postgresql://$FERRULE_USER@$FERRULE_SERVER" \
  -c "select string_agg(system_name || '=' || systemid, ',' order by systemid) from vexa_subsystemList")
[ "$names" = "DAQ=2,TFC=3" ] || fail "subsystems recorded: $names"
grep -q "values ('DAQ',2),('TFC',3);" "$repo/examples/demo.cpp" ||
  fail "the example records other subsystems than the README"
echo "README: every command block works pasted twice"
