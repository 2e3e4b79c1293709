#!/usr/bin/env bash
# tevtool.exe without --sim finds the simulated altimeter through the system's HID stack (the
# bridge plugs it in as a HID device): every flight is byte for byte what tevtool.exe --sim reads
# from the same altimeter over the sim link; an altimeter pulled out mid-download ends the download
# at once with the flights read whole kept and the cut-off one under its partial name.
# Usage: tevtool-over-hid.sh <hid-bridge.exe> <tevhid.inf> <tevtool.exe> <altimeter-sim> <work dir>
set -u
bridge=$1 inf=$2 tevtool=$3 sim=$4 work=$5
source "$(dirname "$0")/hid-bridge.sh"
rm -rf "$work"
mkdir -p "$work" "$work/hid" "$work/link" "$work/pulled"
base=${TEV_BASE_PORT:-$((20000 + ($$ % 60) * 200))}
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  hid_bridge_stop
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  for f in "$work"/*.log "$work"/*.err; do echo "--- $f"; cat "$f"; done
  exit 1
}
win() { winepath -w "$1"; }

# A simulated altimeter on PORT with further options; its standard input on descriptor 3.
start_sim() {
  local port=$1 name=$2
  shift 2
  rm -f "$work/$name.in"
  mkfifo "$work/$name.in"
  "$sim" --port "$port" "$@" <"$work/$name.in" >"$work/$name-sim.log" 2>&1 &
  sim_pid=$!
  exec 3>"$work/$name.in"
}
end_sim() {
  echo quit >&3
  exec 3>&-
  wait "$sim_pid"
  sim_pid=""
}

hid_bridge_start "$bridge" "$inf" "$base" "$work/bridge.log" || fail "the bridge does not listen"

# Through the HID stack.
start_sim "$base" hid --flights samples
hid_bridge_wait_line "$work/bridge.log" "Sim link: arrival of" 1 30 || fail "the altimeter was not plugged in"
timeout 120 wine "$tevtool" download -o "$(win "$work/hid")" >"$work/hid.out" 2>"$work/hid.err"
status=$?
[ "$status" -eq 0 ] || fail "tevtool.exe download through the HID stack exited $status"
end_sim
hid_bridge_wait_line "$work/bridge.log" "Sim link: removal of" 1 30 || fail "the altimeter was not unplugged"

# The same altimeter over the sim link.
timeout 120 wine "$tevtool" download -o "$(win "$work/link")" --sim $((base + 1)) >"$work/link.out" 2>"$work/link.err" &
tool=$!
hid_bridge_wait_line "$work/link.err" "waiting for an altimeter" 1 60 || fail "tevtool --sim does not listen"
start_sim $((base + 1)) link --flights samples
wait "$tool" || fail "tevtool.exe download --sim exited $?"
end_sim

count=0
for f in "$work"/link/flight-*.tev; do
  cmp "$f" "$work/hid/$(basename "$f")" || fail "$(basename "$f") differs between the HID stack and the sim link"
  count=$((count + 1))
done
[ "$count" -eq 4 ] || fail "$count flights over the sim link, 4 expected"
[ "$(ls "$work"/hid | wc -l)" -eq 4 ] || fail "the HID download saved other files: $(ls "$work"/hid)"
grep -q "78 packets read, 4 flights saved" "$work/hid.err" || fail "no summary through the HID stack"

# Pulled out mid-packet in the fourth flight (17 settings replies, then 33 reports a packet).
start_sim "$base" pulled --flights samples --unplug-after $((17 + 33 * (49 + 23) + 5))
hid_bridge_wait_line "$work/bridge.log" "Sim link: arrival of" 2 30 || fail "the altimeter was not plugged in again"
timeout 60 wine "$tevtool" download -o "$(win "$work/pulled")" >"$work/pulled.out" 2>"$work/pulled.err"
status=$?
[ "$status" -eq 1 ] || fail "the pulled download exited $status (124: it hung)"
for n in 1 2 3; do
  cmp "$work/pulled/flight-$n.tev" "$work/link/flight-$n.tev" || fail "flight $n was not kept whole"
done
[ ! -e "$work/pulled/flight-4.tev" ] || fail "the cut-off flight was saved under its final name"
[ -e "$work/pulled/flight-4.partial.tev" ] || fail "no partial flight"
grep -q "tevtool: download failed after 72 packets: .*flight-4.partial.tev (23 packets)" "$work/pulled.err" ||
  fail "the error line does not name the partial flight"
end_sim
echo "ok"
