#!/bin/bash
# Two-way sync with Radicale (Basic authentication), each step as a user meets it: an edit each
# way, an edit on both sides of one card, deletes each way, a rename here, groups in their three
# forms, a memo edited on a card with TEL, ADR and PHOTO, a 300-character NOTE.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sync_lib.sh"
source "$(dirname "$0")/sync_scenarios.sh"

start_radicale "$BOOK/radicale"
SERVER=Radicale DAV=$RADICALE_BOOK DAV_ROOT=$RADICALE_URL DAV_ARGS=("${AUTH[@]}")
DAV_USER=$CARDDAV_USER DAV_PASSWORD=$CARDDAV_PASSWORD
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
