#!/bin/bash
# Installs the Debian packages the build and the tests need, skipping what is already there.
set -euo pipefail
packages=(cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
          g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth imagemagick xdotool
          fp-utils
          python3 git unzip e2fsprogs)
# The print test: its own CUPS scheduler with a PDF printer, and the PDF's text.
packages+=(cups cups-client printer-driver-cups-pdf poppler-utils)
# Japanese glyphs for the program under code page 932 (Wine falls back to them for the faces it lacks).
packages+=(fonts-ipafont-gothic)
# The sync tests: two CardDAV servers, curl as "the phone", openssl for the test certificates,
# and vdirsyncer for the sync benchmark.
packages+=(radicale xandikos vdirsyncer curl openssl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
