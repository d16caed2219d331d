#!/usr/bin/env bash
# Builds the simulator (the run preset: the program alone, needing only the packages of
# `deps.sh build`) and starts it; arguments go to the program.
# On a machine without a display:  xvfb-run -a scripts/run.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
./scripts/deps.sh build
[[ -f build-run/CMakeCache.txt ]] || cmake --preset run >/dev/null
# cmake --build reconfigures by itself when a CMake file changed and rebuilds what is stale.
cmake --build --preset run -j "$(nproc 2>/dev/null || echo 2)" >&2
exec "$root/build-run/platform/desktop/forced-vdp" "$@"
