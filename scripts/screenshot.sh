#!/usr/bin/env bash
# Runs quillon-demo on a virtual display exactly the window's size and, once its first search has
# filled the list, saves the screen as docs/quillon-demo.png (or the path given).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# ImageMagick's import grabs the virtual screen; only this script needs it.
if ! command -v import >/dev/null; then
  as_root=()
  [[ $(id -u) -ne 0 ]] && as_root=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q --no-install-recommends imagemagick
fi
cmake --preset release >/dev/null
cmake --build --preset release --target quillon-demo

output=${1:-docs/quillon-demo.png}
# The demo's search takes about 9 s: two adapters of 3.6 s discovery each, then the queries.
wait_seconds=${SCREENSHOT_WAIT:-15}
mkdir -p "$(dirname "$output")"
# Its own runtime directory, so that a demo already running does not hold the single-instance lock.
runtime_dir=$(mktemp -d)
trap 'rm -rf "$runtime_dir"' EXIT
XDG_RUNTIME_DIR=$runtime_dir xvfb-run -a -s "-screen 0 640x479x24" bash -c '
  build/release/src/app/quillon-demo >/dev/null &
  demo=$!
  sleep "$1"
  import -window root "$2"
  kill "$demo"
  wait "$demo" 2>/dev/null || true
' screenshot "$wait_seconds" "$output"
echo "screenshot: $output"
