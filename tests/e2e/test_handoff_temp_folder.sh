#!/bin/bash
# An address file that cannot be created in the root of drive C (as for a user without
# administrator rights) goes to the user's temporary folder, and the host gets that full name.
# Made unwritable here by a folder of the same name; every folder made is removed at the end.
source "$(dirname "$0")/lib.sh"
drive_c=$WINEPREFIX/drive_c
temp_win=$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
temp_dir=$(winepath -u "$temp_win" 2>/dev/null)
[ -d "$temp_dir" ] || fail "no temporary folder: '$temp_win'"
temp_win=${temp_win%\\}

cleanup() {
  stop_started
  for place in "$drive_c" "$temp_dir"; do
    for name in TempFile Temp0.adr; do
      if [ -d "$place/$name" ]; then rmdir "$place/$name"; else rm -f "$place/$name"; fi
    done
  done
}
trap cleanup EXIT
cleanup

# Picks every entry as a recipient in the /o mode, presses "Mail" and waits for COUNT messages;
# HANDOFF is then the host's lines as "name length size bytes".
hand_off() {
  local messages=$1 pid main box count
  rm -f "$HOST_LOG"
  start_book /o
  pid=$LAST_PID
  main=$(main_window) || fail "no main window"
  box=$(driver find-child "$main" ToBoxClass) || fail "no recipient box"
  count=$(list_count "$main" 190)
  driver lb-select "$main" 190 $(seq 0 $((count - 1)))
  driver click "$box" 186
  wait_for '[ "$(list_count "$box" 189)" = "$count" ]' || fail "recipients: $(list_count "$box" 189)"
  driver click "$box" 188
  wait_exit "$pid" || fail "the send button did not end the program"
  wait_for '[ "$(grep -c SENDADDR "$HOST_LOG")" = "$messages" ]' || fail "hand-off: $(cat "$HOST_LOG")"
  HANDOFF=$(grep SENDADDR "$HOST_LOG" | tr -d '\r' |
    sed 's/^SENDADDR name=\(.*\) length=\([0-9]*\) size=\([-0-9]*\) bytes=\(.*\)$/\1 \2 \3 \4/')
}

start_host

echo "== c:\\TempFile cannot be created: the file goes to the temporary folder"
write_persons 'Ann|ann@x|;;|' 'Bob|bob@y|;;|'
mkdir "$drive_c/TempFile"
hand_off 1
want="$temp_win\\TempFile 12 13 ann@x,bob@y,\\x00"
[ "$HANDOFF" = "$want" ] || fail "host got '$HANDOFF', want '$want'"
[ "$(od -An -c "$temp_dir/TempFile" | tr -d ' \n')" = 'ann@x,bob@y,\0' ] ||
  fail "temporary TempFile: $(od -An -c "$temp_dir/TempFile")"
pass "final file in the temporary folder"

echo "== c:\\Temp0.adr cannot be created: only that file moves, the final one stays in c:\\"
rmdir "$drive_c/TempFile"
rm -f "$temp_dir/TempFile"
mkdir "$drive_c/Temp0.adr"
long=$(printf 'x%.0s' $(seq 1 58))
write_persons "A|${long}@a|;;|" "B|${long}@b|;;|" "C|${long}@c|;;|" "D|${long}@d|;;|"
hand_off 2
first=$(echo "$HANDOFF" | head -1)
want="$temp_win\\Temp0.adr 183 184 ${long}@a,${long}@b,${long}@c,\\x00"
[ "$first" = "$want" ] || fail "first file '$first', want '$want'"
[ "$(echo "$HANDOFF" | tail -1)" = "c:\\TempFile 61 62 ${long}@d,\\x00" ] ||
  fail "final file: $(echo "$HANDOFF" | tail -1)"
[ ! -e "$temp_dir/TempFile" ] || fail "the final file went to the temporary folder too"
pass "numbered file in the temporary folder"

echo "== neither place can take the file: announced under its own name with length 0"
rmdir "$drive_c/Temp0.adr"
rm -f "$temp_dir/Temp0.adr" "$drive_c/TempFile"
mkdir "$drive_c/TempFile" "$temp_dir/TempFile"
write_persons 'Ann|ann@x|;;|'
hand_off 1
[ "$(echo "$HANDOFF" | cut -d' ' -f1,2)" = 'c:\TempFile 0' ] || fail "host got '$HANDOFF'"
pass "no place: length 0"
