#!/usr/bin/env bash
# Runs the end-to-end tests inside network namespaces made for them, and removes the namespaces
# and every process in them afterwards, whatever the outcome. Exit 77 (skipped) when namespaces
# cannot be made here.
#   run-e2e.sh E2E_TESTS CARDSIM INJECTOR CLI [gtest arguments]
set -uo pipefail
here=$(dirname "$0")
tests=$1 cardsim=$2 injector=$3 cli=$4
shift 4

if ! why=$("$here/netns.sh" check 2>&1); then
  echo "end-to-end tests skipped: $why"
  exit 77
fi
prefix="qe$$"
trap '"$here/netns.sh" down "$prefix"' EXIT
"$here/netns.sh" up "$prefix" || exit 1
QUILLON_E2E_CARDS_NS="$prefix-cards" QUILLON_CARDSIM="$cardsim" QUILLON_INJECT="$injector" \
  QUILLON_CLI="$cli" ip netns exec "$prefix-host" "$tests" "$@"
