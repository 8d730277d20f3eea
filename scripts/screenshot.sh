#!/usr/bin/env bash
# Runs quillon-demo on a virtual display and saves pictures of it:
#   scripts/screenshot.sh [PATH]        the main window once its first search has filled the list
#                                       (docs/quillon-demo.png by default)
#   scripts/screenshot.sh --settings [DIR]
#                                       the four pages of the "Network Settings" sheet, opened on
#                                       demo cards by keyboard as a person would (docs/ by default):
#                                       settings-ipv4.png, settings-ipv6.png, settings-advanced.png,
#                                       settings-password.png
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# ImageMagick's import grabs the virtual screen, xdotool types into the program; only this script
# needs them.
if ! command -v import >/dev/null || ! command -v xdotool >/dev/null; then
  as_root=()
  [[ $(id -u) -ne 0 ]] && as_root=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q --no-install-recommends imagemagick xdotool
fi
cmake --preset release >/dev/null
cmake --build --preset release --target quillon-demo

settings=false
if [[ ${1:-} == --settings ]]; then
  settings=true
  shift
fi
# The demo's search takes about 9 s: two adapters of 3.6 s discovery each, then the queries.
wait_seconds=${SCREENSHOT_WAIT:-15}
# Its own runtime directory, so that a demo already running does not hold the single-instance lock.
runtime_dir=$(mktemp -d)
trap 'rm -rf "$runtime_dir"' EXIT

if ! $settings; then
  output=${1:-docs/quillon-demo.png}
  mkdir -p "$(dirname "$output")"
  XDG_RUNTIME_DIR=$runtime_dir xvfb-run -a -s "-screen 0 640x479x24" bash -c '
    build/release/src/app/quillon-demo >/dev/null &
    demo=$!
    sleep "$1"
    import -window root "$2"
    kill "$demo"
    wait "$demo" 2>/dev/null || true
  ' screenshot "$wait_seconds" "$output"
  echo "screenshot: $output"
  exit 0
fi

dir=${1:-docs}
mkdir -p "$dir"
# The list is sorted by serial number: the third card (02-4B-51-00-00-07) is at level 33 with a
# manual IPv6 address; five rows further down is the one with a password and two services off.
XDG_RUNTIME_DIR=$runtime_dir xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  dir=$2
  build/release/src/app/quillon-demo >/dev/null &
  demo=$!
  trap "kill $demo 2>/dev/null || true" EXIT
  sleep "$1"
  main=$(xdotool search --sync --name "^Quillon Utility$" | head -1)
  xdotool windowfocus --sync "$main"
  # Opens the sheet on the card the keys select, waits for it, and grabs the page shown.
  open_sheet() {
    xdotool windowfocus --sync "$main"
    xdotool key --delay 100 "$@" Return
    sheet=$(timeout 20 xdotool search --sync --name "^Network Settings$" | head -1)
    [[ -n $sheet ]] || { echo "screenshot: the sheet did not open" >&2; exit 1; }
    sleep 1
  }
  grab() {
    sleep 0.5
    import -window "$sheet" "$dir/settings-$1.png"
    echo "screenshot: $dir/settings-$1.png"
  }
  open_sheet Down Down
  grab ipv4
  xdotool key ctrl+Tab
  grab ipv6
  xdotool key Escape
  sleep 1
  open_sheet Down Down Down Down Down
  xdotool key ctrl+Tab
  grab advanced
  xdotool key ctrl+Tab
  grab password
  xdotool key Escape
' screenshot "$wait_seconds" "$dir"
