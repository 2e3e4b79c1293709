#!/usr/bin/env bash
# The Capture Data download benchmark under Wine, in a Wine desktop on an Xvfb display of its own:
# TevUsbDemo.exe against altimeter-sim (a full memory, 1 ms per report). Figures from one run.
# Usage: bench/capture-download.sh [BUILD_DIR]   (default build/mingw, built by ./benchmark)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/mingw}
source tools/scripts/wine-env.sh --xvfb
trap tev_stop_xvfb EXIT
[ -d "$WINEPREFIX" ] || tev_new_wine_prefix
work="$build/bench/capture-work"
mkdir -p "$work"
TEV_DEMO_EXE=$(winepath -w "$build/app/TevUsbDemo.exe")
TEV_SIM_EXE=$(winepath -w "${TEV_BENCH_SIM:-$build/tools/altimeter-sim/altimeter-sim.exe}")
TEV_WORK_DIR=$(winepath -w "$work")
TEV_BASE_PORT=$((30000 + ($$ % 100) * 10))
export TEV_DEMO_EXE TEV_SIM_EXE TEV_WORK_DIR TEV_BASE_PORT
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) (2 cores; other people's builds count)"
wine explorer "/desktop=tevbench$$,1280x1024" "$(winepath -w "$build/bench/capture_download_bench.exe")"
wineserver -w

# The same memory through tevtool.exe in the same conditions, for reference: start-up included.
port=$((TEV_BASE_PORT + 5))
out=$(mktemp -d)
start=$(date +%s%N)
wine "$build/tools/altimeter-sim/altimeter-sim.exe" --port "$port" --flights full --interval 1 < <(sleep 60) >/dev/null 2>&1 &
sim=$!
wine "$build/tools/tevtool/tevtool.exe" download -o "$(winepath -w "$out")" --sim "$port" >/dev/null 2>&1
end=$(date +%s%N)
kill "$sim" 2>/dev/null || true
rm -rf "$out"
awk -v ms=$(( (end - start) / 1000000 )) 'BEGIN { printf "tevtool.exe download, start-up included:       %8d ms  (x %.3f the device'"'"'s pace)\n", ms, ms / 4224 }'
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
