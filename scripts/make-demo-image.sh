#!/usr/bin/env bash
# Writes a firmware image that the demo cards and quillon-cardsim's cards accept: SIZE bytes
# (default 1 MiB) of the letter Q, a valid info block (all zero) at 0xFF00, and the boot
# version word 1 with compatibility code 5 at 0xFFE4.
#   scripts/make-demo-image.sh OUT.bin [SIZE]
set -euo pipefail
out=${1:?usage: make-demo-image.sh OUT.bin [SIZE]}
size=${2:-1048576}
(( size >= 65512 )) || { echo "an image has at least 65512 bytes" >&2; exit 1; }
head -c "$size" /dev/zero | tr '\0' 'Q' > "$out"
head -c 28 /dev/zero | dd of="$out" bs=1 seek=$((0xFF00)) conv=notrunc status=none
printf '\x00\x01\x00\x05' | dd of="$out" bs=1 seek=$((0xFFE4)) conv=notrunc status=none
