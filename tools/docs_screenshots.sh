#!/bin/bash
# Regenerates the screenshots in docs/ (main window, the two Properties dialogs, recipient box, help window) from a small sample book, under a
# private Xvfb and Wine prefix (run after `bash tools/build.sh`).
set -euo pipefail
source "$(dirname "$0")/screenshot_session.sh"

write_persons 'Ann Lee|ann.lee@example.com|Ann;;Lee|met at the fair' 'Bob Meyer|bob@example.org|Bob;;Meyer|' \
  'Carla Rossi|carla.rossi@example.net|Carla;;Rossi|tennis club' 'Hiro Tanaka|hiro@example.jp|Hiro;;Tanaka|' \
  'Dieter Novak|dnovak@example.de|Dieter;;Novak|plumber' 'Eve Okafor|eve@example.com|Eve;;Okafor|' \
  'Frank Dubois|frank.dubois@example.fr|Frank;;Dubois|' 'Grete Smith|grete@example.org|Grete;;Smith|cousin' \
  'Ines Lee|ines.lee@example.com|Ines;;Lee|' 'Jan Meyer|jan@example.nl|Jan;;Meyer|choir'
write_groups 'Tennis club|Tuesdays|Ann Lee,Carla Rossi' 'Family||Grete Smith,Ines Lee'
printf '[window]\nx=200\ny=120\nwidth=600\nheight=420\n' > "$SETTINGS"
start_book
main=$(main_window)
driver lb-select "$main" 190 1
show_tooltip "$main"
screenshot "$BOOK/main.png"
crop "$BOOK/main.png" "$main" "$root/docs/main-window.png" 20
# The two Properties dialogs: Bob Meyer (a person) and Tennis club (a group).
show_dialog() {
  driver lb-dblclick "$main" 190 "$1"
  local dialog; dialog=$(driver find-dialog Properties "$2")
  sleep 3
  screenshot "$BOOK/dialog.png"
  crop "$BOOK/dialog.png" "$dialog" "$root/docs/$3"
  driver click "$dialog" 2
  driver gone "$dialog"
}
show_dialog 1 105 person-dialog.png
show_dialog 10 104 group-dialog.png
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
crop "$BOOK/box.png" "$main" "$root/docs/recipient-box.png" 20
driver click "$box" 188
wait_exit "$LAST_PID"

# The help window: Wine draws the frames itself here, so its caption shows. Wine has no HTML
# engine, so the topic pane stays blank; the frame and the contents tree show.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
rm -f "$SETTINGS"
start_book
main=$(main_window)
driver post "$main" WM_KEYDOWN 0x70 0
help=$(driver find "HH Parent" "Address Book Help")
tree=$(driver find-child "$help" SysTreeView32)
TVM_GETNEXTITEM=0x110A TVM_EXPAND=0x1102 TVM_SELECTITEM=0x110B
first=$(driver send "$tree" $TVM_GETNEXTITEM 0 0)
driver send "$tree" $TVM_EXPAND 2 "$first" >/dev/null
driver send "$tree" $TVM_SELECTITEM 9 "$first" >/dev/null
sleep 2
screenshot "$BOOK/help.png"
read -r l t r b <<< "$(driver rect "$help")"
convert "$BOOK/help.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage "$root/docs/help-window.png"
driver command "$main" 110
wait_exit "$LAST_PID"
echo "Saved docs/main-window.png, person-dialog.png, group-dialog.png, recipient-box.png and help-window.png"
