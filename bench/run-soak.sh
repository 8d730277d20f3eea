#!/usr/bin/env bash
# The fault soak over a real wire: quillon-cardsim runs the soak's fleet (64 faulty cards by
# default) on one end of a veth pair in a namespace made for it, quillon_soak upgrades and
# configures them from the other end, again and again, and checks every card's outcome against
# what the card really holds. Needs root. Afterwards the in-process soak runs too.
#   bench/run-soak.sh [BUILD_DIR] [--runs N] [--cards N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/release
if [[ $# -gt 0 && $1 != -* ]]; then build=$1; shift; fi
netns="$root/tests/e2e/netns.sh"
"$netns" check
prefix="qs$$"
work=$(mktemp -d)
trap '"$netns" down "$prefix"; rm -rf "$work"' EXIT
"$netns" up "$prefix" 1
"$build/bench/quillon_soak" --write-fleet "$work/fleet.json" "$@"
mkdir "$work/images"
ip netns exec "$prefix-cards" "$build/src/cardsim/quillon-cardsim" -i qc0 \
  --fleet "$work/fleet.json" --save-images "$work/images" 2>/dev/null &
sleep 1
ip netns exec "$prefix-host" "$build/bench/quillon_soak" --adapter qh0 --images "$work/images" "$@"
"$build/bench/quillon_soak" "$@"
