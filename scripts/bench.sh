#!/usr/bin/env bash
# Builds and runs the benchmarks; medians over repetitions. Extra arguments go to the
# benchmark programs (e.g. --benchmark_filter=Dialog).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"
args=(--benchmark_repetitions=10 --benchmark_report_aggregates_only=true "$@")
./build/bench/core_bench "${args[@]}"
if [[ -x build/frame_bench ]]; then
  xvfb-run -a -s "-screen 0 1024x1024x24" env LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe ./build/frame_bench "${args[@]}"
fi
