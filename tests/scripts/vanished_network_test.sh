#!/usr/bin/env bash
# When the network between client and server vanishes (the server's link
# goes down, nothing answers any more), both ends notice it within a bounded
# time instead of waiting for TCP's own retries: a lookup and a batch being
# sent fail within about 35 s rather than a quarter of an hour, and the
# server ends the sessions of the vanished clients within about the same
# time: one that was idle in a transaction (a routing build not yet
# committed) rather than after two hours, so that another client's build,
# which waits for that one, goes ahead, and one whose answer it sent after
# the network vanished rather than after a quarter of an hour. The clients
# run in a network namespace of their own, joined to the server's by a veth
# pair whose server end is taken down. Needs root and network namespaces;
# skipped (77) without them.
set -euo pipefail
# shellcheck source=test_lib.sh
. "$(dirname "$0")/test_lib.sh"
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
inner='' clients='' home=''
cleanup() {
  for pid in $clients; do kill "$pid" 2>/dev/null || true; done
  [ -n "$inner" ] && kill "$inner" 2>/dev/null || true
  "$db" stop "$dir" >/dev/null 2>&1 || true
  [ -n "$home" ] && [ "$home" != "$dir" ] && rm -rf "$home"
  rm -rf "$work"
}
trap cleanup EXIT

# The server side (this namespace) and the clients' namespace.
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
local_server=$FERRULE_SERVER
sql() { PGPASSWORD=$FERRULE_PASSWORD psql -X -q -t -A "postgresql://$FERRULE_USER@$local_server" -c "$1"; }
sql "insert into vexa_subsystemList values ('DAQ',2);
     insert into vexa_hw_devices(serialnb) values ('sn_a'),('sn_b');
     insert into vexa_lg_devices(devicename,devicetypeID,deviceid,node,system_name,serialnb)
       values ('a',1,101,1,2,'sn_a'),('b',1,102,1,2,'sn_b')"
port=${FERRULE_SERVER#127.0.0.1:}
export FERRULE_SERVER=10.77.0.1:$port FERRULE_USER FERRULE_PASSWORD

# Beyond the link: a lookup and a batch that wait to be made, and a build of
# a's routing table left uncommitted.
for mode in lookup batch; do
  nsenter -t "$inner" -n "$probe" "$mode" "$work/go-$mode" >"$work/$mode" 2>&1 &
  clients="$clients $!"
done
nsenter -t "$inner" -n "$probe" build a "$work/never" >"$work/build" 2>&1 &
clients="$clients $!"
for _ in $(seq 100); do
  grep -q '^connected' "$work/lookup" && grep -q '^connected' "$work/batch" &&
    grep -q '^built' "$work/build" && break
  sleep 0.1
done
for mode in lookup batch; do
  grep -q '^connected' "$work/$mode" || fail "the $mode client did not connect: $(cat "$work/$mode")"
done
grep -q '^built 0 ' "$work/build" || fail "the build beyond the link: $(cat "$work/build")"

# The lookup goes out before the network vanishes, and waits for a lock
# that is let go after: the server then sends its answer into the void.
waiting_lookups="select count(*) from pg_locks l join pg_stat_activity a using (pid)
                 where not l.granted and a.client_addr = '10.77.0.2'"
# (The device types: the build beyond the link holds the devices.)
sql "begin; lock table vexa_lg_device_types in access exclusive mode; select pg_sleep(4); commit" \
  >/dev/null &
holder=$!
clients="$clients $holder"
held="select count(*) from pg_locks where mode = 'AccessExclusiveLock' and granted
      and relation = 'vexa_lg_device_types'::regclass"
for _ in $(seq 50); do [ "$(sql "$held")" = 1 ] && break; sleep 0.05; done
[ "$(sql "$held")" = 1 ] || fail "the device types could not be locked"
touch "$work/go-lookup"
for _ in $(seq 50); do [ "$(sql "$waiting_lookups")" = 1 ] && break; sleep 0.05; done
[ "$(sql "$waiting_lookups")" = 1 ] || fail "the lookup does not wait for the lock"

ip link set va down
vanished=$SECONDS
touch "$work/go-batch"
# On the server's side, b's build waits for a's to end.
FERRULE_SERVER=$local_server "$probe" build b >"$work/local" 2>&1 &
local_build=$!
clients="$clients $local_build"
kill -0 "$holder" 2>/dev/null || fail "the lock was let go before the network vanished"

# Each of them ends within 90 s.
all_ended() {
  grep -q '^result' "$work/lookup" && grep -q '^result' "$work/batch" &&
    ! kill -0 "$local_build" 2>/dev/null
}
for _ in $(seq 90); do all_ended && break; sleep 1; done
for mode in lookup batch; do
  result=$(grep '^result' "$work/$mode") || fail "no result of the $mode 90 s after the network vanished: $(cat "$work/$mode")"
  [[ $result == "result 3114 after "* ]] || fail "$mode: $result"
  echo "vanished network, $mode: $result"
done
local_result=$(grep '^built' "$work/local") ||
  fail "a build on the server's side still waits 90 s after the network vanished"
[[ $local_result =~ ^built\ 0\ after\ ([0-9]+)\ s ]] || fail "the build on the server's side: $local_result"
[ "${BASH_REMATCH[1]}" -lt 60 ] || fail "the build on the server's side waited ${BASH_REMATCH[1]} s"
echo "vanished network, a build waiting for a vanished client's: $local_result"

# The server ends every session of the vanished clients: those that waited
# for their client, and the lookup's, whose answer was never acknowledged.
sessions="select count(*) from pg_stat_activity where client_addr = '10.77.0.2'"
while [ "$(sql "$sessions")" != 0 ] && [ $((SECONDS - vanished)) -lt 60 ]; do sleep 1; done
left=$(sql "$sessions")
[ "$left" = 0 ] || fail "$left sessions of the vanished clients are still on the server after 60 s"
echo "vanished network: the server ended the vanished clients' sessions within $((SECONDS - vanished)) s"
