#!/usr/bin/env bash
# Runs the shell test driver under Wine inside a virtual desktop (so that screenshots show the
# title bar and menu, which bare Xvfb has no window manager to draw); its screenshots land in
# SHOT_DIR as PNG files. Usage: run-driver.sh DRIVER.exe DEMO.exe TEVTOOL.exe SIM.exe SAMPLE.tev WORK_DIR SHOT_DIR
#                                     [BRIDGE.exe TEVHID.inf]
# With the bridge and the virtual HID device's INF, the simulated altimeters reach the program
# (DEMO.exe is then the release TevUsb.exe) through the system's HID stack, not the sim link.
set -uo pipefail
driver=$1 demo=$2 tevtool=$3 sim=$4 sample=$5 work=$6 shots=$7 bridge=${8:-} inf=${9:-}
mkdir -p "$work" "$shots"
rm -f "$shots"/*.png

TEV_DEMO_EXE=$(winepath -w "$demo")
TEV_TEVTOOL_EXE=$(winepath -w "$tevtool")
TEV_SIM_EXE=$(winepath -w "$sim")
TEV_SAMPLE_FILE=$(winepath -w "$sample")
TEV_WORK_DIR=$(winepath -w "$work")
TEV_SHOT_DIR=$(winepath -w "$shots")
# Sim-link ports of this run, one per program the driver starts (200 at most), below the system's
# range for outgoing connections; parallel runs of other worktrees take others, or name their own
# in TEV_BASE_PORT.
TEV_BASE_PORT=${TEV_BASE_PORT:-$((20000 + ($$ % 60) * 200))}
export TEV_DEMO_EXE TEV_TEVTOOL_EXE TEV_SIM_EXE TEV_SAMPLE_FILE TEV_WORK_DIR TEV_SHOT_DIR TEV_BASE_PORT
if [ -n "$bridge" ]; then
  TEV_HID_BRIDGE_EXE=$(winepath -w "$bridge")
  TEV_HID_INF=$(winepath -w "$inf")
  export TEV_HID_BRIDGE_EXE TEV_HID_INF
fi

# explorer returns when the desktop's last program ends, but not that program's exit code:
# the verdict is read from the test output instead.
output="$work/driver-output.txt"
timeout 600 wine explorer "/desktop=tevshell$$,1280x1024" "$(winepath -w "$driver")" 2>&1 \
  | tee "$output"
echo "Screenshots: $shots"
if grep -q '^\[  PASSED  \]' "$output" && ! grep -q '^\[  FAILED  \]' "$output"; then exit 0; fi
# A long log may be shown cut in the middle: its end says what went wrong.
echo "What failed:"
grep -E -A8 '(: Failure|\): error: .*)$' "$output" | grep -v '^wine: '
exit 1
