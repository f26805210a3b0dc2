#!/bin/bash
# Builds the release for Windows users from a clean build folder: dist/kalbook-VERSION-win64.zip
# (one folder kalbook-VERSION with kalbook.exe, qlon.chm, README.txt and LICENSE.txt) and
# dist/SHA256SUMS. The sources are the committed tree (git archive of HEAD, unpacked into the
# build folder), so a file that is untracked or changed in the checkout never reaches the zip. One commit gives one zip, byte for byte, wherever and whenever it is built:
# the time comes from the last commit (SOURCE_DATE_EPOCH), and the archive CPack writes is
# rewritten with fixed times, a fixed order and no extra fields.
# Usage: package.sh [BUILD_DIR [DIST_DIR]]   (defaults build/package and dist)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/package}")
dist=$(realpath -m "${2:-$root/dist}")
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) ||
    { echo "package: no commit to take the time from; set SOURCE_DATE_EPOCH" >&2; exit 1; }
fi
export SOURCE_DATE_EPOCH
# A compiler cache makes the second of two builds short (the reproducibility test builds twice).
if [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ] && command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=${CCACHE_BASEDIR:-$build}
fi

rm -rf "$build"
source=$build/source
mkdir -p "$source"
commit=$(git -C "$root" rev-parse --verify HEAD) ||
  { echo "package: $root holds no commit to build" >&2; exit 1; }
git -C "$root" archive --format=tar "$commit" | tar -x -C "$source"
cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target kalbook help_chm >/dev/null
(cd "$build" && cpack -G ZIP -B "$build/cpack" >/dev/null)
packed=$(ls "$build"/cpack/kalbook-*-win64.zip)
name=$(basename "$packed")
version=${name#kalbook-}; version=${version%-win64.zip}

mkdir -p "$dist"
rm -f "$dist/$name"
python3 - "$packed" "$dist/$name" "kalbook-$version/" <<'PY'
import os, sys, time, zipfile
source, target, folder = sys.argv[1:]
wanted = {folder + n for n in ('kalbook.exe', 'qlon.chm', 'README.txt', 'LICENSE.txt')}
# The zip format's times are local times from 1980 on, without a zone; the commit's UTC time.
stamp = time.gmtime(max(int(os.environ['SOURCE_DATE_EPOCH']), 315532800))[:6]
with zipfile.ZipFile(source) as packed:
    files = {i.filename: packed.read(i) for i in packed.infolist() if not i.is_dir()}
if set(files) != wanted:
    sys.exit('package: the zip holds %s, want %s' % (sorted(files), sorted(wanted)))
with zipfile.ZipFile(target, 'w') as out:
    for name in [folder] + sorted(files):
        entry = zipfile.ZipInfo(name, stamp)
        entry.create_system = 0  # MS-DOS attributes: what Windows reads
        if name == folder:
            entry.external_attr = 0x10  # a folder
            out.writestr(entry, b'')
        else:
            entry.external_attr = 0x20  # an archive-flagged file
            entry.compress_type = zipfile.ZIP_DEFLATED
            out.writestr(entry, files[name], compresslevel=9)
PY
(cd "$dist" && sha256sum "$name" > SHA256SUMS)
echo "$dist/$name"
cat "$dist/SHA256SUMS"
