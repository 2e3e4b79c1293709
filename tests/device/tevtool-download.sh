#!/usr/bin/env bash
# tevtool download against a native altimeter-sim over the sim link: a whole download saves each
# flight as the sample generator saves it, also from a sim told to send as fast as it can; a
# download that fails half-way exits 1 with the reason, keeps the flights read before and saves
# the flight it cut off under a name of its own.
# Usage: tevtool-download.sh <tevtool> <altimeter-sim> <samples folder>
set -u
tevtool=$1 sim=$2 samples=$3
work=$(mktemp -d)
pids=()
next_port=0
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  for f in "$work"/*.err "$work"/*.out; do echo "--- $f"; cat "$f"; done
  exit 1
}

# One run: tevtool listens, altimeter-sim plugs in with the given options. Sets $status.
run() {
  local name=$1
  shift
  mkdir -p "$work/$name"
  local port tool simpid
  for _ in 1 2 3 4 5; do
    # From TEV_BASE_PORT when given (above the Wine tests' ports), so that parallel runs never meet.
    if [ -n "${TEV_BASE_PORT:-}" ]; then port=$((TEV_BASE_PORT + 250 + next_port++)); else port=$((20000 + RANDOM % 20000)); fi
    "$tevtool" download -o "$work/$name" --sim "$port" >"$work/$name.out" 2>"$work/$name.err" &
    tool=$!
    # It says it waits once it has the port, and ends at once when it cannot have it.
    while kill -0 "$tool" 2>/dev/null && ! grep -q '^waiting for an altimeter' "$work/$name.err"; do sleep 0.02; done
    grep -q '^waiting for an altimeter' "$work/$name.err" && break
  done
  mkfifo "$work/$name.in"
  "$sim" --port "$port" "$@" <"$work/$name.in" >"$work/$name.sim.out" 2>&1 &
  simpid=$!
  pids+=("$simpid")
  exec 3>"$work/$name.in"
  wait "$tool"
  status=$?
  echo quit >&3
  exec 3>&-
  wait "$simpid"
}

run whole --flights hop,park,sport
[ "$status" -eq 0 ] || fail "whole download exited $status"
for pair in 1:hop 2:park 3:sport; do
  cmp "$work/whole/flight-${pair%%:*}.tev" "$samples/${pair#*:}.tev" || fail "flight ${pair%%:*} differs from ${pair#*:}.tev"
done
[ ! -e "$work/whole/flight-4.tev" ] || fail "a fourth flight appeared"
grep -q "^packet 48 read" "$work/whole.err" || fail "no progress line for the last packet"
grep -q "49 packets read, 3 flights saved" "$work/whole.err" || fail "no summary"

# The reply stream stops in packet 10 (in the second flight): 17 settings replies, then 33 a packet.
run broken --flights hop,park --withhold-reply $((17 + 33 * 10 + 5))
[ "$status" -eq 1 ] || fail "broken download exited $status"
cmp "$work/broken/flight-1.tev" "$samples/hop.tev" || fail "the flight read before the failure was not kept"
[ ! -e "$work/broken/flight-2.tev" ] || fail "the cut-off flight was saved under its final name"
[ "$(stat -c %s "$work/broken/flight-2.partial.tev")" -eq $((42 + 2 * 64)) ] || fail "no partial flight of 2 packets"
grep -q "tevtool: download failed after 10 packets: the altimeter stopped answering (-1); the flight cut off is in .*/flight-2.partial.tev (2 packets)" \
  "$work/broken.err" || fail "no reason given"

# The altimeter is pulled out while it sends the 24th of the 29 packets of its fourth flight
# (high). Mid-packet, not between packets: the host asks for packet 24 only once it has read the
# whole of packet 23, whereas a pull right after packet 23's last report would race the host's read.
run pulled --flights samples --unplug-after $((17 + 33 * (49 + 23) + 5))
[ "$status" -eq 1 ] || fail "pulled download exited $status"
for pair in 1:hop 2:park 3:sport; do
  cmp "$work/pulled/flight-${pair%%:*}.tev" "$samples/${pair#*:}.tev" || fail "flight ${pair%%:*} was not kept whole"
done
[ ! -e "$work/pulled/flight-4.tev" ] || fail "the cut-off flight was saved under its final name"
[ "$(stat -c %s "$work/pulled/flight-4.partial.tev")" -eq $((42 + 23 * 64)) ] || fail "no partial flight of 23 packets"
grep -q "tevtool: download failed after 72 packets: .*; the flight cut off is in .*/flight-4.partial.tev (23 packets)" \
  "$work/pulled.err" || fail "the error line does not name the partial flight"

# A sim with no report interval still sends no faster than a real device.
run fast --flights hop,park,sport --interval 0
[ "$status" -eq 0 ] || fail "download from a sim with --interval 0 exited $status"
for pair in 1:hop 2:park 3:sport; do
  cmp "$work/fast/flight-${pair%%:*}.tev" "$samples/${pair#*:}.tev" || fail "flight ${pair%%:*} differs (interval 0)"
done
echo "ok"
