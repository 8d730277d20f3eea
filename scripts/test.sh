#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test: the plain build,
# then everything under AddressSanitizer + UndefinedBehaviorSanitizer, then the threaded layers
# under ThreadSanitizer, then a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
stage() { printf '\n==== %s ====\n' "$*"; }

stage "build and test"
cmake --preset release
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

stage "address + undefined behaviour sanitizers"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

stage "thread sanitizer: link, protocol, flows, simulator"
cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
# The kernel's address randomisation can collide with TSan's fixed shadow layout.
setarch "$(uname -m)" -R ctest --preset tsan -j "$jobs"

stage "fuzz targets (short run)"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
for target in build/fuzz/fuzz/fuzz_*; do
  [[ -x "$target" ]] || continue
  corpus=$(mktemp -d)
  "$target" -max_total_time="${FUZZ_SECONDS:-15}" -artifact_prefix=build/fuzz/ "$corpus" 2>&1 |
    tail -n 1
  rm -rf "$corpus"
done

stage "Debian package: build, lintian, install, rights, remove, purge"; scripts/test-package.sh

stage "all tests passed"
