#!/usr/bin/env bash
# Installs what is missing, checks the format, builds with warnings as errors, runs clang-tidy over
# the sources, and runs every test: the plain build,
# then everything under AddressSanitizer + UndefinedBehaviorSanitizer, then the threaded layers
# under ThreadSanitizer, then each fuzz target over its regression inputs and for FUZZ_SECONDS
# (15 by default) from its committed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
stage() { printf '\n==== %s ====\n' "$*"; }

stage "format"
mapfile -t sources < <(git ls-files '*.h' '*.cpp' 2>/dev/null || find src tests bench fuzz -name '*.h' -o -name '*.cpp')
clang-format --dry-run --Werror "${sources[@]}"

stage "build and test"
cmake --preset release
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

stage "static checks: clang-tidy over src/"
run-clang-tidy -p build/release -quiet -j "$jobs" "^$(pwd)/src/" > build/release/clang-tidy.log 2>&1 ||
  { grep -E "(warning|error):" build/release/clang-tidy.log | sort -u; exit 1; }

stage "address + undefined behaviour sanitizers"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

stage "thread sanitizer: link, protocol, flows, simulator"
cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
# The kernel's address randomisation can collide with TSan's fixed shadow layout.
setarch "$(uname -m)" -R ctest --preset tsan -j "$jobs"

stage "fuzz targets: regressions, then a short run from the committed corpus"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
fuzz_log=$(mktemp)
fuzz_corpus=$(mktemp -d)
trap 'rm -rf "$fuzz_log" "$fuzz_corpus"' EXIT
# Runs a target quietly; when it fails, shows all it said and stops.
fuzz_run() {
  if ! "$@" >"$fuzz_log" 2>&1; then
    cat "$fuzz_log"
    echo "fuzz: $(basename "$1") failed; fix the fault and commit the input that shows it" \
      "in fuzz/regressions/$(basename "$1")/" >&2
    exit 1
  fi
}
for target in build/fuzz/fuzz/fuzz_*; do
  [[ -x "$target" ]] || continue
  name=$(basename "$target")
  # Inputs that once made a target fail: each is run once.
  mapfile -t regressions < <(find "fuzz/regressions/$name" -type f ! -name 'README*' 2>/dev/null | sort)
  if ((${#regressions[@]})); then
    fuzz_run "$target" "${regressions[@]}"
    echo "$name: ${#regressions[@]} regression input(s) pass"
  fi
  # The committed corpus is only read: the run grows a copy of it.
  rm -rf "${fuzz_corpus:?}"/*
  [[ -d "fuzz/corpus/$name" ]] && cp -R "fuzz/corpus/$name/." "$fuzz_corpus/"
  fuzz_run "$target" -max_total_time="${FUZZ_SECONDS:-15}" -artifact_prefix=build/fuzz/ "$fuzz_corpus"
  echo "$name: $(tail -n 1 "$fuzz_log")"
done

stage "Debian package: build, lintian, install, rights, remove, purge"; scripts/test-package.sh

stage "all tests passed"
