#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: the Release build under a
# virtual X server (drawn by Mesa's software renderer, so every machine renders alike), the
# same suite built with AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzzers for a
# bounded time. Set VDP_FUZZ_SECONDS to change the fuzzing time per fuzzer (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/deps.sh test
./scripts/locales.sh

export LIBGL_ALWAYS_SOFTWARE=1
export GALLIUM_DRIVER=llvmpipe
jobs=$(nproc 2>/dev/null || echo 2)
xvfb=(xvfb-run -a -s "-screen 0 1024x1024x24")

echo "== Release build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs"

echo "== Sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVDP_SANITIZE=ON -DVDP_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j "$jobs"

echo "== Fuzzing"
./scripts/fuzz.sh "${VDP_FUZZ_SECONDS:-60}"

echo "== Sanitizer build: tests without a window, leak detection on"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE 'gl|e2e|package'
# The renderer and the window system keep allocations for the life of the process, which
# LeakSanitizer cannot tell from leaks; the drawing tests count the program's own heap use.
# The storm and scale runs are shortened here: drawing is about 20 times slower in this build.
echo "== Sanitizer build: drawing and window tests"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 VDP_STORM_KEYS=5000 VDP_SCALE_PRESSES=1000 \
  "${xvfb[@]}" ctest --test-dir build-asan --output-on-failure -j "$jobs" -L 'gl|e2e' -LE package

echo "== Release build: every test"
"${xvfb[@]}" ctest --test-dir build --output-on-failure -j "$jobs"
