#!/bin/bash
# Stops what fixture_start.sh started, by process id and by this run's own prefix only.
set -uo pipefail
state=$1
export WINEPREFIX=$state/prefix
wineserver -k 2>/dev/null || true
if [ -f "$state/xvfb.pid" ]; then
  kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
  rm -f "$state/xvfb.pid"
fi
exit 0
