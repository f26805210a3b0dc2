# Sourced after lib.sh: kalhold.exe holds a file of the book folder open without sharing, as
# a backup or sync tool would (or, with hold_sharing_reads, letting others read it), until
# release is called.
KALHOLD=$(realpath "$KALHOLD")

hold() {
  rm -f "$BOOK/release" "$BOOK/hold.out"
  launch 'grep -qs HELD "$BOOK/hold.out"' "$BOOK/hold.out" "$BOOK" "$KALHOLD" "$(winpath "$1")" "$(winpath release)"
  HOLD_PID=$LAUNCHED_PID
}

# The same, but held for writing with reading by others allowed, as a spreadsheet program holds
# the file it shows.
hold_sharing_reads() {
  rm -f "$BOOK/release" "$BOOK/hold.out"
  launch 'grep -qs HELD "$BOOK/hold.out"' "$BOOK/hold.out" "$BOOK" "$KALHOLD" /share-read "$(winpath "$1")" \
    "$(winpath release)"
  HOLD_PID=$LAUNCHED_PID
}

release() {
  touch "$BOOK/release"
  wait_for 'grep -qs RELEASED "$BOOK/hold.out"' || fail "kalhold did not let go"
  wait "$HOLD_PID" 2>/dev/null || true
}

# The message box "Address Book" (not the main window of the same title) and its text.
message_box() { driver find "#32770" "Address Book"; }
message_text() { driver msgbox "Address Book"; }
