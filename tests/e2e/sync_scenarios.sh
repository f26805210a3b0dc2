# Sourced by test_sync_radicale*.sh and test_sync_xandikos*.sh after lib.sh and sync_lib.sh: the
# same steps against either server. The caller sets SERVER (its name in the messages), DAV (the
# address book's URL), DAV_ROOT (what the user types as the server) and DAV_ARGS (curl's arguments
# for it: the password or none).

# ---- the phone's side ---------------------------------------------------------------------------
dav_curl() { curl -s "${DAV_ARGS[@]}" "$@"; }
# Every card of the address book as "HREF<TAB>FN" lines.
server_index() {
  local href
  for href in $(phone_list "$DAV" "${DAV_ARGS[@]}"); do
    printf '%s\t%s\n' "$href" "$(dav_curl "${DAV_ROOT}$href" | tr -d '\r' | sed -n 's/^FN[;:]//p' | sed 's/^.*://;q')"
  done
}
# The href of the one card whose FN is FN; empty when there is none, fails when there are more.
href_of() {
  local hrefs
  hrefs=$(server_index | awk -F'\t' -v fn="$1" '$2 == fn {print $1}')
  [ "$(grep -c . <<<"$hrefs")" -le 1 ] || fail "$SERVER: the server holds more than one card \"$1\": $hrefs"
  printf '%s' "$hrefs"
}
# The card at HREF, folded lines joined, without line ends.
card_at() { dav_curl "${DAV_ROOT}$1" | tr -d '\r' | sed ':a;N;$!ba;s/\n[ \t]//g'; }
# The card named FN as the server keeps it. The URL it had before is tried first: a big address
# book is then not read whole for each look. (The URLs are kept in files: the callers' command
# substitutions are subshells.)
server_card() {
  local seen; seen=$BOOK/seen-href.$(printf '%s' "$1" | md5sum | cut -c1-12)
  local href text
  href=$(cat "$seen" 2>/dev/null || true)
  if [ -n "$href" ]; then
    text=$(card_at "$href")
    if grep -qxF "FN:$1" <<<"$text"; then printf '%s\n' "$text"; return 0; fi
  fi
  href=$(href_of "$1")
  [ -n "$href" ] || return 1
  printf '%s' "$href" > "$seen"
  card_at "$href"
}
# A property's values of the card named FN, one a line. Usage: card_prop FN NAME
card_prop() { server_card "$1" | sed -n "s/^$2\(;[^:]*\)\{0,1\}://p"; }
# The phone edits the card named FN with a sed program and puts it back at its URL.
phone_edit() {
  local href; href=$(href_of "$1")
  [ -n "$href" ] || fail "$SERVER: the phone finds no card \"$1\"; the server holds: $(server_index | tr '\n' ' ')"
  dav_curl "${DAV_ROOT}$href" | sed "$2" > "$BOOK/edit.vcf"
  phone_put "$DAV_ROOT" "$href" "$BOOK/edit.vcf" "${DAV_ARGS[@]}"
}
wait_server() {
  wait_for "$2" 150 || fail "$SERVER, $1; the server holds: $(server_index | tr '\n' ';')"
}
card_count() { phone_list "$DAV" "${DAV_ARGS[@]}" | grep -c vcf || true; }

