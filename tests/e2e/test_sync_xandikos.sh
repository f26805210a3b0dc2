#!/bin/bash
# Two-way sync with Xandikos (no authentication), each step as a user meets it: an edit each
# way, an edit on both sides of one card, deletes each way, a rename here, groups in their three
# forms, a memo edited on a card with TEL, ADR and PHOTO, a 300-character NOTE.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sync_lib.sh"
source "$(dirname "$0")/sync_scenarios.sh"

start_xandikos "$BOOK/xandikos"
SERVER=Xandikos DAV=$XANDIKOS_BOOK DAV_ROOT=$XANDIKOS_URL DAV_ARGS=()
run_two_way_scenarios
