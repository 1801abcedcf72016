#!/usr/bin/env bash
# A call on an open connection whose network vanishes (the server's link
# goes down, nothing answers any more) fails within a bounded time instead
# of waiting for TCP's own retries, a quarter of an hour. The client runs in
# a network namespace of its own, joined to the server's by a veth pair
# whose server end is taken down. Needs root and network namespaces; skipped
# (77) without them.
set -euo pipefail
repo=$1 probe=$2
db=$repo/scripts/db
[ "$(id -u)" = 0 ] || { echo "needs root: skipped"; exit 77; }
unshare -n ip link add va type veth peer name vb 2>/dev/null ||
  { echo "no network namespaces with veth pairs here: skipped"; exit 77; }

# The server runs in a namespace of this test's own, too.
if [ -z "${FERRULE_VANISH_INSIDE:-}" ]; then
  FERRULE_VANISH_INSIDE=1 exec unshare -n "$0" "$@"
fi

work=$(mktemp -d /tmp/ferrule-vanish-test.XXXXXX)
chmod 755 "$work"
dir=$work/db
inner='' client='' home=''
cleanup() {
  [ -n "$client" ] && kill "$client" 2>/dev/null || true
  [ -n "$inner" ] && kill "$inner" 2>/dev/null || true
  "$db" stop "$dir" >/dev/null 2>&1 || true
  [ -n "$home" ] && [ "$home" != "$dir" ] && rm -rf "$home"
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# The server side (this namespace) and the client's namespace.
ip link set lo up
ip link add va type veth peer name vb
unshare -n sleep 600 &
inner=$!
for _ in $(seq 50); do
  [ "$(readlink "/proc/$inner/ns/net")" != "$(readlink /proc/$$/ns/net)" ] && break
  sleep 0.1
done
ip link set vb netns "$inner"
ip addr add 10.77.0.1/24 dev va
ip link set va up
nsenter -t "$inner" -n sh -c 'ip link set lo up && ip addr add 10.77.0.2/24 dev vb && ip link set vb up'

"$db" start --throwaway "$dir" 2>/dev/null
home=$(sed -n 's/^HOME_DIR=//p' "$dir/cluster.env")
setpriv --reuid=postgres --regid=postgres --init-groups -- sh -c "
  echo \"listen_addresses = '127.0.0.1,10.77.0.1'\" >>'$home/data/postgresql.conf'
  echo 'host all all 10.77.0.0/24 scram-sha-256' >>'$home/data/pg_hba.conf'"
"$db" stop "$dir" 2>/dev/null
"$db" start --throwaway "$dir" 2>/dev/null
eval "$("$db" env "$dir")"
PGPASSWORD=$FERRULE_PASSWORD psql -X -q "postgresql://$FERRULE_USER@$FERRULE_SERVER" \
  -c "insert into vexa_subsystemList values ('DAQ',2)"
port=${FERRULE_SERVER#127.0.0.1:}
export FERRULE_SERVER=10.77.0.1:$port FERRULE_USER FERRULE_PASSWORD

nsenter -t "$inner" -n "$probe" "$work/go" >"$work/out" 2>&1 &
client=$!
for _ in $(seq 100); do grep -q '^connected' "$work/out" && break; sleep 0.1; done
grep -q '^connected' "$work/out" || fail "the client did not connect: $(cat "$work/out")"

ip link set va down
touch "$work/go"
for _ in $(seq 90); do kill -0 "$client" 2>/dev/null || break; sleep 1; done
kill -0 "$client" 2>/dev/null && fail "the call still waits 90 s after the network vanished"
client=''
result=$(grep '^result' "$work/out") || fail "no result: $(cat "$work/out")"
[[ $result == "result 3114 after "* ]] || fail "$result"
echo "vanished network: $result"
