#!/usr/bin/env bash
# Runs one benchmark that drives TevUsbDemo.exe and altimeter-sim from outside, under Wine in a
# Wine desktop on an Xvfb display of its own. Figures from one run.
# Usage: bench/demo-bench.sh NAME [BUILD_DIR]   (NAME: capture_download_bench, dialog_endurance_bench;
#        BUILD_DIR default build/mingw, built by ./benchmark)
# TEV_BENCH_PROGRAM names another program than the demo (the release TevUsb.exe, with TEV_HID_*
# for the HID stack: bench/hid-download.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
name=$1 build=${2:-build/mingw}
source tools/scripts/wine-env.sh --xvfb
trap tev_stop_xvfb EXIT
[ -d "$WINEPREFIX" ] || tev_new_wine_prefix
work="$build/bench/$name-work"
mkdir -p "$work"
TEV_DEMO_EXE=$(winepath -w "${TEV_BENCH_PROGRAM:-$build/app/TevUsbDemo.exe}")
TEV_SIM_EXE=$(winepath -w "${TEV_BENCH_SIM:-$build/tools/altimeter-sim/altimeter-sim.exe}")
TEV_WORK_DIR=$(winepath -w "$work")
TEV_BASE_PORT=${TEV_BASE_PORT:-$((30000 + ($$ % 100) * 10))}
export TEV_DEMO_EXE TEV_SIM_EXE TEV_WORK_DIR TEV_BASE_PORT
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) (2 cores; other people's builds count)"
wine explorer "/desktop=tevbench$$,1280x1024" "$(winepath -w "$build/bench/$name.exe")"
wineserver -w
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
