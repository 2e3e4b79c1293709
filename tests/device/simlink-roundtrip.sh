#!/usr/bin/env bash
# End to end over the sim link: starts the host program (which listens on a free port and prints
# it), then plugs a native altimeter-sim into it, and reports the host's verdict.
# Usage: simlink-roundtrip.sh <altimeter-sim> <host command...>
set -u
sim=$1
shift
if [ ! -x "$sim" ]; then
  echo "altimeter-sim not found at $sim: build the native tree first (./test does)"
  exit 1
fi
work=$(mktemp -d)
hostpid='' simpid=''
cleanup() {
  [ -n "$simpid" ] && kill "$simpid" 2>/dev/null
  [ -n "$hostpid" ] && kill "$hostpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$@" >"$work/host.out" 2>&1 &
hostpid=$!
port=''
for _ in $(seq 1200); do
  port=$(sed -n 's/^port \([0-9][0-9]*\).*/\1/p' "$work/host.out" | head -n 1)
  [ -n "$port" ] && break
  kill -0 "$hostpid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "the host program never listened:"
  cat "$work/host.out"
  exit 1
fi

mkfifo "$work/commands"
"$sim" --port "$port" --serial RoundTrip <"$work/commands" >"$work/sim.out" 2>&1 &
simpid=$!
exec 3>"$work/commands"
wait "$hostpid"
status=$?
hostpid=''
echo quit >&3
exec 3>&-
wait "$simpid"
simpid=''
echo "--- host"
cat "$work/host.out"
echo "--- altimeter-sim"
cat "$work/sim.out"
exit "$status"
