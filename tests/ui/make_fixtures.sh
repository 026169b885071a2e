#!/usr/bin/env bash
# Builds the framework tests' fixtures with Debian's zip: skin archives (deflated, stored, with
# folders, encrypted, appended to other bytes, corrupted), a small BMP image and the PNG images
# of the render tests.
set -euo pipefail
src=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
cp -r "$src/skin" "$out/skin"
mkdir -p "$out/skin/img"

# A 2 by 2 pixel 32-bit BMP (bottom-up rows, BGRA): red, green / blue, half-transparent white.
{
  printf 'BM'; printf '\x46\x00\x00\x00'; printf '\x00\x00\x00\x00'; printf '\x36\x00\x00\x00'
  printf '\x28\x00\x00\x00'; printf '\x02\x00\x00\x00'; printf '\x02\x00\x00\x00'
  printf '\x01\x00'; printf '\x20\x00'; printf '\x00\x00\x00\x00'; printf '\x10\x00\x00\x00'
  printf '\x13\x0b\x00\x00'; printf '\x13\x0b\x00\x00'; printf '\x00\x00\x00\x00'; printf '\x00\x00\x00\x00'
  printf '\xff\x00\x00\xff'; printf '\xff\xff\xff\x80'
  printf '\x00\x00\xff\xff'; printf '\x00\xff\x00\xff'
} > "$out/skin/img/dot.bmp"

# The render tests' images (beside the skin, so that the archives stay as they are).
mkdir -p "$out/images"
python3 "$(dirname "$0")/make_images.py" "$out/images"

# A layout as big as the layout reader allows, plus one byte.
head -c 4194305 /dev/zero | tr '\0' ' ' > "$out/skin/toolarge.xml"

# Text long enough to span several inflate input chunks.
seq 1 60000 > "$out/big.txt"
printf 'payload of a stored item, 40 bytes long\n' > "$out/payload.txt"
head -c 100 /dev/urandom | od -An -tx1 | tr -d ' \n' | head -c 100 > "$out/hundred.txt"

(cd "$out/skin" && zip -q -X -r ../skin.zip . -x toolarge.xml)
(cd "$out/skin" && zip -q -X -0 -r ../stored.zip . -x toolarge.xml)
(cd "$out/skin" && zip -q -r ../skin_with_times.zip install.xml)
(cd "$out/skin" && zip -q -X -P secret ../encrypted.zip install.xml)
(cd "$out" && zip -q -X -9 big.zip big.txt hundred.txt)
(cd "$out/skin" && zip -q -X ../toolarge.zip toolarge.xml)

# A zip behind other bytes, as when an archive is appended to a program.
{ head -c 3000 /dev/zero | tr '\0' 'P'; cat "$out/skin.zip"; } > "$out/appended.bin"

# One flipped byte inside a stored item's data, and inside a deflated item's data.
flip() {  # file offset
  local byte
  byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
  printf "$(printf '\\%03o' $(( byte ^ 0x5A )))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
(cd "$out" && zip -q -X -0 corrupt_stored.zip payload.txt)
flip "$out/corrupt_stored.zip" $((30 + 11 + 10))
(cd "$out" && zip -q -X -9 corrupt_deflated.zip big.txt)
flip "$out/corrupt_deflated.zip" $((30 + 7 + 2000))
# The demo skin of the window tests: layouts and a state strip drawn here, zipped by zip.
mkdir -p "$out/demo/img"
cp "$src/demo/"*.xml "$out/demo/"
python3 "$(dirname "$0")/make_demo_images.py" "$out/demo/img/strip.png"
(cd "$out/demo" && zip -q -X -r ../demo.zip .)
touch "$out/.done"
