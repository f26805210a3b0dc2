# Sourced by the sync tests after lib.sh: the servers, and steps around the Sync settings dialog.
source "$(dirname "$0")/carddav.sh"
trap 'stop_carddav; stop_started' EXIT
AUTH=(-u "$CARDDAV_USER:$CARDDAV_PASSWORD")
CARD=$BOOK/card.vcf

# A vCard 3.0 with a telephone number. Usage: phone_card UID FN EMAIL
phone_card() {
  printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%s\r\nFN:%s\r\nN:;%s;;;\r\nEMAIL;TYPE=INTERNET:%s\r\nTEL:+1 555 0100\r\nEND:VCARD\r\n' \
    "$1" "$2" "$2" "$3" > "$CARD"
}

# Opens the dialog of command 121 on the main window $main; prints the dialog.
open_settings() {
  driver command "$main" 121 >/dev/null
  driver find-dialog "Sync settings" 104 || fail "command 121 opened no Sync settings dialog"
}

# Presses Connect and waits until its search has ended (Connect enabled again) with COUNT entries
# in the list of address books.
connect_expecting() {
  local dialog=$1 count=$2
  driver click-sync "$dialog" 104 >/dev/null || fail "Connect was not handled"
  wait_for "[ \"\$(driver enabled $dialog 104)\" = 1 ] && [ \"\$(list_count $dialog 103)\" = $count ]" 150 ||
    fail "after Connect the address book list holds $(list_count "$dialog" 103) entries, want $count"
}

# Fills the dialog's server, user and password fields. Usage: fill_account DIALOG SERVER USER PASSWORD
fill_account() {
  driver settext "$1" 100 "$2" >/dev/null
  driver settext "$1" 101 "$3" >/dev/null
  driver settext "$1" 102 "$4" >/dev/null
}

# Waits for a message box, compares its text, presses its button BUTTON (1 OK, 6 Yes, 7 No).
answer_box() {
  local want=$1 button=${2:-1} text box
  text=$(driver msgbox "Address Book") || fail "no message; want: $want"
  [ "$text" = "$want" ] || fail "the message reads:
$text
want:
$want"
  box=$(driver find "#32770" "Address Book")
  driver click "$box" "$button" >/dev/null
  driver gone "$box" >/dev/null || fail "the message stayed"
}

# Presses OK and waits until the dialog has gone.
close_settings() {
  driver click "$1" 1 >/dev/null
  driver gone "$1" >/dev/null || fail "OK did not close the Sync settings dialog"
}

# A key of FOLDER/sync.ini.
sync_key() { tr -d '\r' < "$1/sync.ini" | sed -n "s/^$2=//p"; }
