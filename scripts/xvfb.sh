# Sourced: start_xvfb starts a private X server on a free display for this
# shell and its children (Wine's windows, editor tests) and stops it on exit.
start_xvfb() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
  TRAMVEK_XVFB_PID=$!
  trap 'kill "$TRAMVEK_XVFB_PID" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}
