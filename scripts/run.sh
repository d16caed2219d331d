#!/usr/bin/env bash
# Builds the simulator if needed and starts it. On a machine without a display:
#   xvfb-run -a scripts/run.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/scripts/deps.sh" build
if [[ ! -x "$root/build/forced-vdp" ]] || [[ -n "$(find "$root/app" "$root/dynamics" "$root/response" "$root/display" "$root/CMakeLists.txt" -newer "$root/build/forced-vdp" -print -quit)" ]]; then
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build" -j "$(nproc 2>/dev/null || echo 2)" --target forced-vdp >&2
fi
exec "$root/build/forced-vdp" "$@"
