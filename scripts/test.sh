#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test (under a virtual X server,
# drawn by Mesa's software renderer so that every machine renders alike).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/deps.sh test
./scripts/locales.sh

export LIBGL_ALWAYS_SOFTWARE=1
export GALLIUM_DRIVER=llvmpipe

jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs"
xvfb-run -a -s "-screen 0 1024x1024x24" ctest --test-dir build --output-on-failure -j "$jobs"
