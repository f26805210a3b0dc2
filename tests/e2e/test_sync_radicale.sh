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
run_two_way_scenarios
