# Shared by the run and test commands: a virtual display and one Wine session per run.
# shellcheck shell=bash

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

xvfb_pid=""

# Starts Xvfb on a free display number and exports DISPLAY.
start_xvfb() {
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 </dev/null &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$number_file" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(tr -d '[:space:]' <"$number_file")"
  rm -f "$number_file"
}

stop_xvfb() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
}

# Creates the prefix if needed, then keeps one wineserver (and Wine's own service processes)
# running for the whole run, so that each program starts in a fraction of a second. The service
# processes start here, away from the test runner's output pipes, which they would hold open.
start_wine() {
  "$root/scripts/wine-prefix" >/dev/null
  # A server already running for this prefix (an earlier run's) is as good.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  "$root/scripts/wine-exec" wineboot >/dev/null 2>&1 </dev/null || true
}

stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
}
