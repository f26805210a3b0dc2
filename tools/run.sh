#!/bin/bash
# Installs what is missing, builds, and starts the address book under Wine with its data in
# run/data. Arguments go to the program ("/o" or "/p" need a host window: see docs/host-protocol.md).
# Without a display it runs under a private Xvfb, saves run/screenshot.png and stops.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
root=$(pwd)
source tools/headless.sh
export WINEPREFIX=${WINEPREFIX:-$root/run/prefix}
mkdir -p run/data
headless=0
if [ -z "${DISPLAY:-}" ]; then headless=1; start_xvfb; fi
init_prefix
cd run/data
if [ "$headless" -eq 0 ]; then
  echo "Address book data in $root/run/data; settings in $WINEPREFIX/drive_c/windows/zuadr.ini"
  exec wine "$root/build/win/kalbook.exe" "$@"
fi
wine "$root/build/win/kalbook.exe" "$@" >/dev/null 2>&1 &
book=$!
sleep 6
screenshot "$root/run/screenshot.png"
kill "$book" 2>/dev/null || true
stop_prefix
stop_xvfb
echo "No display: the address book ran under Xvfb; screenshot saved to $root/run/screenshot.png"
