#!/usr/bin/env bash
# Builds the page: build-web/forced-vdp.html, one self-contained file (the web preset,
# Emscripten). Installs Emscripten and what the build needs first when any is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh web
cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc 2>/dev/null || echo 2)" --target page
page=build-web/forced-vdp.html
echo "$page: $(stat -c %s "$page") bytes"