# ---- this computer's side -----------------------------------------------------------------------
status_text() { driver acc "$(driver find-child "$main" StatusWindowClass)" | cut -f3; }
# Synchronize (F5), handled before it returns; waits until the sync has ended and closes the report
# it opened, if any, keeping its text in SYNC_BOX.
sync_now() {
  SYNC_BOX=
  wait_for "! status_text | grep -q '^Synchronizing'" 300 || fail "$SERVER: a sync never ended: $(status_text)"
  driver send "$main" WM_COMMAND 122 0 >/dev/null
  wait_for "! status_text | grep -q '^Synchronizing'" 300 || fail "$SERVER: the sync never ended: $(status_text)"
  if [ "$(driver count "#32770" "Address Book")" != 0 ]; then
    SYNC_BOX=$(driver msgbox "Address Book")
    local box; box=$(driver find "#32770" "Address Book")
    driver click "$box" 1 >/dev/null
    driver gone "$box" >/dev/null || fail "$SERVER: the sync's report stayed"
  fi
  settled "$main"
}
# The main list's index of the entry whose description or name holds TEXT, through Find.
entry_index() {
  local find index
  driver command "$main" 109 >/dev/null
  find=$(driver find-dialog Find 103) || fail "$SERVER: Find did not open"
  driver send "$(driver child "$main" 190)" 0x185 0 -1 >/dev/null  # LB_SETSEL: none selected
  driver settext "$find" 103 "$1" >/dev/null
  driver click "$find" 1 >/dev/null
  wait_for "[ -n \"\$(driver lb-sel $main 190)\" ]" 50 || fail "$SERVER: Find did not find \"$1\": $(book_summary | tr '\n' ';')"
  index=$(driver lb-sel "$main" 190 | head -1)
  driver click "$find" 2 >/dev/null
  driver gone "$find" >/dev/null || fail "$SERVER: Find stayed"
  echo "$index"
}
# Opens the person DESCRIPTION, sets fields ("ID=TEXT" each; 100 description, 101 e-mail, 105
# memo), presses OK. Usage: edit_person DESCRIPTION ID=TEXT...
edit_person() {
  local index dialog field
  index=$(entry_index "$1"); shift
  driver lb-dblclick "$main" 190 "$index" >/dev/null
  dialog=$(driver find-dialog Properties 105) || fail "$SERVER: no person dialog"
  for field in "$@"; do driver settext "$dialog" "${field%%=*}" "${field#*=}" >/dev/null; done
  EDITED_AT=$(date +%s%N)  # no later than the change
  driver click "$dialog" 1 >/dev/null
  driver gone "$dialog" >/dev/null || fail "$SERVER: OK did not close the person dialog"
  settled "$main"
}
delete_entry() {
  local index; index=$(entry_index "$1")
  driver lb-select "$main" 190 "$index" >/dev/null
  driver send "$main" WM_COMMAND 105 0 >/dev/null
  wait_for "! book_summary | grep -q '^P $1|'" 50 || fail "$SERVER: Delete left \"$1\" here"
}
# Adds the person MEMBER to the group GROUP through Select members.
add_member() {
  local index data group members pick
  data=$(list_data "$main" 190 | sed -n "$(($(entry_index "$2") + 1))p")
  index=$(entry_index "$1")
  driver lb-dblclick "$main" 190 "$index" >/dev/null
  group=$(driver find-dialog Properties 104) || fail "$SERVER: no group dialog for $1"
  driver click "$group" 102 >/dev/null
  members=$(driver find-dialog "Select members" 102) || fail "$SERVER: Select members did not open"
  pick=$(list_data "$members" 100 | grep -n -x "$data" | cut -d: -f1)
  [ -n "$pick" ] || fail "$SERVER: Select members does not offer $2 ($data)"
  driver lb-select "$members" 100 $((pick - 1)) >/dev/null
  driver click-sync "$members" 102 >/dev/null
  driver click "$members" 1 >/dev/null
  driver gone "$members" >/dev/null || fail "$SERVER: Select members stayed"
  driver click "$group" 1 >/dev/null
  driver gone "$group" >/dev/null || fail "$SERVER: the group dialog stayed"
  settled "$main"
}
person_line() { book_summary | grep "^P $1|" || true; }
group_line() { book_summary | grep "^G $1|" || true; }
wait_book() {
  wait_for "$2" 150 || fail "$SERVER, $1; the book holds: $(book_summary | tr '\n' ';')"
}
set_auto() { sed -i "s/^auto=.*/auto=$1\r/" sync.ini; }

# ---- the cards --------------------------------------------------------------------------------
# 300 characters, none a server escapes (a server may re-escape what it stores) nor a blank at the end.
LONG_NOTE=$(python3 -c 'print(("".join("Note text %03d. " % i for i in range(21)))[:299] + "!")')
# A small PNG, folded as a phone sends it.
PHOTO_LINE="PHOTO;ENCODING=b;TYPE=PNG:$(python3 -c '
import base64, struct, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
raw = b"".join(b"\0" + bytes([(x * 16 + y) % 256 for x in range(8)] * 3) for y in range(8))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 8, 8, 8, 2, 0, 0, 0)) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
print(base64.b64encode(png).decode())')"

