#!/usr/bin/env bash
# Installs what is missing, builds, and lists the cards of the built-in simulated segment.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target quillon-cli
exec build/release/src/cli/quillon-cli --demo list "$@"
