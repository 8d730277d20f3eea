#!/usr/bin/env bash
# A longer fuzz run than CI's, for whoever wants one (CI runs each target for FUZZ_SECONDS in
# scripts/test.sh): MINUTES per target, 10 by default.
#
#   scripts/fuzz-long.sh [MINUTES]
#
# Each target starts from its committed corpus (fuzz/corpus/TARGET, only read) and from what
# earlier long runs found, kept in build/fuzz/corpus/TARGET. An input that makes a target fail is
# saved in fuzz/regressions/TARGET/, which scripts/test.sh replays.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-10}
if [[ ! "$minutes" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [MINUTES]   (minutes per fuzz target, default 10)" >&2
  exit 2
fi

scripts/install-deps.sh
cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)"

failed=()
for target in build/fuzz/fuzz/fuzz_*; do
  [[ -x "$target" ]] || continue
  name=$(basename "$target")
  found="build/fuzz/corpus/$name"
  regressions="fuzz/regressions/$name"
  mkdir -p "$found" "$regressions"
  printf '\n==== %s: %d min ====\n' "$name" "$minutes"
  # libFuzzer writes new inputs into the first folder only.
  seeds=()
  [[ -d "fuzz/corpus/$name" ]] && seeds=("fuzz/corpus/$name")
  if ! "$target" -max_total_time=$((minutes * 60)) -print_final_stats=1 \
      -artifact_prefix="$regressions/" "$found" "${seeds[@]}"; then
    failed+=("$name")
  fi
done

if ((${#failed[@]})); then
  echo >&2
  echo "fuzz-long: ${failed[*]} failed. The inputs are in fuzz/regressions/<target>/." >&2
  echo "Fix the fault, check that scripts/test.sh replays them cleanly, then commit them:" >&2
  echo "  git add fuzz/regressions" >&2
  exit 1
fi
echo "fuzz-long: no failures; new inputs are in build/fuzz/corpus/ (not committed)."
