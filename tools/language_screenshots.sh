#!/bin/bash
# Screenshots of every translated window, for checking that no text is cut or overlaps:
#   bash tools/language_screenshots.sh [LANGUAGE...]     (after `bash tools/build.sh`; default 1 to 8)
# For each language value: the main window with a tooltip, and with its File menu open; the person, group, select
# members, Find, Netscape path and About dialogs, in run/languages/LANGUAGE-WINDOW.png. With
# DOCS=1 the German main window (both pictures) goes to docs/ as well.
set -euo pipefail
source "$(dirname "$0")/screenshot_session.sh"
out=$root/run/languages
mkdir -p "$out"

write_persons 'Ann Lee|ann.lee@example.com|Ann;;Lee|met at the fair' 'Bob Meyer|bob@example.org|Bob;;Meyer|' \
  'Carla Rossi|carla.rossi@example.net|Carla;;Rossi|tennis club' 'Dieter Novak|dnovak@example.de|Dieter;;Novak|plumber'
write_groups 'Tennis club|Tuesdays|Ann Lee,Carla Rossi'
netscape='HKCU\Software\Netscape\Netscape Navigator\Address Book'
wine reg add "$netscape" /v "File Location" /t REG_SZ /d 'C:\book.htm' /f >/dev/null 2>&1

# Opens a dialog with command $1, waits for it by a control it holds ($2), saves it as $3.
shoot_dialog() {
  driver command "$main" "$1"
  local dialog; dialog=$(driver find-dialog - "$2")
  sleep 1
  screenshot "$BOOK/shot.png"
  crop "$BOOK/shot.png" "$dialog" "$3"
  echo "$dialog"
}

shoot_language() {
  local language=$1 prefix=$out/$1
  printf '[Application]\nlanguage=%s\n[window]\nx=200\ny=120\nwidth=600\nheight=420\n' "$language" > "$SETTINGS"
  start_book
  main=$(driver find ZuAddressBook -)
  local dialog
  dialog=$(shoot_dialog 100 105 "$prefix-person.png"); driver click "$dialog" 2; driver gone "$dialog"
  dialog=$(shoot_dialog 101 104 "$prefix-group.png")
  driver click "$dialog" 102
  local members; members=$(driver find-dialog - 103)
  sleep 1
  screenshot "$BOOK/shot.png"
  crop "$BOOK/shot.png" "$members" "$prefix-members.png"
  driver click "$members" 2; driver gone "$members"
  driver click "$dialog" 2; driver gone "$dialog"
  dialog=$(shoot_dialog 109 103 "$prefix-find.png"); driver click "$dialog" 2; driver gone "$dialog"
  dialog=$(shoot_dialog 107 1000 "$prefix-import.png"); driver click "$dialog" 2; driver gone "$dialog"
  dialog=$(shoot_dialog 112 401 "$prefix-about.png"); driver click "$dialog" 1; driver gone "$dialog"
  # Last, as the menu loop may hold the next commands back.
  driver lb-select "$main" 190 1
  # A tooltip and status hint, then the File menu.
  local x y
  show_tooltip "$main"
  screenshot "$BOOK/shot.png"
  crop "$BOOK/shot.png" "$main" "$prefix-main.png" 20
  read -r _ _ x y <<< "$(driver client "$main")"
  xdotool mousemove $((x + 12)) $((y - 10)) click 1
  sleep 2
  screenshot "$BOOK/shot.png"
  crop "$BOOK/shot.png" "$main" "$prefix-menu.png" 20
  xdotool key Escape Escape
  sleep 0.3
  driver command "$main" 110
  wait_exit "$LAST_PID" || true
  stop_started
}

for language in "${@:-1 2 3 4 5 6 7 8}"; do
  for one in $language; do shoot_language "$one"; done
done
if [ "${DOCS:-0}" = 1 ] && [ -f "$out/1-menu.png" ]; then
  cp "$out/1-main.png" "$root/docs/main-window-german.png"
  cp "$out/1-menu.png" "$root/docs/main-menu-german.png"
fi
echo "Saved run/languages/*.png"
