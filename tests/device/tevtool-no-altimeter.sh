#!/usr/bin/env bash
# tevtool download without --sim on a machine with no altimeter: exactly one line on standard
# error, nothing on standard output, exit 1, within the 30 s it waits for one.
# Usage: tevtool-no-altimeter.sh <tevtool>
set -u
tevtool=$1
# A machine that has an altimeter plugged in cannot show this.
for uevent in /sys/class/hidraw/*/device/uevent; do
  [ -r "$uevent" ] || continue
  if grep -qiE '^HID_ID=0003:00001209:0000000[12]$' "$uevent"; then
    echo "an altimeter is plugged in here: skipped"
    exit 77
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
start=$(date +%s)
"$tevtool" download -o "$work" >"$work/out" 2>"$work/err"
status=$?
took=$(( $(date +%s) - start ))
echo "exit $status after ${took} s; standard error:"
cat "$work/err"
[ "$status" -eq 1 ] || { echo "FAILED: exit $status"; exit 1; }
[ ! -s "$work/out" ] || { echo "FAILED: standard output not empty"; exit 1; }
[ "$(wc -l <"$work/err")" -eq 1 ] || { echo "FAILED: not one line"; exit 1; }
grep -qx 'tevtool: .*no altimeter found' "$work/err" || { echo "FAILED: no plain reason"; exit 1; }
[ "$took" -le 40 ] || { echo "FAILED: waited ${took} s"; exit 1; }
[ -z "$(ls "$work" | grep -v -e '^out$' -e '^err$')" ] || { echo "FAILED: files were written"; exit 1; }
echo ok
