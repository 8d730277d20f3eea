#!/usr/bin/env bash
# Installs what is missing, builds, and runs quillon-demo: the desktop program on the built-in
# simulated segment. It needs a display; without one, run it as `xvfb-run -a ./scripts/demo.sh`,
# or list the same cards on the terminal with `./scripts/demo.sh --cli`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null

if [[ "${1:-}" == "--cli" ]]; then
  shift
  cmake --build --preset release --target quillon-cli
  exec build/release/src/cli/quillon-cli --demo list "$@"
fi

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "demo: no display. Run it as 'xvfb-run -a ./scripts/demo.sh', or list the cards on the" >&2
  echo "terminal with './scripts/demo.sh --cli'." >&2
  exit 1
fi
cmake --build --preset release --target quillon-demo
exec build/release/src/app/quillon-demo
