#!/usr/bin/env bash
# The CTest fixture behind the tests that open windows: a private Xvfb on the
# build's own display number, so that ctest gives the same answer with or
# without a display and never presses on anyone's screen.
#
# Usage: test-display.sh start|stop DISPLAY_NUMBER STATE_DIR [WINEPREFIX]
# STATE_DIR keeps the server's process id. With a WINEPREFIX (Windows builds),
# start waits for a session left from an earlier run to end and stop waits for
# the tests' session to end, so that no Wine session outlives its display.
set -euo pipefail
action=$1 number=$2 state=$3 prefix=${4:-}
pidfile="$state/xvfb.pid"

wait_for_wine_session() {
  if [ -n "$prefix" ] && [ -d "$prefix" ]; then
    WINEPREFIX="$prefix" timeout 60 wineserver -w 2>/dev/null || true
  fi
}

# Only the server this fixture started (its process id is in the state folder).
stop_our_server() {
  [ -f "$pidfile" ] || return 0
  local pid
  pid=$(cat "$pidfile")
  rm -f "$pidfile"
  if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
    kill "$pid"
    for _ in $(seq 100); do
      [ -d "/proc/$pid" ] || break
      sleep 0.05
    done
  fi
}

answers() { DISPLAY=":$number" xdpyinfo >/dev/null 2>&1; }

case $action in
  start)
    mkdir -p "$state"
    wait_for_wine_session
    stop_our_server
    if answers; then
      echo "test-display: display :$number is in use by another program;" \
        "configure with -DTRAMVEK_TEST_DISPLAY=<another number>" >&2
      exit 1
    fi
    # -noreset: between two tests the server would reset and refuse connections for a moment.
    setsid Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset </dev/null >/dev/null 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 200); do
      if answers; then
        echo "test-display: Xvfb on :$number"
        exit 0
      fi
      sleep 0.05
    done
    stop_our_server
    echo "test-display: Xvfb did not start on :$number" >&2
    exit 1
    ;;
  stop)
    wait_for_wine_session
    stop_our_server
    ;;
  *)
    echo "usage: test-display.sh start|stop DISPLAY_NUMBER STATE_DIR [WINEPREFIX]" >&2
    exit 2
    ;;
esac
