#!/bin/sh
# Every picture in resources/art converts; the person bitmap has the exact 4-bit layout.
set -e
tool=$1; res=$2; out=$(mktemp -d); trap 'rm -rf "$out"' EXIT
for art in "$res"/art/*.txt; do
  name=$(basename "$art" .txt)
  kind=$(sed -n 's/^kind *//p' "$art")
  "$tool" "$art" "$out/$name.$kind"
done
# 14 file header + 40 info header + 16 colours * 4 + 16 rows * 12 bytes
test "$(wc -c < "$out/person.bmp")" -eq 310
# Top row is stored last: all white (index F), then padding.
test "$(tail -c 12 "$out/person.bmp" | od -An -tx1 | tr -d ' \n')" = "ffffffffffffffffffffff00"
echo "pixelart: all pictures converted"
