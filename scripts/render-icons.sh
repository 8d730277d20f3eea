#!/usr/bin/env bash
# Renders the program icon (res/icons/quillon.svg) into the hicolor PNG sizes that desktops
# without SVG icons look for, into dist/icons/. The PNGs are committed: run this again only when
# the SVG changes. rsvg-convert (librsvg2-bin) is installed when missing; only this script needs it.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v rsvg-convert >/dev/null; then
  as_root=()
  [[ $(id -u) -ne 0 ]] && as_root=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q --no-install-recommends librsvg2-bin
fi
for size in 16 24 32 48 64 128 256; do
  out="dist/icons/hicolor/${size}x${size}/apps/example.quillon.Utility.png"
  mkdir -p "$(dirname "$out")"
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio res/icons/quillon.svg -o "$out"
  echo "$out"
done
