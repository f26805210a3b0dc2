#!/bin/bash
# The release is reproducible and is the commit: the package built from the project's folder, with
# an untracked source file and an untracked help page planted in it, and again from a clone of the
# same commit in another folder, later, gives the same zip byte for byte, and the same qlon.chm.
# Leaves the first build's zip in dist/ (the release test unpacks it).
# Usage: package_reproducible.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$root/build/reproducible
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}

fail() { echo "FAIL: $*" >&2; exit 1; }

# Files a checkout may hold that were never committed: both would change the zip if they were
# built (every .cpp of a feature folder is compiled, every file of help/ goes to the compiler).
planted=("$root/app/zz_untracked_probe.cpp" "$root/help/zz_untracked_probe.htm")
for file in "${planted[@]}"; do [ ! -e "$file" ] || fail "$file is in the way"; done
trap 'rm -f "${planted[@]}"' EXIT
printf 'extern const char untrackedProbe[] = "this file is not committed";\n' >"${planted[0]}"
printf '<html><body>This page is not committed.</body></html>\n' >"${planted[1]}"

first=$(bash "$root/tools/package.sh" "$root/build/package" "$root/dist") ||
  fail "the first package build failed"
first=${first%%$'\n'*}
rm -f "${planted[@]}"
for file in app/zz_untracked_probe.cpp help/zz_untracked_probe.htm; do
  [ ! -e "$root/build/package/source/$file" ] || fail "the build's sources hold the untracked $file"
done

# The copy: a clone of the same commit, in a folder of another name and length.
rm -rf "$work"
copy=$work/another-source-folder
git clone -q --no-hardlinks "$root" "$copy"
git -C "$copy" checkout -q --detach "$(git -C "$root" rev-parse HEAD)"
second=$(bash "$copy/tools/package.sh" "$work/other-build" "$work/dist") ||
  fail "the second package build (in $copy) failed"
second=${second%%$'\n'*}

hash() { sha256sum "$1" | cut -d' ' -f1; }
chm_a=$root/build/package/qlon.chm chm_b=$work/other-build/qlon.chm
[ "$(hash "$chm_a")" = "$(hash "$chm_b")" ] ||
  fail "qlon.chm differs: $(hash "$chm_a") ($chm_a), $(hash "$chm_b") ($chm_b); $(cmp -l "$chm_a" "$chm_b" | wc -l) bytes"
echo "PASS: qlon.chm is the same from both folders, untracked help page or not: $(hash "$chm_a")"
[ "$(hash "$first")" = "$(hash "$second")" ] ||
  fail "the zips differ: $(hash "$first") ($first), $(hash "$second") ($second); $(cmp -l "$first" "$second" | wc -l) bytes"
echo "PASS: $(basename "$first") is the same from both folders, untracked source file or not: $(hash "$first")"
rm -rf "$work"
