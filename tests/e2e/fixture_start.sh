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
# The Japanese face the program asks for under code page 932 ("ＭＳ Ｐゴシック"), drawn with the
# proportional IPA Gothic where it is installed (fonts-ipafont-gothic), as the tests' screenshots show it.
if [ -n "$(fc-list IPAPGothic family 2>/dev/null)" ]; then
  python3 - "$state/japanese_fonts.reg" <<'PY'
import sys
text = ('Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        '"\uff2d\uff33 \uff30\u30b4\u30b7\u30c3\u30af"="IPAPGothic"\r\n')
open(sys.argv[1], 'wb').write(b'\xff\xfe' + text.encode('utf-16-le'))
PY
  wine reg import "$(winepath -w "$state/japanese_fonts.reg")" </dev/null >/dev/null 2>&1 || echo "the Japanese font replacement was not taken" >&2
fi
# A persistent wineserver keeps the later start-ups of every test short.
wineserver -p </dev/null >/dev/null 2>&1 || true
echo "Xvfb on $DISPLAY (pid $XVFB_PID), Wine prefix $WINEPREFIX"
