#!/bin/bash
# The release is reproducible: the package built from the project's folder and again from a copy
# of it in another folder, later, gives the same zip byte for byte, and the same qlon.chm.
# Leaves the first build's zip in dist/ (the release test unpacks it).
# Usage: package_reproducible.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$root/build/reproducible
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}

fail() { echo "FAIL: $*" >&2; exit 1; }

first=$(bash "$root/tools/package.sh" "$root/build/package" "$root/dist") ||
  fail "the first package build failed"
first=${first%%$'\n'*}

# The copy: the project's files as they are now, in a folder of another name and length.
rm -rf "$work"
copy=$work/another-source-folder
mkdir -p "$copy"
(cd "$root" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$copy")
second=$(bash "$copy/tools/package.sh" "$work/other-build" "$work/dist") ||
  fail "the second package build (in $copy) failed"
second=${second%%$'\n'*}

hash() { sha256sum "$1" | cut -d' ' -f1; }
chm_a=$root/build/package/qlon.chm chm_b=$work/other-build/qlon.chm
[ "$(hash "$chm_a")" = "$(hash "$chm_b")" ] ||
  fail "qlon.chm differs: $(hash "$chm_a") ($chm_a), $(hash "$chm_b") ($chm_b); $(cmp -l "$chm_a" "$chm_b" | wc -l) bytes"
echo "PASS: qlon.chm is the same from both folders: $(hash "$chm_a")"
[ "$(hash "$first")" = "$(hash "$second")" ] ||
  fail "the zips differ: $(hash "$first") ($first), $(hash "$second") ($second); $(cmp -l "$first" "$second" | wc -l) bytes"
echo "PASS: $(basename "$first") is the same from both folders: $(hash "$first")"
rm -rf "$work"
