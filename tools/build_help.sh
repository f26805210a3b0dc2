#!/bin/bash
# Compiles the help topics into qlon.chm and checks the result: every file of the project is in
# the compiled file, the window type is there, and context 5 opens the project's opening topic.
# chmcmd writes the folder it compiles in and the time of day into the file: it compiles in one
# fixed folder (one build at a time), and the times are set from SOURCE_DATE_EPOCH, so that one
# commit gives one qlon.chm wherever and whenever it is built.
# Usage: build_help.sh SOURCE_DIR OUTPUT_CHM
set -euo pipefail
source_dir=$1 output=$2
tools=$(cd "$(dirname "$0")" && pwd)
stage=/tmp/kalbook-help
project=qlon.hhp
exec 9> "$stage.lock"
flock 9
rm -rf "$stage"
mkdir -p "$stage"
cp "$source_dir"/* "$stage"/
cd "$stage"
chmcmd "$project" > chmcmd.log 2>&1 || { cat chmcmd.log >&2; exit 1; }
chm=$(sed -n 's/^Compiled file=//p' "$project" | tr -d '\r')
python3 "$tools/fix_help_context.py" "$chm" "$project"
python3 "$tools/fix_help_time.py" "$chm"

fail() { echo "help check: $*" >&2; rm -f "$chm"; exit 1; }
listed=$(chmls -n list "$chm" | tr -d '\r')
files=$(sed -n '/^\[FILES\]/,/^\[/p' "$project" | tr -d '\r' | grep -v '^\[' | grep -v '^$')
for f in $files; do
  grep -qx "/$f" <<< "$listed" || fail "$f is not in $chm"
done
windows=$(chmls printwindows "$chm")
grep -q 'WindowType *: qlonhlp' <<< "$windows" || fail "window type qlonhlp missing"
grep -q 'Title Bar Text *: Address Book Help' <<< "$windows" || fail "caption missing"
opening=$(sed -n 's/^Default topic=//p' "$project" | tr -d '\r')
chmls extractalias "$chm" > /dev/null  # writes the map as NAME.ali, one "helpidN=topic" a line
aliases=$(tr -d '\r' < "${chm%.chm}.ali")
grep -qx "helpid5=$opening" <<< "$aliases" || fail "context 5 does not open $opening: $aliases"
echo "help check: $(wc -w <<< "$files") files listed, context 5 opens $opening"
cp "$chm" "$output"
