#!/bin/bash
# Installs what is missing, builds both builds and runs every test: unit, fuzz (30 s a target), the
# release package's reproducibility, end-to-end (among them the release zip's own test).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
jobs=$(nproc)
echo "== Unit tests (native, ASan + UBSan)"
ctest --test-dir build/native --output-on-failure -j"$jobs"
echo "== Fuzz targets (30 s each)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DKALBOOK_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/fuzz -j"$jobs"
FUZZ_SECONDS=${FUZZ_SECONDS:-30} ctest --test-dir build/fuzz --output-on-failure
echo "== Release package (built twice, in two folders, and compared)"
bash tests/release/package_reproducible.sh
echo "== End-to-end tests (kalbook.exe under Wine)"
ctest --test-dir build/win --output-on-failure
