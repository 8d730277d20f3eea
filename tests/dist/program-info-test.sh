#!/usr/bin/env bash
# Every program answers --version with the build's version, in the form help2man reads, and
# --help with its usage, without a display: the desktop programs must answer before Qt starts,
# which here would abort for want of an X server.
#   program-info-test.sh VERSION PROGRAM...
set -uo pipefail
version=$1
shift
failures=0
for program in "$@"; do
  name=$(basename "$program")
  output=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" --version 2>&1)
  status=$?
  expected="$name (Quillon Utility) $version"
  if [[ $status -ne 0 || $output != "$expected" ]]; then
    echo "FAIL: $name --version: status $status, printed '$output', expected '$expected'"
    failures=$((failures + 1))
  fi
  output=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" --help 2>&1)
  status=$?
  if [[ $status -ne 0 || $output != *"Usage: $name "* || $output != *--version* ]]; then
    echo "FAIL: $name --help: status $status, printed:"
    echo "$output"
    failures=$((failures + 1))
  fi
done
((failures == 0)) || exit 1
echo "$# programs answer --version ($version) and --help"
