#!/usr/bin/env bash
# The Capture Data download benchmark under Wine: TevUsbDemo.exe against altimeter-sim (a full
# memory, one report a 1 ms frame), then the same memory through tevtool.exe. Figures from one run.
# Usage: bench/capture-download.sh [BUILD_DIR]   (default build/mingw, built by ./benchmark)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/mingw}
export TEV_BASE_PORT=${TEV_BASE_PORT:-$((30000 + ($$ % 100) * 10))}
bench/demo-bench.sh capture_download_bench "$build"

# The same memory through tevtool.exe in the same conditions, for reference.
source tools/scripts/wine-env.sh
bench/tevtool-download.sh "tevtool.exe download (Wine)" $((TEV_BASE_PORT + 5)) "$build/tools/tevtool/tevtool.exe" \
  "$build/tools/altimeter-sim/altimeter-sim.exe" wine
wineserver -w
