#!/usr/bin/env bash
# The README's command blocks, pasted as a user pastes them, twice each: in
# a copy of the checkout (without its builds and clusters), so that its
# builds and clusters are the copy's own. The blocks of the tests and the
# benchmarks are one command each and are not run here; the demo's is, and
# so is the block that builds a program of one's own against the library.
#
# Every block runs as on a machine that has what the library needs but not
# the packages only the tests need, and where nothing can be installed:
# dpkg-query reports those packages missing, and apt-get and sudo fail.
set -euo pipefail
# shellcheck source=test_lib.sh
. "$(dirname "$0")/test_lib.sh"
repo=$1
sandbox=$(mktemp -d /tmp/ferrule-readme-test.XXXXXX)
chmod 755 "$sandbox"
cleanup() {
  local dir home
  for dir in "$sandbox"/.db*; do
    [ -f "$dir/cluster.env" ] || continue
    home=$(sed -n 's/^HOME_DIR=//p' "$dir/cluster.env")
    "$sandbox/scripts/db" stop "$dir" >/dev/null 2>&1 || true
    [ -n "$home" ] && [ "$home" != "$dir" ] && rm -rf "$home"
  done
  rm -rf "$sandbox"
}
trap cleanup EXIT

for entry in "$repo"/*; do
  case ${entry##*/} in build*) continue ;; esac
  cp -r "$entry" "$sandbox/"
done

shims=$sandbox/.shims
mkdir "$shims"
cat >"$shims/dpkg-query" <<'EOF'
#!/bin/sh
for arg in "$@"; do
  case $arg in
    libgtest-dev | libgmock-dev | postgresql-15-pgtap | postgresql-15-plpgsql-check | libbenchmark-dev)
      echo "dpkg-query: no packages found matching $arg" >&2
      exit 1
      ;;
  esac
done
exec /usr/bin/dpkg-query "$@"
EOF
for tool in apt-get apt sudo; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\nexit 1\n' "$tool" "$sandbox/install-attempts" >"$shims/$tool"
done
chmod 755 "$shims"/*

# Indented code blocks, each ended by a NUL. Fenced blocks hold what
# programs print, not commands, and are skipped.
readme_blocks() {
  awk '/^```/ { fenced = !fenced; next }
       fenced { next }
       /^    / { print substr($0, 5); inside = 1; next }
       inside { printf "%c", 0; inside = 0 }
       END { if (inside) printf "%c", 0 }' "$repo/README.md"
}

# No block puts the cluster's password on a command line, where every user
# of the machine reads it: only in a variable of a program's environment.
while IFS= read -r -d '' block; do
  # shellcheck disable=SC2016  # the pattern holds a $ of its own
  if grep -v -E '(^|[[:space:]])PGPASSWORD="\$FERRULE_PASSWORD"' <<<"$block" | grep -q 'FERRULE_PASSWORD'; then
    fail "a README block gives the password on a command line:"$'\n'"$block"
  fi
done < <(readme_blocks)

# No block deletes by hand what a cluster is made of, nor a path read from
# its records: in a copied or renamed checkout those name another
# checkout's folders, with its data. scripts/db remove deletes a cluster.
while IFS= read -r -d '' block; do
  if grep -q -E '(^|[;&|[:space:]])rm[[:space:]]' <<<"$block" && grep -q -E '\.db|cluster\.env|HOME_DIR|/tmp/ferrule-db' <<<"$block"; then
    fail "a README block deletes a cluster's files by hand:"$'\n'"$block"
  fi
done < <(readme_blocks)

long_commands=0
count=0
demo_ran=0
client_ran=0
while IFS= read -r -d '' block; do
  count=$((count + 1))
  case $block in
    $'scripts/test\n' | $'scripts/bench\n')
      long_commands=$((long_commands + 1))
      continue
      ;;
  esac
  for paste in 1 2; do
    (cd "$sandbox" && PATH="$shims:$PATH" bash -e -o pipefail -c "$block") \
      >"$sandbox/stdout" 2>"$sandbox/stderr" ||
      fail "README block $count, pasted $paste times, failed: $(cat "$sandbox/stderr")"$'\n'"$block"
  done
  case $block in
    $'scripts/demo\n')
      grep -q 'NO_ERROR in LoadRoutingtable' "$sandbox/stdout" || fail "the demo printed no routes"
      demo_ran=1
      ;;
    *examples/client.c*)
      grep -q '^SWITCH: |devicetype (C):SWITCH |' "$sandbox/stdout" ||
        fail "the client printed no row: $(cat "$sandbox/stdout")"
      client_ran=1
      ;;
  esac
done < <(readme_blocks)

[ "$long_commands" = 2 ] ||
  fail "expected the tests and the benchmarks as one command each; found $long_commands"
[ "$demo_ran" = 1 ] || fail "no block of the demo found"
[ "$client_ran" = 1 ] || fail "no block that builds examples/client.c found"
[ ! -e "$sandbox/install-attempts" ] ||
  fail "a block tried to install packages: $(cat "$sandbox/install-attempts")"

# The subsystem block records what the example uses, once.
eval "$("$sandbox/scripts/db" env)"
names=$(PGPASSWORD=$FERRULE_PASSWORD psql -X -q -t -A "postgresql://$FERRULE_USER@$FERRULE_SERVER" \
  -c "select string_agg(system_name || '=' || systemid, ',' order by systemid) from vexa_subsystemList")
[ "$names" = "DAQ=2,TFC=3" ] || fail "subsystems recorded: $names"
grep -q "values ('DAQ',2),('TFC',3);" "$repo/examples/demo.cpp" ||
  fail "the example records other subsystems than the README"
echo "README: every command block works pasted twice"
