#!/bin/bash
# Regenerates docs/main-window.png and docs/recipient-box.png from a small sample book, under a
# private Xvfb and Wine prefix (run after `bash tools/build.sh`).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
state=$(mktemp -d)
bash "$root/tests/e2e/fixture_start.sh" "$state" >/dev/null
trap 'bash "$root/tests/e2e/fixture_stop.sh" "$state"; rm -rf "$state"' EXIT
export E2E_STATE=$state KALBOOK_EXE=$root/build/win/kalbook.exe KALDRIVER=$root/build/win/kaldriver.exe
export KALHOST=$root/build/win/kalhost.exe
source "$root/tests/e2e/lib.sh"
trap 'stop_started; bash "$root/tests/e2e/fixture_stop.sh" "$state"; rm -rf "$state"' EXIT

write_persons 'Ann Lee|ann.lee@example.com|Ann;;Lee|met at the fair' 'Bob Meyer|bob@example.org|Bob;;Meyer|' \
  'Carla Rossi|carla.rossi@example.net|Carla;;Rossi|tennis club' 'Hiro Tanaka|hiro@example.jp|Hiro;;Tanaka|' \
  'Dieter Novak|dnovak@example.de|Dieter;;Novak|plumber' 'Eve Okafor|eve@example.com|Eve;;Okafor|' \
  'Frank Dubois|frank.dubois@example.fr|Frank;;Dubois|' 'Grete Smith|grete@example.org|Grete;;Smith|cousin' \
  'Ines Lee|ines.lee@example.com|Ines;;Lee|' 'Jan Meyer|jan@example.nl|Jan;;Meyer|choir'
write_groups 'Tennis club|Tuesdays|Ann Lee,Carla Rossi' 'Family||Grete Smith,Ines Lee'
crop() { convert "$1" -crop "$(( $4 - $2 ))x$(( $5 - $3 ))+$2+$3" "$6"; }

printf '[window]\nx=200\ny=120\nwidth=600\nheight=420\n' > "$SETTINGS"
start_book
main=$(main_window)
driver lb-select "$main" 190 1
toolbar=$(driver find-child "$main" ToolBarClass)
read -r l t r b <<< "$(driver rect "$(driver child "$toolbar" 182)")"
xdotool mousemove $(( (l + r) / 2 )) $(( (t + b) / 2 ))
wait_for '[ "$(driver count tooltips_class32 -)" -ge 1 ]' 25 || echo "no tooltip showed" >&2
sleep 0.5
screenshot "$BOOK/main.png"
crop "$BOOK/main.png" $(driver rect "$main") "$root/docs/main-window.png"
driver command "$main" 110
wait_exit "$LAST_PID"

start_host
rm -f "$SETTINGS"
start_book /o
main=$(main_window)
box=$(driver find-child "$main" ToBoxClass)
driver lb-select "$main" 190 0 2 4
driver click "$box" 186
sleep 1
screenshot "$BOOK/box.png"
crop "$BOOK/box.png" $(driver rect "$main") "$root/docs/recipient-box.png"
echo "Saved docs/main-window.png and docs/recipient-box.png"
