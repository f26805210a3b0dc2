#!/bin/bash
# Printing through a real print path: the test's own CUPS scheduler with a PDF printer, Wine
# printing to it. The PDF's text holds the selected entries in order under the page headers and
# no others; with nothing selected the whole list in its order; Cancel prints nothing.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/print_scheduler.sh"
PRINTED=()  # the PDFs this test made, removed at the end
trap 'stop_started; driver delete-printer KalFile >/dev/null 2>&1 || true; stop_scheduler; rm -f "${PRINTED[@]}"' EXIT
# Without its own scheduler the test would check nothing: ctest counts it as skipped, with why.
start_scheduler || { echo "SKIP: $SCHEDULER_PROBLEM"; exit 77; }

# Prints through the print dialog with OK (after "pages FROM TO" when given) and leaves the PDF's text in $1.txt, one printed line
# a line, the header's title and page number joined by " | ".
print_to() {
  local jobs; jobs=$(completed_jobs)
  driver command "$main" 104 >/dev/null
  local dialog; dialog=$(driver find-dialog Print 1) || fail "the print dialog did not open"
  [ "$(driver text "$dialog" 1139)" = KalPDF ] || fail "the print dialog offers '$(driver text "$dialog" 1139)'"
  if [ "${2:-}" = pages ]; then  # the "Pages" choice with its from and to boxes
    driver send "$(driver child "$dialog" 1056)" 0x00F1 0 0 >/dev/null  # BM_SETCHECK: "All" off
    driver send "$(driver child "$dialog" 1058)" 0x00F1 1 0 >/dev/null  # "Pages" on
    driver settext "$dialog" 1152 "$3" >/dev/null
    driver settext "$dialog" 1153 "$4" >/dev/null
  fi
  driver click "$dialog" 1 >/dev/null
  driver gone "$dialog" || fail "OK left the print dialog open"
  local pdf; pdf=$(job_pdf $((jobs + 1)))
  PRINTED+=("$pdf")
  pdftotext -layout "$pdf" "$1.raw" || fail "pdftotext could not read $pdf"
  sed 's/^ *//; s/ *$//; s/   */ | /g; /^$/d; s/\f//g' "$1.raw" >"$1.txt"
}
# Line numbers of the patterns in the text, each must be there, in the order given.
in_order() {
  local file=$1 last=0 n; shift
  for pattern in "$@"; do
    n=$(grep -n -x -F -- "$pattern" "$file" | head -1 | cut -d: -f1)
    [ -n "$n" ] || fail "'$pattern' is not in the printout: $(tr '\n' '|' <"$file")"
    [ "$n" -gt "$last" ] || fail "'$pattern' is out of order in the printout: $(tr '\n' '|' <"$file")"
    last=$n
  done
}
# The documents the scheduler's spool holds (kept after their jobs complete).
spool_files() { find "$CUPS_DIR/spool" -maxdepth 1 -name 'd*' -printf '%f\n' | sort | tr '\n' ' '; }
absent() { ! grep -q -F -- "$2" "$1" || fail "'$2' was printed: $(tr '\n' '|' <"$1")"; }

write_persons 'Anna Alpha|anna@alpha.example|Anna;Maria;Alpha|likes long walks on the beach' \
  'Bert Beta|bert@beta.example|;;|' 'Cora Gamma|cora@gamma.example|Cora;;Gamma|' \
  'Dirk Delta|dirk@delta.example|;;|' 'Emil Epsilon|emil@epsilon.example|;;|'
write_groups 'Team Omega|weekly meeting|Cora Gamma,Anna Alpha' 'Club Sigma||Bert Beta'
start_book
main=$(main_window) || fail "no main window"
wait_for '[ "$(list_count "$main" 190)" = 7 ]' || fail "the book shows $(list_count "$main" 190) entries"

echo "== the selection is printed in list order, with the page header"
# Cora (slot 2), Anna (slot 0) and the group Team Omega (group slot 0), selected in list order.
driver lb-select "$main" 190 0 2 5 >/dev/null
print_to selection
in_order selection.txt 'Address Book | Page 1' 'Anna Alpha' 'anna@alpha.example' Anna Maria Alpha \
  'likes long walks on the beach' 'Cora Gamma' 'cora@gamma.example' Cora Gamma \
  'Team Omega (group)' 'weekly meeting' 'Cora Gamma, Anna Alpha'
