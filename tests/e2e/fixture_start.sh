#!/bin/bash
# Starts what every end-to-end test shares: a private Xvfb and a private Wine prefix, initialised
# once per run. Usage: fixture_start.sh STATE_DIR. The state dir records the display and the pid.
set -euo pipefail
state=$1
source "$(dirname "$0")/../../tools/headless.sh"
chattr -R -i "$state/work" 2>/dev/null || true  # a folder a stopped test left immutable
rm -rf "$state/work"
mkdir -p "$state/work"
export WINEPREFIX=$state/prefix
start_xvfb </dev/null
echo "$DISPLAY" > "$state/display"
echo "$XVFB_PID" > "$state/xvfb.pid"
init_prefix </dev/null
# A persistent wineserver keeps the later start-ups of every test short.
wineserver -p </dev/null >/dev/null 2>&1 || true
echo "Xvfb on $DISPLAY (pid $XVFB_PID), Wine prefix $WINEPREFIX"
