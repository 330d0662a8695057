# Sourced: start_xvfb starts a private X server on a free display for this
# shell and its children (Wine's windows, editor tests) unless $DISPLAY already
# answers; stop_xvfb stops it again (start_xvfb also arranges that on exit).
start_xvfb() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fdfile" </dev/null >/dev/null 2>&1 &
  TRAMVEK_XVFB_PID=$!
  trap stop_xvfb EXIT
  for _ in $(seq 200); do
    [ -s "$fdfile" ] && break
    sleep 0.05
  done
  if [ ! -s "$fdfile" ]; then
    rm -f "$fdfile"
    echo "xvfb: the X server did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

stop_xvfb() {
  if [ -n "${TRAMVEK_XVFB_PID:-}" ]; then
    kill "$TRAMVEK_XVFB_PID" 2>/dev/null || true
    wait "$TRAMVEK_XVFB_PID" 2>/dev/null || true
    TRAMVEK_XVFB_PID=
  fi
}
