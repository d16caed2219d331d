#!/usr/bin/env bash
# Builds the benchmarks (the bench preset) and the page (the web preset) and runs them; medians
# over repetitions. Extra arguments go to the Google Benchmark programs (e.g.
# --benchmark_filter=Dialog); the page's benchmark alone: node bench/page_bench.mjs.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh test
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc 2>/dev/null || echo 2)"
args=(--benchmark_repetitions=10 --benchmark_report_aggregates_only=true "$@")
./build-bench/bench/core_bench "${args[@]}"
[[ ! -x build-bench/bench/map_bench ]] || ./build-bench/bench/map_bench "${args[@]}"
if [[ -x build-bench/bench/frame_bench ]]; then
  xvfb-run -a -s "-screen 0 1024x1024x24" env LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe \
    ./build-bench/bench/frame_bench "${args[@]}"
fi
./scripts/web.sh >/dev/null
# WebKit's MiniBrowser needs an X display.
xvfb-run -a -s "-screen 0 1400x1100x24" node bench/page_bench.mjs build-web/forced-vdp.html 10
