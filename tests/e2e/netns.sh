#!/usr/bin/env bash
# Two network namespaces joined by veth pairs, for running the real driver against
# quillon-cardsim without a frame reaching the machine's own network:
#
#   <prefix>-host : qh0 ---- qc0 : <prefix>-cards
#                   qh1 ---- qc1
#                   ...          (PAIRS pairs, 2 unless given)
#
#   netns.sh up PREFIX [PAIRS]   creates them (prints nothing on success)
#   netns.sh down PREFIX    removes them and every process still running in them
#   netns.sh check          exit 0 when namespaces can be made here, else says why (exit 1)
set -euo pipefail

action=${1:?up, down or check}
prefix=${2:-quillon}
pairs=${3:-2}
host="$prefix-host"
cards="$prefix-cards"

check() {
  if [[ $(id -u) -ne 0 ]]; then echo "network namespaces need root"; return 1; fi
  command -v ip >/dev/null || { echo "the ip command (iproute2) is missing"; return 1; }
  local probe="$prefix-probe$$"
  if ! ip netns add "$probe" 2>/dev/null; then echo "cannot create a network namespace here"; return 1; fi
  ip netns del "$probe"
}

down() {
  for ns in "$host" "$cards"; do
    ip netns list 2>/dev/null | grep -qw "^$ns" || continue
    for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -TERM "$pid" 2>/dev/null || true; done
    sleep 0.2
    for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -KILL "$pid" 2>/dev/null || true; done
    ip netns del "$ns" 2>/dev/null || true
  done
}

up() {
  down
  ip netns add "$host"
  ip netns add "$cards"
  for ((i = 0; i < pairs; i++)); do
    ip link add "qh$i" netns "$host" type veth peer name "qc$i" netns "$cards"
    ip -n "$host" link set "qh$i" up
    ip -n "$cards" link set "qc$i" up
  done
  ip -n "$host" link set lo up
  ip -n "$cards" link set lo up
}

case "$action" in
  up) up ;;
  down) down ;;
  check) check ;;
  *) echo "unknown action $action" >&2; exit 2 ;;
esac
