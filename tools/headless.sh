# Sourced helpers for running the Windows program without a desktop: a private Xvfb on a free
# display number and a private Wine prefix. Only what these functions start is ever stopped.

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Starts Xvfb on the first free display from 90 on; sets DISPLAY and XVFB_PID.
start_xvfb() {
  local display=$(( 90 + RANDOM % 300 ))
  while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$display"
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && return 0
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
}

# Creates the Wine prefix given in WINEPREFIX once; later calls find it ready.
init_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
  fi
}

stop_prefix() { wineserver -k 2>/dev/null || true; }

# A screenshot of the whole (virtual) screen.
screenshot() { import -display "$DISPLAY" -window root "$1" 2>/dev/null; }
