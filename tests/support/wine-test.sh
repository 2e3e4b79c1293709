#!/usr/bin/env bash
# Runs one test of the Windows build with the Wine server of its prefix to itself.
# Left alone, a server lingers a few seconds after its last program and a program starting while
# it exits loses its connection ("recvmsg: Connection reset by peer"). So: wait for (or end) any
# server still there, start one that stays up between the test's programs, and once the test has
# ended end that server and everything on it, so that nothing holds the test's output open and the
# next test starts clean. Usage: wine-test.sh COMMAND [ARGS...]   (WINEPREFIX must be set)
set -u
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-test.sh: WINEPREFIX is not set (source tools/scripts/wine-env.sh first)" >&2
  exit 2
fi

end_server() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
}

# A server normally goes within seconds of its last program; one that does not is a leftover
# (a test killed on its time-out).
timeout 20 wineserver -w >/dev/null 2>&1 || end_server
wineserver -p >/dev/null 2>&1
trap 'end_server; exit 130' INT TERM
"$@"
status=$?
end_server
exit "$status"