# Writes a card. Usage: card FILE VERSION UID FN EMAIL [MORE-LINE...]
card() {
  local file=$1 version=$2 uid=$3 fn=$4 email=$5 line; shift 5
  {
    printf 'BEGIN:VCARD\r\nVERSION:%s\r\nUID:%s\r\nFN:%s\r\nN:%s;;;;\r\n' "$version" "$uid" "$fn" "$fn"
    [ -z "$email" ] || printf 'EMAIL;TYPE=INTERNET:%s\r\n' "$email"
    for line in "$@"; do
      # vCard lines are folded at 75 octets.
      python3 -c 'import sys; s=sys.argv[1]; print("\r\n ".join(s[i:i+74] for i in range(0, len(s), 74)), end="\r\n")' "$line"
    done
    printf 'END:VCARD\r\n'
  } > "$file"
}
MONA_UID=urn:uuid:8f2d4c1e-5b6a-4e3f-9c7d-1a2b3c4d5e6f
ABE_UID=4C1B7D0E-2F3A-4B5C-8D9E-0F1A2B3C4D5E
put_phone_cards() {
  local d=$BOOK/cards; mkdir -p "$d"
  card "$d/eve.vcf" 3.0 eve-edit "Eve Edit" eve@example.org "TEL:+1 555 0101"
  card "$d/bob.vcf" 3.0 bob-both "Bob Both" bob@example.org "NOTE:bob memo"
  card "$d/dan.vcf" 3.0 dan-delete "Dan Delete" dan@example.org
  card "$d/rita.vcf" 3.0 rita-rich "Rita Rich" rita@example.org "TEL;TYPE=CELL:+1 555 0177" \
    "ADR;TYPE=HOME:;;12 High Street;Springfield;;12345;USA" "$PHOTO_LINE" "NOTE:rita's old memo" "X-PHONE-APP:kept as it is"
  card "$d/lena.vcf" 3.0 lena-long "Lena Long" lena@example.org "NOTE:$LONG_NOTE"
  card "$d/mona.vcf" 4.0 "$MONA_UID" "Mona Four" mona@example.org
  card "$d/four.vcf" 4.0 urn:uuid:0d9e8f7a-6b5c-4d3e-8f2a-1b0c9d8e7f6a "Team Four" "" "KIND:group" "MEMBER:$MONA_UID"
  card "$d/abe.vcf" 3.0 "$ABE_UID" "Abe Apple" abe@example.org
  card "$d/apple.vcf" 3.0 7E6D5C4B-3A29-4817-9605-F4E3D2C1B0A9 "Team Apple" "" "X-ADDRESSBOOKSERVER-KIND:group" \
    "X-ADDRESSBOOKSERVER-MEMBER:urn:uuid:$ABE_UID"
  card "$d/cat.vcf" 3.0 cat-person "Cat Person" cat@example.org "CATEGORIES:Team Cats"
  local f
  for f in "$d"/*.vcf; do phone_put "$DAV" "$(basename "$f")" "$f" "${DAV_ARGS[@]}"; done
}
PHONE_CARDS=10  # and one group here from CATEGORIES
BOOK_PERSONS=("Hana Here|hana@example.org|Hana;;Here|hana memo" "Del Here|del@example.org|;;|"
  "Rene Old|rene@example.org|Rene;;Old|" "Gus Member|gus@example.org|Gus;;Member|")

# The book with its own persons, the phone's cards on the server, the account set and the first
# sync done; automatic sync off from then on, so each step's sync is the one it starts.
setup_synced_book() {
  put_phone_cards
  write_persons "${BOOK_PERSONS[@]}"
  start_book
  main=$(main_window) || fail "$SERVER: no main window"
  local dialog; dialog=$(open_settings)
  fill_account "$dialog" "$DAV_ROOT" "${DAV_USER:-}" "${DAV_PASSWORD:-}"
  connect_expecting "$dialog" 1
  close_settings "$dialog"
  set_auto 0
  local want=$((PHONE_CARDS + ${#BOOK_PERSONS[@]}))
  wait_server "first sync: want $want cards" "[ \"\$(card_count)\" = $want ]"
  wait_book "first sync: want $((want + 1)) entries" "[ \"\$(book_summary | grep -c '^[PG] ')\" = $((want + 1)) ]"
  wait_for "! status_text | grep -q '^Synchronizing'" 300 || fail "$SERVER: the first sync never ended"
  settled "$main"
}

# Every two-way step, in order, on the synced book; then the program is closed.
run_two_way_scenarios() {
  setup_synced_book
  pass "$SERVER: the first sync holds $(card_count) cards on the server and $(book_summary | grep -c .) entries here"
  scenario_edits_each_way
  scenario_edits_on_both_sides
  scenario_deletes_each_way
  scenario_rename_here
  scenario_groups
  scenario_other_lines_kept
  scenario_long_note
  driver command "$main" 110 >/dev/null
  wait_exit "$LAST_PID" || fail "the program did not end"
}

# ---- the steps --------------------------------------------------------------------------------
scenario_edits_each_way() {
  edit_person "Hana Here" 101=hana.new@example.org
  sync_now
  wait_server "an edit here" "[ \"\$(card_prop 'Hana Here' EMAIL)\" = hana.new@example.org ]"
  pass "$SERVER: an edit here reaches the server (EMAIL $(card_prop 'Hana Here' EMAIL))"
  phone_edit "Eve Edit" 's/^EMAIL;TYPE=INTERNET:.*/EMAIL;TYPE=INTERNET:eve.phone@example.org\r/'
  sync_now
  wait_book "the phone's edit" "person_line 'Eve Edit' | grep -q '|eve.phone@example.org|'"
  pass "$SERVER: the phone's edit reaches the book ($(person_line 'Eve Edit'))"
}

