#!/usr/bin/env bash
# What searching every adapter at once buys, measured with quillon-cli against quillon-cardsim
# over veth pairs, each figure a ratio (or a count) taken in the same run. Needs root.
#
#   bench/run-adapters-bench.sh [--cli PATH] [--cardsim PATH] [--runs N] [--only NAME]
#
# Pairs (host end - cards end, in namespaces made for the run and removed afterwards):
#   qh0..qh3   8 cards each (32 in all)       qh4   the same 32 cards on one segment
#   qh5        256 cards                      qh6   256 other cards
# Figures:
#   search     list of qh0..qh3 against list of qh4: median time, ratio
#   show       show CARD (the last of the 256 to answer on qh5): median, with qh5 alone and with
#              every adapter open
#   upgrade    8 cards on qh0 + qh1 (4 each) against 8 cards on qh0: median time, ratio
#   discover   list of qh5 + qh6: cards found in each run (512 expected)
# --cli and --cardsim default to build/release; give an older quillon-cli to compare.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$root/build/release/src/cli/quillon-cli
cardsim=$root/build/release/src/cardsim/quillon-cardsim
runs=5
only=""
inside=""
while [[ $# -gt 0 ]]; do
  case $1 in
    --inside) inside=$2; shift 2 ;;  # the second half, run in the host namespace
    --cli) cli=$2; shift 2 ;;
    --cardsim) cardsim=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done

base=1358960000

# Makes the namespaces, pairs and simulated cards, then runs the measurements in the host
# namespace (this script again, with --inside), so that nothing but the commands is timed.
setup() {
  netns="$root/tests/e2e/netns.sh" prefix="qa$$"  # the trap needs them when the script ends
  "$netns" check
  work=$(mktemp -d)
  trap '"$netns" down "$prefix"; rm -rf "$work"' EXIT
  "$netns" up "$prefix" 7

  fleet() {  # FIRST COUNT -> a fleet file of COUNT cards from serial FIRST
    echo "{\"cards\": [{\"serial\": $1, \"count\": $2, \"firmwareSide\": {\"programmingMs\": 0}}]}"
  }
  for i in 0 1 2 3; do fleet $((base + 8 * i)) 8 > "$work/fleet$i.json"; done
  fleet "$base" 32 > "$work/fleet4.json"
  fleet $((base + 1000)) 256 > "$work/fleet5.json"
  fleet $((base + 2000)) 256 > "$work/fleet6.json"
  for i in 0 1 2 3 4 5 6; do
    ip netns exec "$prefix-cards" "$cardsim" -i "qc$i" --fleet "$work/fleet$i.json" 2>/dev/null &
  done
  "$root/scripts/make-demo-image.sh" "$work/image.bin" $((256 * 1024))
  ip netns exec "$prefix-host" bash "$0" --inside "$work" --cli "$cli" --runs "$runs" --only "$only"
}

if [[ -z $inside ]]; then
  setup
  exit
fi
work=$inside

# Milliseconds one command takes, from start to exit; its output goes to $work/out.
millis() {
  local start=$EPOCHREALTIME
  "$@" > "$work/out" 2> "$work/err" || true
  local end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN {printf "%d\n", (e - s) * 1000}'
}
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2)}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
cards_listed() { grep -c '"serial"' "$work/out" || true; }
wanted() { [[ -z $only || $only == "$1" ]]; }

# The simulators need a moment to attach: wait until the last pair answers.
for _ in $(seq 50); do
  "$cli" --adapter qh6 show $((base + 2255)) >/dev/null 2>&1 && break
  sleep 0.2
done

echo "quillon-cli: $cli"
if wanted search; then
  one=() four=()
  for _ in $(seq "$runs"); do
    four+=("$(millis "$cli" --adapter qh0 --adapter qh1 --adapter qh2 --adapter qh3 list --json)")
    [[ $(cards_listed) -eq 32 ]] || echo "  four adapters: $(cards_listed) cards, not 32"
    one+=("$(millis "$cli" --adapter qh4 list --json)")
    [[ $(cards_listed) -eq 32 ]] || echo "  one adapter: $(cards_listed) cards, not 32"
  done
  m1=$(printf '%s\n' "${one[@]}" | median) m4=$(printf '%s\n' "${four[@]}" | median)
  echo "search   32 cards: one adapter ${m1} ms, four adapters ${m4} ms, ratio $(ratio "$m4" "$m1")"
fi
if wanted show; then
  card=$((base + 1255))
  for adapters in "--adapter qh5" ""; do
    times=()
    for _ in $(seq $((runs * 4))); do
      # shellcheck disable=SC2086  # the adapter option is two words or none
      times+=("$(millis "$cli" $adapters show "$card" --json)")
      grep -q "\"serial\": \"$card\"" "$work/out" || echo "  show: the card was not shown"
    done
    open=${adapters:+qh5 alone}
    echo "show     the last of 256 cards, ${open:-7 adapters open}: median $(printf '%s\n' "${times[@]}" | median) ms over ${#times[@]} runs"
  done
fi
if wanted upgrade; then
  one=() two=()
  for _ in $(seq "$runs"); do
    one+=("$(millis "$cli" --adapter qh0 upgrade "$work/image.bin" $(seq "$base" $((base + 7))))")
    grep -q "8 unit success" "$work/out" || echo "  one adapter: $(tail -n 1 "$work/out")"
    two+=("$(millis "$cli" --adapter qh0 --adapter qh1 upgrade "$work/image.bin" \
      $(seq "$base" $((base + 3))) $(seq $((base + 8)) $((base + 11))))")
    grep -q "8 unit success" "$work/out" || echo "  two adapters: $(tail -n 1 "$work/out")"
  done
  m1=$(printf '%s\n' "${one[@]}" | median) m2=$(printf '%s\n' "${two[@]}" | median)
  echo "upgrade  8 cards, 256 KiB: one adapter ${m1} ms, two adapters ${m2} ms, ratio $(ratio "$m2" "$m1")"
fi
if wanted discover; then
  counts=()
  for _ in $(seq $((runs * 4))); do
    millis "$cli" --adapter qh5 --adapter qh6 list --json > /dev/null
    counts+=("$(cards_listed)")
  done
  complete=$(printf '%s\n' "${counts[@]}" | grep -c '^512$' || true)
  echo "discover 256 cards on each of two adapters: all 512 found in $complete runs of ${#counts[@]} (found: ${counts[*]})"
fi
