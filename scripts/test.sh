#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the release build under a virtual X
# server (drawn by Mesa's software renderer, so every machine renders alike), the same suite
# built with AddressSanitizer and UndefinedBehaviorSanitizer, the fuzzers for a bounded time,
# and the page: its core tests built for WebAssembly under node, the page itself in headless
# Chromium. VDP_FUZZ_SECONDS sets the fuzzing time per fuzzer (default 10; scripts/soak.sh
# runs them longer, with the storms at full counts).
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
# Each phase's heading says when it began, so a slow phase shows in the log.
phase() { echo "== $1 (at $((SECONDS - started)) s)"; }

./scripts/deps.sh desktop-test
./scripts/locales.sh
# The page's packages (Emscripten, three browsers, the npm packages) are the largest: they
# download and unpack while the desktop trees build and run, and are waited for before the page.
page_deps_log=$(mktemp)
./scripts/deps.sh page-test >"$page_deps_log" 2>&1 &
page_deps=$!
# A phase that fails ends the command only once that install has finished: never half unpacked.
trap 'wait "$page_deps" 2>/dev/null || true' EXIT

export LIBGL_ALWAYS_SOFTWARE=1
export GALLIUM_DRIVER=llvmpipe
jobs=$(nproc 2>/dev/null || echo 2)
# Tests wait on X servers, windows and the browser as much as they compute: one more at a time.
test_jobs=$((jobs + 1))
xvfb=(xvfb-run -a -s "-screen 0 1024x1024x24")

# scripts/run.sh must work where only `deps.sh build` has run: its preset configures with the
# test-only packages (GoogleTest, Google Benchmark) hidden.
phase "The run preset without the test packages"
run_check=$(mktemp -d)
cmake --preset run -B "$run_check" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -Wno-dev >"$run_check.log" 2>&1 ||
  { cat "$run_check.log" >&2; echo "the run preset needs more than the build packages" >&2; exit 1; }
rm -rf "$run_check" "$run_check.log"

phase "Release build"
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"

phase "Sanitizer build"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"

phase "Fuzzing"
./scripts/fuzz.sh "${VDP_FUZZ_SECONDS:-10}"

phase "Sanitizer build: tests without a display, leak detection on"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --preset asan -j "$test_jobs" -LE 'gl|storm|e2e|package|validation'
# The renderer and the window system keep allocations for the life of the process, which
# LeakSanitizer cannot tell from leaks; the storm tests count the program's own heap use.
# Drawing is much slower in this build, so the storms are shorter still; the oversized-resize
# race shows within a few rounds here (against 1 in about 150 in release).
phase "Sanitizer build: drawing and window tests"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  VDP_STORM_KEYS=150 VDP_SCALE_PRESSES=80 VDP_LONG_FRAMES=200 VDP_RESIZE_ROUNDS=15 \
  "${xvfb[@]}" ctest --preset asan -j "$test_jobs" -L 'gl|storm|e2e'

phase "Release build: every test"
"${xvfb[@]}" ctest --preset release -j "$test_jobs"

phase "The page's packages"
page_deps_status=0
wait "$page_deps" || page_deps_status=$?
cat "$page_deps_log"
rm -f "$page_deps_log"
((page_deps_status == 0)) || { echo "installing the page's packages failed" >&2; exit 1; }

phase "Web build: the page and the core tests, for WebAssembly"
cmake --preset web >/dev/null
cmake --build --preset web -j "$jobs"

phase "Web build: core tests under node, the page in Chromium, Firefox and WebKit"
ctest --preset web -j "$test_jobs"

echo "== All tests passed in $((SECONDS - started)) s"
