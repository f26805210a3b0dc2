#!/bin/sh
# Runs one libFuzzer target for a while over a copy of its seed corpus (the seeds stay untouched).
# usage: run_fuzz.sh TARGET SEED_DIR [SECONDS]; SECONDS defaults to $FUZZ_SECONDS, else 10
set -e
target=$1; seeds=$2; seconds=${3:-${FUZZ_SECONDS:-10}}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
[ -d "$seeds" ] && cp -r "$seeds"/. "$work"/ 2>/dev/null || true
"$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 "$work"
