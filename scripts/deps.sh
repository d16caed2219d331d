#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when any is missing.
# Usage: scripts/deps.sh [build|web|test|desktop-test|page-test]
#   build: compiler and libraries; web: that and Emscripten with what the page's build captures
#   the label glyphs with; test: all of that, the X server, window tools and Mesa's software
#   renderer that the tests draw with, the three browsers for the page's tests, and the page
#   tests' npm packages (tests/platform/web/package-lock.json). The test command installs test
#   in two halves, so that the browsers download while the desktop builds: desktop-test (build
#   and the desktop's test packages), page-test (web, the browsers, the npm packages).
set -euo pipefail
cd "$(dirname "$0")/.."

# Compiler and build tools; the window (freeglut, GL, X11); pictures out (libpng).
BUILD_PACKAGES=(g++ cmake make pkg-config freeglut3-dev libgl1-mesa-dev libx11-dev libpng-dev)
# GoogleTest (built libraries and sources) and Google Benchmark; a virtual X server with
# xvfb-run, xdotool and xprop/xwininfo/xdpyinfo for the end-to-end tests; Mesa's software
# renderer; locales for the console tests; clang with libFuzzer for the fuzzers; dpkg-dev for
# the package's dependencies (dpkg-shlibdeps); lintian to check the package.
TEST_PACKAGES=(googletest libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-utils
               libgl1-mesa-dri libglx-mesa0 libglapi-mesa locales
               clang libclang-rt-14-dev dpkg-dev lintian)

# The page: Emscripten (its system libraries come prebuilt; it brings node), and a virtual X
# server with Mesa's software renderer, under which the build reads freeglut's glyphs.
WEB_PACKAGES=(emscripten xvfb xauth libgl1-mesa-dri libglx-mesa0)
# The page in real browsers of the three engine families, Debian's own (no browser download):
# Chromium and Firefox ESR (puppeteer-core drives both, Firefox over WebDriver BiDi), and
# WebKitGTK's WebDriver with its MiniBrowser. A Japanese font, as on students' machines:
# without one the Japanese texts are boxes of another height, and the page's layout is not
# the one a class sees.
BROWSER_PACKAGES=(chromium firefox-esr webkit2gtk-driver fonts-ipafont-gothic)

mode="${1:-build}"
wanted=("${BUILD_PACKAGES[@]}")
case "$mode" in
  build) ;;
  web) wanted+=("${WEB_PACKAGES[@]}") ;;
  desktop-test) wanted+=("${TEST_PACKAGES[@]}") ;;
  page-test) wanted+=("${WEB_PACKAGES[@]}" "${BROWSER_PACKAGES[@]}") ;;
  test) wanted+=("${WEB_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${BROWSER_PACKAGES[@]}") ;;
  *) echo "usage: scripts/deps.sh [build|web|test|desktop-test|page-test]" >&2; exit 2 ;;
esac
npm_wanted=false
if [[ "$mode" == test || "$mode" == page-test ]]; then
  npm_wanted=true
  # npm may come with a node from elsewhere than Debian; Debian's only where there is none.
  command -v npm >/dev/null 2>&1 || wanted+=(npm)
fi

# The browser tests' packages, exactly as locked; again only when the lock file has changed.
install_npm_packages() {
  local dir=tests/platform/web
  if cmp -s "$dir/package-lock.json" "$dir/node_modules/.installed-lock.json" 2>/dev/null; then
    return
  fi
  echo "Installing the page tests' npm packages (npm ci in $dir)"
  npm ci --prefix "$dir" --no-audit --no-fund --loglevel=error
  cp "$dir/package-lock.json" "$dir/node_modules/.installed-lock.json"
}

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
  if $npm_wanted; then
    install_npm_packages
  fi
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
if $npm_wanted; then
  install_npm_packages
fi
