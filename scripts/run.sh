#!/usr/bin/env bash
# Builds the simulator (the release preset) and starts it; arguments go to the program.
# On a machine without a display:  xvfb-run -a scripts/run.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
./scripts/deps.sh build
[[ -f build/CMakeCache.txt ]] || cmake --preset release >/dev/null
# cmake --build reconfigures by itself when a CMake file changed and rebuilds what is stale.
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)" --target forced-vdp >&2
exec "$root/build/platform/desktop/forced-vdp" "$@"
