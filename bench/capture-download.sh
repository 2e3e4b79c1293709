#!/usr/bin/env bash
# The Capture Data download benchmark under Wine, in a Wine desktop on an Xvfb display of its own:
# TevUsbDemo.exe against altimeter-sim (a full memory, one report a 1 ms frame). Figures from one run.
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

# The same memory through tevtool.exe in the same conditions, for reference.
bench/tevtool-download.sh "tevtool.exe download (Wine)" $((TEV_BASE_PORT + 5)) "$build/tools/tevtool/tevtool.exe" \
  "$build/tools/altimeter-sim/altimeter-sim.exe" wine
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