scenario_edits_on_both_sides() {
  edit_person "Bob Both" "105=bob memo from here"
  phone_edit "Bob Both" 's/^EMAIL;TYPE=INTERNET:.*/EMAIL;TYPE=INTERNET:bob.phone@example.org\r/'
  sync_now
  local here; here=$(person_line "Bob Both")
  [ "$here" = "P Bob Both|bob.phone@example.org|;;Bob Both|bob memo from here" ] ||
    fail "$SERVER: different fields changed on both sides; the book holds: $here"
  [ "$(card_prop 'Bob Both' EMAIL)/$(card_prop 'Bob Both' NOTE)" = "bob.phone@example.org/bob memo from here" ] ||
    fail "$SERVER: different fields changed on both sides; the server's card: $(server_card 'Bob Both' | tr '\n' '|')"
  pass "$SERVER: the memo changed here and the e-mail on the phone are both kept on both sides"
  edit_person "Bob Both" 101=bob.here@example.org
  phone_edit "Bob Both" 's/^EMAIL;TYPE=INTERNET:.*/EMAIL;TYPE=INTERNET:bob.other@example.org\r/'
  sync_now
  here=$(person_line "Bob Both")
  [ "$(cut -d'|' -f2 <<<"$here")/$(card_prop 'Bob Both' EMAIL)" = "bob.here@example.org/bob.here@example.org" ] ||
    fail "$SERVER: the same field changed on both sides: here $here, on the server $(card_prop 'Bob Both' EMAIL)"
  grep -qF "Bob Both - e-mail address changed" <<<"$SYNC_BOX" ||
    fail "$SERVER: Synchronize did not show the report with the conflict at once; it showed: ${SYNC_BOX:-nothing}"
  driver command "$main" 125 >/dev/null
  local report; report=$(driver msgbox "Address Book") || fail "$SERVER: command 125 showed no report"
  local box; box=$(driver find "#32770" "Address Book"); driver click "$box" 1 >/dev/null; driver gone "$box" >/dev/null
  grep -qxF "Bob Both - e-mail address changed on both sides; this computer's kept, the server had: bob.other@example.org" <<<"$report" ||
    fail "$SERVER: the Sync report does not name the conflict: $report"
  pass "$SERVER: the same field changed on both sides keeps this computer's value on both sides;" \
    "the report says \"$(grep '^Bob Both' <<<"$report")\""
}

