#!/usr/bin/env bash
# End to end over the sim link: starts the host program (native, or a .exe under Wine), which
# listens on a free port and prints it, plugs a native altimeter-sim into it and reports the host's
# verdict. The download and the update are also checked byte for byte against what the simulator
# holds or was given.
# Usage: simlink-roundtrip.sh settings|download|update <altimeter-sim> <make-firmware> <host command...>
set -u
mode=$1 sim=$2 makefw=$3
shift 3
for tool in "$sim" "$makefw"; do
  if [ ! -x "$tool" ]; then
    echo "$tool not found: build the native tree first (./test does)"
    exit 1
  fi
done
work=$(mktemp -d)
hostpid='' simpid=''
cleanup() {
  [ -n "$simpid" ] && kill "$simpid" 2>/dev/null
  [ -n "$hostpid" ] && kill "$hostpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A path as the host program sees it.
host_path() {
  if [ "$1" = wine ]; then winepath -w "$2"; else echo "$2"; fi
}

case "$mode" in
  settings)
    sim_args=()
    host_args=(settings)
    ;;
  download)
    sim_args=(--flights hop,park,sport --dump-memory "$work/memory.bin")
    host_args=(download "$(host_path "$1" "$work/downloaded.bin")")
    ;;
  update)
    # An image with data, a blank stretch the update must skip, and data again.
    { head -c 20000 /dev/urandom; head -c 4096 /dev/zero | tr '\0' '\377'; head -c 41440 /dev/urandom; } >"$work/image.bin"
    "$makefw" --firmware 0x0142 "$work/image.bin" "$work/firmware.dat" || exit 1
    sim_args=(--personality bootloader --programmed-image "$work/programmed.bin")
    host_args=(update "$(host_path "$1" "$work/firmware.dat")")
    ;;
  *)
    echo "unknown mode $mode"
    exit 2
    ;;
esac

"$@" "${host_args[@]}" >"$work/host.out" 2>&1 &
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
"$sim" --port "$port" --serial RoundTrip "${sim_args[@]}" <"$work/commands" >"$work/sim.out" 2>&1 &
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
[ "$status" -eq 0 ] || exit "$status"

case "$mode" in
  download) cmp "$work/memory.bin" "$work/downloaded.bin" || { echo "the download differs from the memory"; exit 1; } ;;
  update) cmp "$work/image.bin" "$work/programmed.bin" || { echo "the programmed image differs from the file's"; exit 1; } ;;
esac
echo "round trip ok"
