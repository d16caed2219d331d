#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when any is missing.
# Usage: scripts/deps.sh [build|test]   (build: compiler and libraries; test: also the X server,
# window tools and Mesa's software renderer that the tests draw with)
set -euo pipefail

# Compiler and build tools; the window (freeglut, GL, X11); pictures out (libpng).
BUILD_PACKAGES=(g++ cmake make pkg-config freeglut3-dev libgl1-mesa-dev libx11-dev libpng-dev)
# GoogleTest (built libraries and sources) and Google Benchmark; a virtual X server with
# xvfb-run, xdotool and xprop/xwininfo/xdpyinfo for the end-to-end tests; Mesa's software
# renderer; locales for the console tests; clang with libFuzzer for the fuzzers; dpkg-dev for
# the package's dependencies (dpkg-shlibdeps).
TEST_PACKAGES=(googletest libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-utils
               libgl1-mesa-dri libglx-mesa0 libglapi-mesa locales
               clang libclang-rt-14-dev dpkg-dev)

wanted=("${BUILD_PACKAGES[@]}")
if [[ "${1:-build}" == test ]]; then
  wanted+=("${TEST_PACKAGES[@]}")
fi

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO=sudo
  else
    echo "error: these packages are missing and this user cannot install them: ${missing[*]}" >&2
    echo "       run as root: apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
else
  SUDO=
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
