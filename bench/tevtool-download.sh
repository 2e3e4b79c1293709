#!/usr/bin/env bash
# A full altimeter memory through `tevtool download` against altimeter-sim (1 ms per report),
# start-up included, set against the frame pace (4,224 reports, one a 1 ms frame). One run.
# Usage: bench/tevtool-download.sh LABEL PORT TEVTOOL SIM [RUNNER]   (RUNNER: wine, or nothing)
set -euo pipefail
label=$1 port=$2 tevtool=$3 sim=$4 runner=${5:-}
out=$(mktemp -d)
path() { if [ -n "$runner" ]; then winepath -w "$1"; else echo "$1"; fi; }
start=$(date +%s%N)
$runner "$sim" --port "$port" --flights full --interval 1 < <(sleep 60) >/dev/null 2>&1 &
simpid=$!
status=0
$runner "$tevtool" download -o "$(path "$out")" --sim "$port" >/dev/null 2>&1 || status=$?
end=$(date +%s%N)
kill "$simpid" 2>/dev/null || true
rm -rf "$out"
[ "$status" -eq 0 ] || { echo "$label: tevtool download failed (exit $status)"; exit 1; }
awk -v ms=$(( (end - start) / 1000000 )) -v label="$label" \
  'BEGIN { printf "%-46s %8d ms  (x %.3f the frame pace)\n", label ", start-up included:", ms, ms / 4224 }'
