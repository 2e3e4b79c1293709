# Sourced: hid-bridge.exe started under Wine in the background, and its end. Needs WINEPREFIX.
#   hid_bridge_start BRIDGE.exe TEVHID.inf PORT LOG   # returns once it listens (status 1 if it cannot)
#   hid_bridge_wait_line LOG TEXT [COUNT] [SECONDS]   # until LOG holds COUNT lines starting with TEXT
#   hid_bridge_stop                                   # unplugs its devices and ends it
hid_bridge_pid=""
hid_bridge_fifo=""

hid_bridge_wait_line() {
  local log=$1 text=$2 count=${3:-1} seconds=${4:-30} n
  for _ in $(seq $((seconds * 20))); do
    n=$(grep -c -F -- "$text" "$log" 2>/dev/null)
    [ "${n:-0}" -ge "$count" ] && return 0
    sleep 0.05
  done
  return 1
}

hid_bridge_start() {
  local exe=$1 inf=$2 port=$3 log=$4
  hid_bridge_fifo=$(mktemp -u)
  mkfifo "$hid_bridge_fifo"
  wine "$exe" --inf "$(winepath -w "$inf")" --port "$port" <"$hid_bridge_fifo" >"$log" 2>&1 &
  hid_bridge_pid=$!
  exec 7>"$hid_bridge_fifo"
  hid_bridge_wait_line "$log" "hid-bridge: listening on" 1 60
}

hid_bridge_stop() {
  [ -n "$hid_bridge_pid" ] || return 0
  # In a subshell: a bridge already gone would end the caller with SIGPIPE.
  (echo quit >&7) 2>/dev/null
  exec 7>&-
  for _ in $(seq 200); do kill -0 "$hid_bridge_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$hid_bridge_pid" 2>/dev/null || true
  rm -f "$hid_bridge_fifo"
  hid_bridge_pid=""
}
