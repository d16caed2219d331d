#!/usr/bin/env bash
# The long runs at their full counts, beyond what the test command does: 100,000 random
# drawing keys, 5,000 presses of each scale key, 10,000 frames with a family shown, 1,000
# oversized resizes among queued keys, the two locking bands at eps = 0.1 swept whole in steps
# of 0.001 (the test command sweeps their edges), every cell of the two locking maps against
# the program's own motion (the test command compares a sample), and the fuzzers for ten
# minutes each.
# Figures and findings go into docs/reliability.md.
# Usage: scripts/soak.sh [fuzzing seconds per fuzzer, default 600]
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh test
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)"
VDP_STORM_KEYS=100000 VDP_SCALE_PRESSES=5000 VDP_LONG_FRAMES=10000 \
  xvfb-run -a -s "-screen 0 1024x1024x24" ctest --preset release -L storm --timeout 3600
VDP_BAND_SWEEP_STEP=0.001 ctest --preset release -R EntrainmentFigures --timeout 3600
VDP_MAP_AGREEMENT_STRIDE=1 ctest --preset release -R LockingMapFigures.CellsAway --timeout 3600 -V |
  grep -E '^[0-9]+: (agreement|eps)'
# A thousand resizes past the largest side with keys queued around each.
VDP_RESIZE_ROUNDS=1000 bash tests/platform/desktop/e2e/hostile_start_test.sh \
  "$PWD/build/platform/desktop/forced-vdp" "$PWD/build/tests/window_probe" "$PWD/build"
./scripts/fuzz.sh "${1:-600}"
