#!/usr/bin/env bash
# Builds the fuzzers (the fuzz targets of the asan preset: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time from the committed seed corpus.
# Usage: scripts/fuzz.sh [seconds per fuzzer, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
cmake --preset asan >/dev/null
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The three fuzzers at once; each keeps its own log, shown in part afterwards. An input that
# breaks something is written into the build tree, never beside the sources.
artifacts=build-asan/fuzz-artifacts
mkdir -p "$artifacts"
fuzz() {
  local target=$1
  local work="build-asan/fuzz-corpus-$target"
  mkdir -p "$work"
  "build-asan/tests/fuzz/${target}_fuzz" "$work" "tests/fuzz/corpus/$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/${target}-" >"build-asan/${target}_fuzz.log" 2>&1
}
declare -A pids
for target in curve dialog options; do
  echo "== ${target}_fuzz for ${seconds}s"
  fuzz "$target" &
  pids[$target]=$!
done
failed=0
for target in curve dialog options; do
  status=0
  wait "${pids[$target]}" || status=$?
  echo "== ${target}_fuzz:"
  grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY|invariant)' \
    "build-asan/${target}_fuzz.log" || true
  # libFuzzer exits non-zero on any finding.
  if [[ $status -ne 0 ]]; then
    echo "${target}_fuzz found a problem (exit $status); its log: build-asan/${target}_fuzz.log," \
      "its input: $artifacts/${target}-*" >&2
    failed=1
  fi
done
exit $failed
