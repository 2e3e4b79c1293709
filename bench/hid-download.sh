#!/usr/bin/env bash
# Downloads through the system's HID stack under Wine (the tests' virtual HID device, fed by
# hid-bridge.exe from altimeter-sim): the release TevUsb.exe's Capture Data with Live Update off
# and on, tevtool.exe's download, each set against the physical limit (128 packets x 35 frames
# of 1 ms = 4,480 ms), and the stack's own report round trip. Figures from one run.
# Usage: bench/hid-download.sh [BUILD_DIR]   (default build/mingw, built by ./benchmark)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/mingw}
export TEV_BASE_PORT=${TEV_BASE_PORT:-$((31000 + ($$ % 100) * 10))}
source tools/scripts/wine-env.sh
source tests/hid/hid-bridge.sh
[ -d "$WINEPREFIX" ] || tev_new_wine_prefix
inf="$build/tests/hid/tevhid.inf"

echo "--- the report round trip (Win32HidBus, the virtual device echoing)"
bash tests/support/wine-test.sh wine "$build/bench/hid_roundtrip_bench.exe" "$(winepath -w "$inf")"

echo "--- TevUsb.exe, Capture Data"
TEV_BENCH_PROGRAM="$build/app/TevUsb.exe" TEV_HID_BRIDGE_EXE=$(winepath -w "$build/tests/hid/hid-bridge.exe") \
  TEV_HID_INF=$(winepath -w "$inf") bash bench/demo-bench.sh capture_download_bench "$build"

echo "--- tevtool.exe download"
work=$(mktemp -d)
run_tevtool() {
  hid_bridge_start "$build/tests/hid/hid-bridge.exe" "$inf" "$TEV_BASE_PORT" "$work/bridge.log" || { cat "$work/bridge.log"; return 1; }
  wine "$build/tools/altimeter-sim/altimeter-sim.exe" --port "$TEV_BASE_PORT" --flights full --interval 1 \
    < <(sleep 60) >/dev/null 2>&1 &
  hid_bridge_wait_line "$work/bridge.log" "Sim link: arrival of" 1 30 || { cat "$work/bridge.log"; return 1; }
  local start end status=0
  start=$(date +%s%N)
  wine "$build/tools/tevtool/tevtool.exe" download -o "$(winepath -w "$work")" >/dev/null 2>&1 || status=$?
  end=$(date +%s%N)
  hid_bridge_stop
  [ "$status" -eq 0 ] || { echo "tevtool.exe download through the HID stack failed (exit $status)"; return 1; }
  awk -v ms=$(( (end - start) / 1000000 )) \
    'BEGIN { printf "tevtool.exe download (found, then 128 packets): %8d ms  (x %.3f the limit of 4480 ms)\n", ms, ms / 4480 }'
}
export -f run_tevtool hid_bridge_start hid_bridge_wait_line hid_bridge_stop
export build inf work hid_bridge_pid hid_bridge_fifo
bash tests/support/wine-test.sh bash -c run_tevtool
rm -rf "$work"