for other in 'Bert Beta' 'Dirk Delta' 'Emil Epsilon' 'Club Sigma' 'Page 2'; do absent selection.txt "$other"; done
pass "selection printed"

echo "== Cancel in the print dialog prints nothing"
jobs=$(completed_jobs)
driver command "$main" 104 >/dev/null
dialog=$(driver find-dialog Print 1) || fail "the print dialog did not open"
driver click "$dialog" 2 >/dev/null
driver gone "$dialog" || fail "Cancel left the print dialog open"
driver command "$main" 109 >/dev/null  # posted after: once Find is up, the cancel was handled
find=$(driver find-dialog Find 103) || fail "Find did not open"
driver click "$find" 2 >/dev/null
[ "$(lpstat -o 2>/dev/null | wc -l)" = 0 ] && [ "$(completed_jobs)" = "$jobs" ] || fail "Cancel printed: $(lpstat -W all -o)"
[ "$(driver count "#32770" "Address Book")" = 0 ] || fail "Cancel showed a message: $(driver msgbox "Address Book")"
pass "cancel"

echo "== with nothing selected the whole book, in the list's order, over several pages"
people=()
for i in $(seq -w 1 60); do people+=("Person $i|p$i@example.org|;;|memo of person $i"); done
write_persons "${people[@]}"
write_groups 'Everyone||Person 01,Person 60'
driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the book did not close"
start_book
main=$(main_window) || fail "no main window"
wait_for '[ "$(list_count "$main" 190)" = 61 ]' || fail "the book shows $(list_count "$main" 190) entries"
driver command "$main" 113 >/dev/null  # by name, ascending
driver command "$main" 113 >/dev/null  # descending: Person 60 first, the group last
wait_for '[ "$(list_data "$main" 190 | head -1)" = 0x3b0000 ]' || fail "the sort did not run"
[ -z "$(driver lb-sel "$main" 190)" ] || fail "entries still selected: $(driver lb-sel "$main" 190)"
print_to book
expected=('Address Book | Page 1')
for i in $(seq -w 60 -1 1); do expected+=("Person $i" "p$i@example.org" "memo of person $i"); done
expected+=('Everyone (group)' 'Person 01, Person 60')
in_order book.txt "${expected[@]}"
headers=$(grep -x 'Address Book | Page [0-9]*' book.txt | sed 's/.*Page //' | tr '\n' ' ')
pages=$(grep -c -x 'Address Book | Page [0-9]*' book.txt)
[ "$pages" -ge 3 ] && [ "$headers" = "$(seq 1 "$pages" | tr '\n' ' ')" ] || fail "page headers: $headers"
pass "whole book on $pages pages"

echo "== a page range prints only those pages"
print_to range pages 2 2
grep -q -x 'Address Book | Page 2' range.txt || fail "page 2 was not printed: $(head -3 range.txt | tr '\n' '|')"
[ "$(grep -c -x 'Address Book | Page [0-9]*' range.txt)" = 1 ] || fail "pages printed: $(grep -x 'Address Book.*' range.txt | tr '\n' ' ')"
first=$(sed -n 2p range.txt)
[ "$first" = "$(sed -n '/^Address Book | Page 2$/{n;p}' book.txt)" ] || fail "page 2 begins with '$first'"
pass "page range"

echo "== a page range after the last page prints nothing and says so"
jobs=$(lpstat -W all -o 2>/dev/null | grep -c '^KalPDF-' || true)
spooled=$(spool_files)
driver command "$main" 104 >/dev/null
dialog=$(driver find-dialog Print 1) || fail "the print dialog did not open"
driver send "$(driver child "$dialog" 1056)" 0x00F1 0 0 >/dev/null  # "All" off
driver send "$(driver child "$dialog" 1058)" 0x00F1 1 0 >/dev/null  # "Pages" on
driver settext "$dialog" 1152 $((pages + 1)) >/dev/null
driver settext "$dialog" 1153 $((pages + 3)) >/dev/null
driver click "$dialog" 1 >/dev/null
driver gone "$dialog" || fail "OK left the print dialog open"
box=$(driver find "#32770" "Address Book") || fail "no message for pages $((pages + 1)) to $((pages + 3)) of $pages"
message=$(driver msgbox "Address Book")
[ "$message" = "Nothing was printed: the pages asked for come after the last page, page $pages." ] ||
  fail "message for a range after the last page: '$message'"
driver click "$box" 1 >/dev/null
driver gone "$box" || fail "the message stayed"
settled "$main" || fail "the main window does not answer after the message"
[ "$(lpstat -W all -o 2>/dev/null | grep -c '^KalPDF-' || true)" = "$jobs" ] ||
  fail "a job was sent for pages after the last: $(lpstat -W all -o)"
[ "$(spool_files)" = "$spooled" ] || fail "the spool took a document: $(spool_files)"
pass "range after the last page: $message"

echo "== a printer on the port FILE: asks for the file: OK writes the document there, Cancel says nothing"
# The printer's driver is KalPDF's; only its port differs. Wine asks in its own "Print to File"
# prompt when a document starts, as a print-to-file or PDF printer's driver does on Windows.
driver add-printer KalFile FILE: KalPDF || fail "could not add the printer KalFile"
print_to_file() {  # opens the prompt for KalFile and leaves it in $prompt
  driver command "$main" 104 >/dev/null
  dialog=$(driver find-dialog Print 1) || fail "the print dialog did not open"
  local index; index=$(driver cb-texts "$dialog" 1139 | grep -n -x -F KalFile | cut -d: -f1)
  [ -n "$index" ] || fail "the print dialog does not offer KalFile: $(driver cb-texts "$dialog" 1139 | tr '\n' ' ')"
  driver cb-select "$dialog" 1139 $((index - 1)) >/dev/null
  wait_for '[ "$(driver text "$dialog" 1139)" = KalFile ]' || fail "KalFile was not chosen: $(driver text "$dialog" 1139)"
  driver click "$dialog" 1 >/dev/null
  driver gone "$dialog" || fail "OK left the print dialog open"
  prompt=$(driver find-dialog "Print to File" 201) || fail "no prompt for the file name: $(driver texts "$(driver find "#32770" -)")"
}
jobs=$(lpstat -W all -o 2>/dev/null | grep -c '^KalPDF-' || true)
spooled=$(spool_files)
print_to_file
driver settext "$prompt" 201 "$(winpath printed.ps)" >/dev/null
driver click "$prompt" 1 >/dev/null
driver gone "$prompt" || fail "OK left the prompt open"
settled "$main" || fail "the main window does not answer after printing to a file"
[ "$(head -c 10 printed.ps 2>/dev/null)" = '%!PS-Adobe' ] || fail "printed.ps is not the document: $(head -c 60 printed.ps 2>&1)"
grep -q 'Address Book' printed.ps || fail "printed.ps does not name the document"
[ "$(driver count "#32770" "Address Book")" = 0 ] || fail "printing to a file showed: $(driver msgbox "Address Book")"
pass "the file named in the prompt holds the document ($(wc -c <printed.ps) bytes)"
print_to_file
driver click "$prompt" 2 >/dev/null
driver gone "$prompt" || fail "Cancel left the prompt open"
settled "$main" || fail "the main window does not answer after the cancelled prompt"
[ "$(driver count "#32770" "Address Book")" = 0 ] || fail "the cancelled prompt showed: $(driver msgbox "Address Book")"
[ "$(lpstat -W all -o 2>/dev/null | grep -c '^KalPDF-' || true)" = "$jobs" ] && [ "$(spool_files)" = "$spooled" ] ||
  fail "printing to a file reached the scheduler: $(lpstat -W all -o) / $(spool_files)"
# Wine's StartDoc goes on after Cancel in its prompt (it does not fail with ERROR_CANCELLED as
# Windows does) and its FILE: port writes the document to a file named "FILE:" in the current
# folder; the silence of ERROR_CANCELLED itself is the PrintFailure unit test's.
pass "cancel in the prompt: no message, nothing sent to the scheduler$([ -e FILE: ] && echo "; Wine wrote FILE: in the book folder")"
driver delete-printer KalFile || fail "could not remove the printer KalFile"

echo "== without a printer the print command says so"
driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the book did not close"
stop_scheduler
export CUPS_SERVER=$BOOK/no-scheduler.sock
start_book
main=$(main_window) || fail "no main window"
driver command "$main" 104 >/dev/null
box=$(driver find "#32770" "Address Book") || fail "no message without a printer"
message=$(driver msgbox "Address Book")
case $message in "Printing failed:"$'\n'?*) ;; *) fail "message without a printer: '$message'" ;; esac
driver click "$box" 1 >/dev/null
driver gone "$box" || fail "the message stayed"
pass "no printer: $(echo "$message" | tr '\n' ' ')"
