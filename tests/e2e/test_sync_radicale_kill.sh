#!/bin/bash
# Sync with Radicale when the program is killed while it sends many new persons, and the
# automatic syncs: 10 seconds after a change, and the periodic one.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sync_lib.sh"
source "$(dirname "$0")/sync_scenarios.sh"

start_radicale "$BOOK/radicale"
SERVER=Radicale DAV=$RADICALE_BOOK DAV_ROOT=$RADICALE_URL DAV_ARGS=("${AUTH[@]}")
DAV_USER=$CARDDAV_USER DAV_PASSWORD=$CARDDAV_PASSWORD
setup_synced_book
scenario_kill_during_sync
scenario_automatic_syncs
driver command "$main" 110 >/dev/null
wait_exit "$LAST_PID" || fail "the program did not end"
