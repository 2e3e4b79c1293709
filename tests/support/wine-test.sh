#!/usr/bin/env bash
# Runs one test of the Windows build with the Wine server of its prefix to itself.
# Left alone, a server lingers a few seconds after its last program and a program starting while
# it exits loses its connection ("recvmsg: Connection reset by peer"). So: wait for (or end) any
# server still there, start one that stays up between the test's programs, and once the test has
# ended end that server and everything on it, so that nothing holds the test's output open and the
# next test starts clean.
# Usage: wine-test.sh [--dpi N] COMMAND [ARGS...]   (WINEPREFIX must be set)
# --dpi N runs the test with the prefix's screen at N DPI (100 % is 96) and puts 96 back after.
set -u
dpi=""
if [ "${1:-}" = "--dpi" ]; then
  dpi=$2
  shift 2
fi
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-test.sh: WINEPREFIX is not set (source tools/scripts/wine-env.sh first)" >&2
  exit 2
fi

end_server() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
}

# Wine reads the screen's DPI from this value as each program starts.
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
}

# A server normally goes within seconds of its last program; one that does not is a leftover
# (a test killed on its time-out).
timeout 20 wineserver -w >/dev/null 2>&1 || end_server
restore_dpi() { :; }
if [ -n "$dpi" ]; then
  set_dpi "$dpi"
  restore_dpi() { set_dpi 96; }
fi
wineserver -p >/dev/null 2>&1
trap 'end_server; restore_dpi; exit 130' INT TERM
"$@"
status=$?
end_server
restore_dpi
exit "$status"