scenario_deletes_each_way() {
  local before; before=$(card_count)
  delete_entry "Del Here"
  sync_now
  wait_server "a delete here" "[ -z \"\$(href_of 'Del Here')\" ]"
  [ "$(card_count)" = $((before - 1)) ] || fail "$SERVER: after a delete here the server holds $(card_count) cards, want $((before - 1))"
  pass "$SERVER: a delete here removes the card on the server ($before cards, now $(card_count))"
  phone_delete "$DAV_ROOT" "$(href_of 'Dan Delete')" "${DAV_ARGS[@]}"
  sync_now
  wait_book "the phone's delete" "[ -z \"\$(person_line 'Dan Delete')\" ]"
  pass "$SERVER: the phone's delete removes the entry here ($(book_summary | grep -c '^P ') persons left)"
}

scenario_rename_here() {
  local href uid count
  href=$(href_of "Rene Old"); uid=$(card_prop "Rene Old" UID); count=$(card_count)
  [ -n "$href" ] && [ -n "$uid" ] || fail "$SERVER: no card for Rene Old: $(server_index | tr '\n' ';')"
  edit_person "Rene Old" "100=Rene New"
  sync_now
  wait_server "a rename here" "[ -n \"\$(href_of 'Rene New')\" ]"
  [ "$(href_of 'Rene New')|$(card_prop 'Rene New' UID)|$(card_count)" = "$href|$uid|$count" ] ||
    fail "$SERVER: the renamed card is $(href_of 'Rene New') UID $(card_prop 'Rene New' UID) among $(card_count) cards; was $href UID $uid among $count"
  [ -z "$(href_of 'Rene Old')" ] || fail "$SERVER: the old name stayed on the server"
  pass "$SERVER: a rename here keeps one card ($href, UID $uid) with FN Rene New"
}

