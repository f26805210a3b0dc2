#!/bin/bash
# The release zip as a Windows user gets it: unpacked into a new folder that takes no new files
# (as "C:\Program Files" for a standard user) and started from there in a fresh Wine prefix, the
# program keeps the book in %APPDATA%\kalbook and says so once; F1 opens the help beside it; the
# executable carries the version resource and the manifest. Needs the zip of tools/package.sh
# (the test command builds it first); without one the test is skipped.
root=$(cd "$(dirname "$0")/../.." && pwd)
zip=${KALBOOK_ZIP:-$(ls "$root"/dist/kalbook-*-win64.zip 2>/dev/null | head -1)}
if [ ! -f "$zip" ]; then
  echo "SKIP: no release zip in $root/dist: run bash tools/package.sh first"
  exit 77
fi
# An earlier run that stopped half-way may have left the folders immutable.
[ -z "${E2E_STATE:-}" ] || chattr -R -i "$E2E_STATE/work/$(basename "$0" .sh)" 2>/dev/null || true
source "$(dirname "$0")/lib.sh"
VK_F1=0x70
name=$(basename "$zip")
version=${name#kalbook-}; version=${version%-win64.zip}

refusing=()
fresh_prefix=""
# Only this test's own prefix is stopped and removed (it takes several hundred MB), never the
# run's shared one.
cleanup() {
  stop_started
  if [ -n "$fresh_prefix" ]; then
    WINEPREFIX=$fresh_prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$fresh_prefix wineserver -w 2>/dev/null || true
    rm -rf "$fresh_prefix"
  fi
  for folder in "${refusing[@]}"; do chattr -i "$folder" 2>/dev/null || true; done
}
trap cleanup EXIT

echo "== a fresh Wine prefix"
source "$root/tools/headless.sh"
export WINEPREFIX=$BOOK/prefix
fresh_prefix=$WINEPREFIX
init_prefix
[ -f "$WINEPREFIX/system.reg" ] || fail "the fresh prefix was not made"
user_dir=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/kalbook
[ ! -e "$user_dir" ] || fail "the fresh prefix already has $user_dir"

echo "== the zip unpacked into a folder that takes no new files"
mkdir -p "$BOOK/unpacked"
unzip -q "$zip" -d "$BOOK/unpacked" || fail "$zip does not unpack"
program=$BOOK/unpacked/kalbook-$version
listing=$(cd "$BOOK/unpacked" && find . | sort | tr '\n' ' ')
want=". ./kalbook-$version ./kalbook-$version/LICENSE.txt ./kalbook-$version/README.txt ./kalbook-$version/kalbook.exe ./kalbook-$version/qlon.chm "
[ "$listing" = "$want" ] || fail "the zip holds '$listing', want '$want'"
chattr +i "$program" || fail "chattr +i $program failed (the test needs an immutable folder)"
refusing+=("$program")
touch "$program/probe" 2>/dev/null && fail "the immutable folder took a new file"
pass "$name holds one folder kalbook-$version with the four files; the folder refuses new files"

start_unpacked() { KALBOOK_EXE=$program/kalbook.exe start_book_in "$1"; }

start_unpacked "$program"
book=$LAST_PID
box=$(driver -t 60 find "#32770" "Address Book") || fail "no message about the book's folder"
text=$(driver msgbox "Address Book")
screenshot "$BOOK/book-folder-message.png"
want="The address book cannot be kept in
$(winepath -w "$program" 2>/dev/null)
It is kept in
$(winepath -w "$user_dir" 2>/dev/null)"
[ "$text" = "$want" ] || fail "message reads '$text', want '$want'"
[ -d "$user_dir" ] || fail "$user_dir was not made"
driver click "$box" 1 >/dev/null
driver -t 5 gone "$box" >/dev/null || fail "the message did not close"
main=$(main_window) || fail "no main window after the message"
pass "message 193 names both folders; the window appears"

driver command "$main" 100 >/dev/null
dialog=$(driver find-dialog Properties 105) || fail "the person dialog did not open"
driver settext "$dialog" 100 Ann >/dev/null
driver settext "$dialog" 101 ann@example.com >/dev/null
driver click "$dialog" 1 >/dev/null
driver gone "$dialog" >/dev/null || fail "OK did not close the person dialog"
expect_file "$user_dir/personal.inf" '\x01\0\0\0Ann\0ann@example.com\0;;\0\0'
[ "$(driver count "#32770" "Address Book")" = 0 ] || fail "a message after the save: $(driver msgbox "Address Book")"
pass "the new person is saved in %APPDATA%\\kalbook\\personal.inf"

driver post "$main" WM_KEYDOWN $VK_F1 0 >/dev/null
help=$(driver find "HH Parent" "Address Book Help") || fail "F1 opened no help window"
[ "$(driver count "#32770" "Address Book")" = 0 ] || fail "F1 gave a message: $(driver msgbox "Address Book")"
driver post "$help" WM_CLOSE 0 0 >/dev/null
driver gone "$help" >/dev/null || fail "the help window did not close"
pass "F1 opens the help from the unpacked folder"

driver command "$main" 110 >/dev/null
wait_exit "$book" || fail "the program did not end"

start_unpacked "$program"
book=$LAST_PID
main=$(main_window) || fail "no main window at the second start"
[ "$(driver count "#32770" "Address Book")" = 0 ] || fail "told again: $(driver msgbox "Address Book")"
[ "$(list_count "$main" 190)" = 1 ] || fail "the second start shows $(list_count "$main" 190) entries, want 1"
driver command "$main" 110 >/dev/null
wait_exit "$book" || fail "the program did not end (second start)"
pass "the second start finds the book in %APPDATA%\\kalbook without a message"

# A folder that refuses new files but holds a book keeps it there.
kept=$BOOK/kept
mkdir -p "$kept"
python3 -c "import sys; open(sys.argv[1], 'wb').write(b'\x01\0\0\0Kept\0\0;;\0\0')" "$kept/personal.inf"
chattr +i "$kept" || fail "chattr +i $kept failed"
refusing+=("$kept")
start_unpacked "$kept"
book=$LAST_PID
main=$(main_window) || fail "no main window in a refusing folder with a book"
[ "$(driver count "#32770" "Address Book")" = 0 ] || fail "a message in a folder with a book: $(driver msgbox "Address Book")"
[ "$(list_count "$main" 190)" = 1 ] || fail "the folder's own book not shown: $(list_count "$main" 190) entries"
driver command "$main" 110 >/dev/null
wait_exit "$book" || fail "the program did not end (folder with a book)"
pass "a folder with a book keeps it, without a message"

exe=$(winepath -w "$program/kalbook.exe" 2>/dev/null)
info=$(driver version "$exe") || fail "no version resource: $info"
for line in "fixed $version.0" "translation 0409 1252" "FileVersion $version" "ProductVersion $version" \
            "FileDescription Address Book" "ProductName Address Book" "InternalName kalbook" \
            "OriginalFilename kalbook.exe"; do
  grep -qx "$line" <<< "$info" || fail "version resource lacks '$line': $info"
done
grep -q "^LegalCopyright ." <<< "$info" || fail "no LegalCopyright: $info"
pass "GetFileVersionInfoA reads version $version and the names"

manifest=$(driver manifest "$exe") || fail "no manifest: $manifest"
grep -q 'requestedExecutionLevel level="asInvoker"' <<< "$manifest" || fail "manifest: $manifest"
grep -q 'Microsoft.Windows.Common-Controls' <<< "$manifest" && fail "the manifest asks for Common Controls 6"
pass "the manifest (type 24, id 1) asks for asInvoker"
