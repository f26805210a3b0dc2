#!/bin/bash
# A user temporary folder whose name the ANSI code page cannot hold (Cyrillic letters on a
# Western system, set through the user environment in the registry), with "c:\TempFile" refused:
# the host still receives a name it can open (the folder's short form), the right length and the
# exact bytes. Wine names such a folder only under a UTF-8 locale; the ANSI code page stays 1252.
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
cleanup() {
  stop_started
  [ ! -f "$saved_env" ] || restore_environment
  [ ! -d "$drive_c/TempFile" ] || rmdir "$drive_c/TempFile"
  rm -rf "${unicode_dir:-/nonexistent}"
}
trap cleanup EXIT

temp_win=$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
temp_dir=$(winepath -u "$temp_win" 2>/dev/null)
[ -d "$temp_dir" ] || fail "no temporary folder: '$temp_win'"
temp_win=${temp_win%\\}
unicode_dir=${temp_dir%/}/$folder_name
mkdir -p "$unicode_dir"

echo "== the user's TEMP and TMP name a folder with Cyrillic letters"
for name in TEMP TMP; do echo "$name $(env_entry "$name")"; done > "$saved_env"
for name in TEMP TMP; do
  wine reg add "$env_key" /v "$name" /t REG_SZ /d "$temp_win\\$folder_name" /f >/dev/null 2>&1 ||
    fail "could not set $name in the registry"
done
# cmd prints in the ANSI code page, so the letters come out as "?": one for each.
seen=$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
[ "$seen" = "$temp_win\\?????????" ] || fail "a new process sees TEMP='$seen'"
pass "a new process sees TEMP as $seen in the ANSI code page"

echo "== c:\\TempFile refused: the host gets the short name of the file in that folder"
mkdir "$drive_c/TempFile"
write_persons 'Ann|ann@x|;;|' 'Bob|bob@y|;;|'
start_host
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
line=$(grep SENDADDR "$HOST_LOG" | tr -d '\r')
[ "$(grep -c SENDADDR "$HOST_LOG")" = 1 ] || fail "messages: $(cat "$HOST_LOG")"
name=$(sed 's/^SENDADDR name=\(.*\) length=.*$/\1/' <<<"$line")
rest=$(sed 's/^SENDADDR name=.* \(length=.*\)$/\1/' <<<"$line")
echo "host got: $line"
[ "$rest" = 'length=12 size=13 bytes=ann@x,bob@y,\x00' ] || fail "host read '$rest'"
case $name in *'?'*) fail "the name holds '?': $name" ;; esac
case $name in *'\TempFile') ;; *) fail "the name is not the TempFile of a folder: $name" ;; esac
[ "$name" != 'c:\TempFile' ] || fail "announced as a failed file"
[ "$(od -An -c "$unicode_dir/TempFile" | tr -d ' \n')" = 'ann@x,bob@y,\0' ] ||
  fail "TempFile in $unicode_dir: $(od -An -c "$unicode_dir/TempFile" 2>&1)"
[ "$(winepath -u "$name" 2>/dev/null)" -ef "$unicode_dir/TempFile" ] ||
  fail "the name $name is not the file in $unicode_dir"
pass "short name $name, 12 bytes of text"
echo "handoff unicode temp: all checks passed"
