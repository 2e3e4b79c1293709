#!/usr/bin/env bash
# What the native tools make of the simulated altimeter's sample flights, for the browser tests to
# compare with: the files of `tevtool download --sim`, the plot and report of the second,
# the figures of `tevtool stats` of a sample, and `tevtool report` of a sample with and without
# its simulation, and its message for a simulation it cannot read.
# Usage: reference.sh <tevtool> <altimeter-sim> <out dir> <port>
set -euo pipefail
tevtool=$(realpath "$1") sim=$(realpath "$2") out=$3 port=$4
rm -rf "$out"
mkdir -p "$out/flights"
out=$(cd "$out" && pwd)
"$tevtool" download -o "$out/flights" --sim "$port" >"$out/download.out" 2>"$out/download.err" &
tool=$!
for _ in $(seq 1 100); do
  grep -q "waiting for an altimeter" "$out/download.err" 2>/dev/null && break
  sleep 0.1
done
mkfifo "$out/sim.in"
"$sim" --port "$port" --flights samples <"$out/sim.in" >"$out/sim.log" 2>&1 &
simpid=$!
exec 3>"$out/sim.in"
status=0
wait "$tool" || status=$?
echo quit >&3
exec 3>&-
wait "$simpid" || true
if [ "$status" -ne 0 ]; then
  echo "tevtool download --sim exited $status"; cat "$out/download.err"; exit 1
fi
"$tevtool" plot "$out/flights/flight-2.tev" 1 -o "$out/flight-2.svg"
(cd "$out/flights" && "$tevtool" report flight-2.tev -o "$out/flight-2-report.html")
(cd "$(dirname "$0")/../../samples" && "$tevtool" stats hop.tev 1) >"$out/hop-stats.txt"
samples=$(cd "$(dirname "$0")/../../samples" && pwd)
(cd "$samples" && "$tevtool" report sport.tev -o "$out/sport-report.html" &&
  "$tevtool" report sport.tev --sim sport-sim.csv -o "$out/sport-sim-report.html" &&
  "$tevtool" report sport.tev --sim sport-sim.csv --units ft -o "$out/sport-sim-ft-report.html")
printf 'Time (s),Altitude (ft)\n0,0\n0.5,twelve\n' >"$out/bad-sim.csv"
cp "$samples/sport.tev" "$out/sport.tev"
if (cd "$out" && "$tevtool" report sport.tev --sim bad-sim.csv -o bad-report.html 2>bad-sim.err); then
  echo "tevtool report took a simulation it cannot read"; exit 1
fi
