#!/bin/bash
# Address files in the user's temporary folder (set through the user environment in the
# registry) with "c:\TempFile" refused, where the full name cannot reach the host as it stands:
# a folder whose name the ANSI code page cannot hold (Cyrillic letters on a Western system) and
# a folder so deep that the name passes the atom's 255 characters. Either way the host receives
# the short form, a name it can open, with the right length and the exact bytes. Wine names the
# Cyrillic folder only under a UTF-8 locale, while its ANSI code page stays 1252.
export LC_ALL=C.UTF-8
source "$(dirname "$0")/lib.sh"
drive_c=$WINEPREFIX/drive_c
folder_name='Временная'
env_key='HKCU\Environment'

# Restores the two values exactly as they were, type included (or removes them when they were
# not there).
saved_env=$BOOK/environment.saved
restore_environment() {
  local name type value
  for name in TEMP TMP; do
    type= value=
    read -r type value < <(sed -n "s/^$name //p" "$saved_env" 2>/dev/null) || true
    if [ -n "${type:-}" ]; then
      wine reg add "$env_key" /v "$name" /t "$type" /d "$value" /f >/dev/null 2>&1 ||
        echo "could not restore $name" >&2
    else
      wine reg delete "$env_key" /v "$name" /f >/dev/null 2>&1 || true
    fi
  done
}
env_entry() {  # NAME: "TYPE VALUE" as stored in the registry, nothing when there is none
  wine reg query "$env_key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *\(REG_[A-Z_]*\) *\(.*\)$/\1 \2/p"
}
set_temp() {  # WINDOWS_FOLDER: the user's TEMP and TMP
  local name
  for name in TEMP TMP; do
    wine reg add "$env_key" /v "$name" /t REG_SZ /d "$1" /f >/dev/null 2>&1 ||
      fail "could not set $name in the registry"
  done
}
cleanup() {
  stop_started
  [ ! -f "$saved_env" ] || restore_environment
  [ ! -d "$drive_c/TempFile" ] || rmdir "$drive_c/TempFile"
  rm -rf "${unicode_dir:-/nonexistent}" "${deep_top:-/nonexistent}"
}
trap cleanup EXIT

# Picks both entries in the /o mode, presses "Mail" and reads the one announcement: NAME is the
# name the atom carried, REST "length=.. size=.. bytes=..." as the host read the file.
hand_off() {
  local pid main box line
  rm -f "$HOST_LOG"
  start_book /o
  pid=$LAST_PID
  main=$(main_window) || fail "no main window"
  box=$(driver find-child "$main" ToBoxClass) || fail "no recipient box"
  driver lb-select "$main" 190 0 1 || fail "could not select both entries"
  driver click "$box" 186 || fail "could not press >>To"
  wait_for '[ "$(list_count "$box" 189)" = 2 ]' || fail "recipients: $(list_count "$box" 189)"
  driver click "$box" 188 || fail "could not press Mail"
  wait_exit "$pid" || fail "the send button did not end the program"
  wait_for 'grep -q SENDADDR "$HOST_LOG"' || fail "no hand-off: $(cat "$HOST_LOG")"
  [ "$(grep -c SENDADDR "$HOST_LOG")" = 1 ] || fail "messages: $(cat "$HOST_LOG")"
  line=$(grep SENDADDR "$HOST_LOG" | tr -d '\r')
  echo "host got: $line"
  NAME=$(sed 's/^SENDADDR name=\(.*\) length=.*$/\1/' <<<"$line")
  REST=$(sed 's/^SENDADDR name=.* \(length=.*\)$/\1/' <<<"$line")
}

# The host read the whole text from the file the name gives, and that is FOLDER's TempFile.
expect_short_name_of() {
  [ "$REST" = 'length=12 size=13 bytes=ann@x,bob@y,\x00' ] || fail "host read '$REST'"
  case $NAME in *'?'*) fail "the name holds '?': $NAME" ;; esac
  [ "$NAME" != 'c:\TempFile' ] || fail "announced as a failed file"
  [ "${#NAME}" -le 255 ] || fail "the name is ${#NAME} characters long: $NAME"
  [ "$(od -An -c "$1/TempFile" | tr -d ' \n')" = 'ann@x,bob@y,\0' ] ||
    fail "TempFile in $1: $(od -An -c "$1/TempFile" 2>&1)"
  [ "$(winepath -u "$NAME" 2>/dev/null)" -ef "$1/TempFile" ] || fail "the name $NAME is not the file in $1"
}

temp_win=$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
temp_dir=$(winepath -u "$temp_win" 2>/dev/null)
[ -d "$temp_dir" ] || fail "no temporary folder: '$temp_win'"
temp_win=${temp_win%\\}
temp_dir=${temp_dir%/}
unicode_dir=$temp_dir/$folder_name
mkdir -p "$unicode_dir"

echo "== the user's TEMP and TMP name a folder with Cyrillic letters"
for name in TEMP TMP; do echo "$name $(env_entry "$name")"; done > "$saved_env"
set_temp "$temp_win\\$folder_name"
# cmd prints in the ANSI code page, so the letters come out as "?": one for each.
seen=$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
[ "$seen" = "$temp_win\\?????????" ] || fail "a new process sees TEMP='$seen'"
pass "a new process sees TEMP as $seen in the ANSI code page"

echo "== c:\\TempFile refused: the host gets the short name of the file in that folder"
rm -f "$drive_c/TempFile"  # an earlier test's hand-off leaves its file there
mkdir "$drive_c/TempFile" || fail "could not put a folder in the place of c:\\TempFile"
write_persons 'Ann|ann@x|;;|' 'Bob|bob@y|;;|'
start_host
hand_off
expect_short_name_of "$unicode_dir"
pass "short name $NAME, 12 bytes of text"

echo "== a temporary folder so deep that the full name of TempFile passes 255 characters"
deep_top=$temp_dir/longfolders
deep_win=$temp_win\\longfolders deep_dir=$deep_top
while [ $((${#deep_win} + 9)) -le 255 ]; do
  step=$((256 - ${#deep_win} - 9 - 1))
  [ "$step" -le 60 ] || step=60
  [ "$step" -ge 2 ] || step=2
  part=$(printf 'long%.0s' $(seq 1 20) | head -c "$step")
  deep_win=$deep_win\\$part deep_dir=$deep_dir/$part
done
mkdir -p "$deep_dir"
full_length=$((${#deep_win} + 9))
[ "$full_length" -gt 255 ] && [ "$full_length" -lt 260 ] || fail "made a full name of $full_length characters"
set_temp "$deep_win"
hand_off
expect_short_name_of "$deep_dir"
pass "a $full_length-character name went as the short $NAME"
echo "handoff temporary names: all checks passed"
