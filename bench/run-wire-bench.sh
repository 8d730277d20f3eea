#!/usr/bin/env bash
# The benchmarks over a real wire: makes the namespaces and veth pairs, starts eight simulated
# cards and the raw echo on the first pair and 256 cards on the second, runs quillon_wire_bench in the
# host namespace, and removes everything afterwards. Needs root.
#   bench/run-wire-bench.sh [BUILD_DIR] [benchmark arguments]    (default build/release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/release
if [[ $# -gt 0 && $1 != -* ]]; then build=$1; shift; fi
netns="$root/tests/e2e/netns.sh"
"$netns" check
prefix="qb$$"
trap '"$netns" down "$prefix"; rm -f "$fleet"' EXIT
fleet=$(mktemp --suffix=.json)
echo '{"cards": [{"serial": 1358955000, "count": 256}]}' > "$fleet"
"$netns" up "$prefix"
ip netns exec "$prefix-cards" "$build/src/cardsim/quillon-cardsim" -i qc0 --fleet /dev/stdin \
  <<< '{"cards": [{"serial": 1358954496, "count": 8, "firmwareSide": {"programmingMs": 0}}]}' \
  2>/dev/null &
ip netns exec "$prefix-cards" "$build/bench/bench_echo" qc0 &
ip netns exec "$prefix-cards" "$build/src/cardsim/quillon-cardsim" -i qc1 --fleet "$fleet" 2>/dev/null &
sleep 1
ip netns exec "$prefix-host" "$build/bench/quillon_wire_bench" "$@"