scenario_groups() {
  local g
  for g in "Team Four|Mona Four" "Team Apple|Abe Apple" "Team Cats|Cat Person"; do
    group_line "${g%%|*}" | grep -q "|${g#*|}\$" || fail "$SERVER: the group ${g%%|*} came in as: $(group_line "${g%%|*}")"
  done
  pass "$SERVER: all three forms came in as groups with their members: $(book_summary | grep '^G ' | tr '\n' ';')"
  add_member "Team Four" "Gus Member"
  add_member "Team Apple" "Gus Member"
  add_member "Team Cats" "Gus Member"
  sync_now
  local gus; gus=$(card_prop "Gus Member" UID)
  gus=${gus#urn:uuid:}
  wait_server "a member added here to Team Four" "card_prop 'Team Four' MEMBER | grep -qxF 'urn:uuid:$gus'"
  card_prop 'Team Four' MEMBER | grep -qxF "$MONA_UID" || fail "$SERVER: Team Four lost Mona: $(card_prop 'Team Four' MEMBER)"
  [ -z "$(card_prop 'Team Four' X-ADDRESSBOOKSERVER-MEMBER)" ] || fail "$SERVER: Team Four took Apple's form"
  card_prop 'Team Apple' X-ADDRESSBOOKSERVER-MEMBER | grep -qxF "urn:uuid:$gus" ||
    fail "$SERVER: Team Apple's members on the server: $(card_prop 'Team Apple' X-ADDRESSBOOKSERVER-MEMBER)"
  [ -z "$(card_prop 'Team Apple' MEMBER)" ] || fail "$SERVER: Team Apple took vCard 4's form"
  card_prop 'Gus Member' CATEGORIES | tr ',' '\n' | grep -qxF "Team Cats" ||
    fail "$SERVER: Gus Member's card: $(server_card 'Gus Member' | tr '\n' '|')"
  [ -z "$(href_of 'Team Cats')" ] || fail "$SERVER: Team Cats became a group card"
  pass "$SERVER: a member added here goes back in each group's form (MEMBER, X-ADDRESSBOOKSERVER-MEMBER, CATEGORIES)"
}

scenario_other_lines_kept() {
  local before after
  before=$(server_card "Rita Rich" | grep -v '^NOTE' | sort)
  edit_person "Rita Rich" "105=rita's memo from here"
  sync_now
  wait_server "the memo edited here" "[ \"\$(card_prop 'Rita Rich' NOTE)\" = \"rita's memo from here\" ]"
  after=$(server_card "Rita Rich" | grep -v '^NOTE' | sort)
  # REV, where a card has one, takes the time of the change.
  [ "$(grep -v '^REV' <<<"$before")" = "$(grep -v '^REV' <<<"$after")" ] ||
    fail "$SERVER: the card's other lines changed: $(diff <(echo "$before") <(echo "$after") | tr '\n' '|')"
  grep -q '^PHOTO' <<<"$after" && grep -q '^ADR' <<<"$after" && grep -q '^TEL' <<<"$after" ||
    fail "$SERVER: the card lost TEL, ADR or PHOTO: $after"
  pass "$SERVER: the memo edited here is the card's NOTE; its other $(grep -c . <<<"$after") lines (TEL, ADR, PHOTO ...) are unchanged"
}

scenario_long_note() {
  [ "$(card_prop 'Lena Long' NOTE)" = "$LONG_NOTE" ] || fail "$SERVER: the first sync cut the NOTE: $(card_prop 'Lena Long' NOTE)"
  [ "$(person_line 'Lena Long')" = "P Lena Long|lena@example.org|;;Lena Long|${LONG_NOTE:0:258}" ] ||
    fail "$SERVER: the book holds $(person_line 'Lena Long' | wc -c) bytes: $(person_line 'Lena Long')"
  sync_now
  edit_person "Lena Long" 101=lena.new@example.org
  sync_now
  wait_server "the e-mail of the long note's entry" "[ \"\$(card_prop 'Lena Long' EMAIL)\" = lena.new@example.org ]"
  [ "$(card_prop 'Lena Long' NOTE)" = "$LONG_NOTE" ] ||
    fail "$SERVER: a sync after an edit cut the NOTE to $(card_prop 'Lena Long' NOTE | wc -c) bytes"
  pass "$SERVER: the book holds the 300-character NOTE cut at 258; syncs, one after an e-mail edit, keep all 300 on the server"
}

# Many new persons are being sent when the program is killed; the next sync sends the rest, once each.
scenario_kill_during_sync() {
  local n=300 base
  driver command "$main" 110 >/dev/null
  wait_exit "$LAST_PID" || fail "$SERVER: the program did not end"
  base=$(card_count)
  python3 - personal.inf "$n" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
count = struct.unpack_from('<I', data)[0]
extra = b''.join(b'Many %03d\0many%d@example.org\0;;\0\0' % (i, i) for i in range(int(sys.argv[2])))
open(sys.argv[1], 'wb').write(struct.pack('<I', count + int(sys.argv[2])) + data[4:] + extra)
PY
  start_book
  main=$(main_window) || fail "$SERVER: no main window after adding many persons"
  edit_person "Hana Here" "105=edited before the kill"
  driver command "$main" 122 >/dev/null
  wait_for "[ \"\$(card_count)\" -gt $((base + 5)) ]" 600 || fail "$SERVER: the upload did not start within two minutes: $(card_count) cards"
  screenshot "$BOOK/sync-$SERVER-uploading.png"
  # An edit while the sync runs: in the data file at once, sent by a later sync.
  edit_person "Gus Member" "105=edited during the sync"
  screenshot "$BOOK/sync-$SERVER-uploading-later.png"
  local midway; midway=$(card_count)
  kill -KILL "$LAST_PID"
  wait_for '[ "$(driver -a count ZuAddressBook -)" = 0 ]' || fail "$SERVER: the killed window stayed"
  [ "$midway" -lt $((base + n)) ] || echo "  ($SERVER: the upload had ended before the kill)"
  start_book
  main=$(main_window) || fail "$SERVER: no main window after the kill"
  sync_now
  sync_now
  local dup
  dup=$(server_index | cut -f2 | sort | uniq -d)
  [ -z "$dup" ] || fail "$SERVER: cards twice on the server after the kill: $dup"
  [ "$(card_count)" = $((base + n)) ] || fail "$SERVER: the server holds $(card_count) cards, want $((base + n))"
  dup=$(book_summary | cut -d'|' -f1 | sort | uniq -d)
  [ -z "$dup" ] || fail "$SERVER: entries twice here after the kill: $dup"
  [ "$(card_prop 'Hana Here' NOTE)/$(card_prop 'Gus Member' NOTE)" = "edited before the kill/edited during the sync" ] ||
    fail "$SERVER: an edit made before the kill was lost: $(card_prop 'Hana Here' NOTE)/$(card_prop 'Gus Member' NOTE)"
  pass "$SERVER: killed with $((midway - base)) of $n new persons sent; the next sync sent the rest once each" \
    "($(card_count) cards, no duplicate on either side; the edits made before and during the killed sync on the server)"
}

scenario_automatic_syncs() {
  set_auto 1
  local took
  edit_person "Hana Here" "105=edited for the automatic sync"
  wait_server "the sync 10 seconds after a change" "[ \"\$(card_prop 'Hana Here' NOTE)\" = 'edited for the automatic sync' ]"
  took=$((($(date +%s%N) - EDITED_AT) / 1000000))
  [ "$took" -ge 10000 ] || fail "$SERVER: the automatic sync came $took ms after the change, before 10 s"
  pass "$SERVER: an automatic sync sent the change $took ms after it (10 s after the last change)"
  wait_for "! status_text | grep -q '^Synchronizing'" 300 || fail "$SERVER: the automatic sync never ended"
  card "$BOOK/cards/pete.vcf" 3.0 pete-periodic "Pete Periodic" pete@example.org
  phone_put "$DAV" pete.vcf "$BOOK/cards/pete.vcf" "${DAV_ARGS[@]}"
  # The periodic sync's timer is the program's own 15-minute one; the test makes it fire now (a
  # test does not wait a quarter of an hour) and checks that its firing syncs.
  driver post "$main" 275 3601 0 >/dev/null
  wait_book "the periodic sync" "[ -n \"\$(person_line 'Pete Periodic')\" ]"
  [ "$(driver count "#32770" -)" = 0 ] || fail "$SERVER: the periodic sync opened a window"
  pass "$SERVER: the periodic timer's sync brings the phone's new card ($(person_line 'Pete Periodic')), no window"
}
