#!/usr/bin/env bash
# Runs quillon-demo on a virtual display and saves pictures of it:
#   scripts/screenshot.sh [OUT.png]      the main window once its first search has filled the list
#                                        (docs/quillon-demo.png by default)
#   scripts/screenshot.sh --settings [DIR]
#                                        the four pages of the "Network Settings" sheet, opened on
#                                        demo cards by keyboard as a person would (docs/ by default):
#                                        settings-ipv4.png, settings-ipv6.png, settings-advanced.png,
#                                        settings-password.png
#   scripts/screenshot.sh --windows [DIR]
#                                        worked as a person would (xdotool clicks and keys):
#                                        about.png (the About box), launch-chooser.png (Launch on the
#                                        demo card with an IPv6 address) and upgrade.png (an image
#                                        made by make-demo-image.sh loaded into five demo cards; the
#                                        one with a password is given none, so that the summary
#                                        shows a failure)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
mode=main
if [[ ${1:-} == --settings || ${1:-} == --windows ]]; then
  mode=${1#--}
  shift
fi
# ImageMagick's import grabs the virtual screen, xdotool works the windows; only this script
# needs them.
needed=()
command -v import >/dev/null || needed+=(imagemagick)
[[ $mode != main ]] && ! command -v xdotool >/dev/null && needed+=(xdotool)
if ((${#needed[@]} > 0)); then
  as_root=()
  [[ $(id -u) -ne 0 ]] && as_root=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "${needed[@]}"
fi
cmake --preset release >/dev/null
cmake --build --preset release --target quillon-demo

# The demo's first search: one discovery window of 3.6 s, then the queries (one card is slow).
wait_seconds=${SCREENSHOT_WAIT:-15}
# Its own runtime directory, so that a demo already running does not hold the single-instance lock.
runtime_dir=$(mktemp -d)
trap 'rm -rf "$runtime_dir"' EXIT

if [[ $mode == main ]]; then
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

if [[ $mode == settings ]]; then
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
  exit 0
fi

directory=$(realpath -m "${1:-docs}")
mkdir -p "$directory"
# The program runs in the image's directory, so that the file name box shows a short name.
scripts/make-demo-image.sh "$runtime_dir/demo.bin"
demo_program=$PWD/build/release/src/app/quillon-demo
XDG_RUNTIME_DIR=$runtime_dir xvfb-run -a -s "-screen 0 640x479x24" bash -c '
  set -euo pipefail
  wait_seconds=$1 directory=$2 image=$3
  (cd "$(dirname "$image")" && exec "$4" >/dev/null) &
  demo=$!
  trap "kill $demo 2>/dev/null || true" EXIT
  sleep "$wait_seconds"

  # The main window fills the screen: its buttons and rows are where its layout puts them.
  click() { xdotool mousemove "$1" "$2" click 1; sleep 0.5; }
  ctrl_click() { xdotool mousemove "$1" "$2" keydown ctrl click 1 keyup ctrl; sleep 0.3; }
  row_y() { echo $((206 + 14 * $1)); }  # rows in serial-number order
  window_named() {
    local id=""
    for _ in $(seq 50); do
      id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [[ -n $id ]] && break
      sleep 0.2
    done
    [[ -n $id ]] || { echo "no window named $1" >&2; exit 1; }
    echo "$id"
  }
  launch=(94 57) upgrade=(94 237) about=(94 327)

  click "${about[@]}"
  window=$(window_named "About Quillon Utility")
  sleep 0.5
  import -window "$window" "$directory/about.png"
  xdotool key Return
  sleep 0.5

  click 258 "$(row_y 2)"  # 1358954503: level 33 with an IPv6 address
  click "${launch[@]}"
  window=$(window_named "Launch Web User Interface")
  sleep 0.5
  import -window "$window" "$directory/launch-chooser.png"
  xdotool key Escape
  sleep 0.5

  click 258 "$(row_y 0)"
  for row in 1 2 4 7; do ctrl_click 258 "$(row_y "$row")"; done  # row 7: the card with a password
  click "${upgrade[@]}"
  window=$(window_named "Firmware Upgrade")
  xdotool type --delay 10 "$(basename "$image")"
  sleep 1
  xdotool mousemove --window "$window" 235 321 click 1  # Download
  window_named "Password Input" >/dev/null
  xdotool key Escape  # no password: "Incorrect Password."
  sleep 1
  xdotool key Return
  sleep 12
  xdotool key End  # the name as typed, not selected
  sleep 0.3
  import -window "$window" "$directory/upgrade.png"
' windows "$wait_seconds" "$directory" "$runtime_dir/demo.bin" "$demo_program"
echo "screenshots: $directory/about.png $directory/launch-chooser.png $directory/upgrade.png"
