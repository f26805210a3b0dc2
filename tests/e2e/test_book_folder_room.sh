#!/bin/bash
# A book folder whose path leaves room for "personal.inf" but not for the names a save makes
# ("personal.inf.tmp", "personal.inf.damaged-N"): one message at start names the folder, edits
# stay allowed and are kept pending, each save is refused with that message without being tried,
# and the close asks as for any failed save.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/holder.sh"  # the message box helpers

# Nested folders under the book folder until the Windows path of "personal.inf" is 250 long:
# within 260 bytes, but 250 + ".damaged-" and ten digits are not. The bytes still missing are
# shared out evenly over as few folders as keep each name within 60 letters, so that no folder
# is left to take a single byte ("\" and no name).
base=$(printf '%s' "$(winepath -w "$BOOK" 2>/dev/null)\\personal.inf" | wc -c)
missing=$((250 - base))
[ "$missing" -ge 2 ] || fail "the book folder's own path is too long for this test ($base bytes)"
folders=$(((missing + 60) / 61))
deep=$BOOK
for ((i = 0; i < folders; i++)); do
  share=$(((missing + folders - i - 1) / (folders - i)))  # "\" and the name
  deep=$deep/$(printf 'f%.0s' $(seq 1 $((share - 1))))
  missing=$((missing - share))
done
mkdir -p "$deep"
deep_win=$(winepath -w "$deep" 2>/dev/null)
length=$(printf '%s' "$deep_win\\personal.inf" | wc -c)
[ "$length" = 250 ] || fail "could not make a folder with a 250-byte data path (got $length)"

echo "== start: one message names the folder"
start_book_in "$deep"
program=$LAST_PID
box=$(message_box) || fail "no message at start"
text=$(message_text)
echo "$text" > "$BOOK/start-message.txt"
[ "$(printf '%s\n' "$text" | sed -n 1p)" = "The address book cannot be kept in this folder, because its path is too long:" ] ||
  fail "message: $text"
[ "$(printf '%s\n' "$text" | tail -n +2 | tr -d '\n')" = "$deep_win" ] || fail "the message names '$(printf '%s' "$text" | tail -n +2)', want $deep_win"
screenshot "$BOOK/start-message.png"
driver click "$box" 1 || fail "could not press OK"
main=$(main_window) || fail "no main window after the message"
pass "told once at start"

echo "== a new person stays in the list; its save is refused with the same message"
driver command "$main" 100 || fail "could not send New Address"
dialog=$(driver find-dialog Properties 105) || fail "person dialog did not open"
driver settext "$dialog" 100 Ann || fail "could not type the description"
driver click "$dialog" 1 || fail "could not press OK in the person dialog"
box=$(message_box) || fail "no message for the refused save"
text=$(message_text)
grep -qF "because its path is too long:" <<<"$text" || fail "message: $text"
driver click "$box" 1 || fail "could not dismiss the message"
driver gone "$box" || fail "the message stayed"
wait_for '[ "$(list_count "$main" 190)" = 1 ]' || fail "entries: $(list_count "$main" 190), want 1"
[ -z "$(ls -A "$deep")" ] || fail "a save was tried: $(ls -A "$deep")"
pass "save refused without being tried, the person kept"

echo "== close: the question of the failed saves; Yes ends"
driver command "$main" 110 || fail "could not send Exit"
question=$(message_box) || fail "no question at close"
text=$(message_text)
grep -qF 'These changes could not be saved:' <<<"$text" || fail "question: $text"
grep -qF "$deep_win\\personal.inf" <<<"$text" || fail "question names no file: $text"
driver click "$question" 6 || fail "could not press Yes"
wait_exit "$program" || fail "Yes did not end the program"
[ -z "$(ls -A "$deep")" ] || fail "files left in the folder: $(ls -A "$deep")"
pass "asked at close, nothing written"
echo "book folder room: all checks passed"
