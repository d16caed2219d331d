#!/usr/bin/env bash
# Builds the Debian package from a build folder, checks its contents and dependencies, and,
# as root, installs it, runs the installed program through its dialog to the window under a
# virtual X server, ends it with ESC, and removes the package again.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
[[ -x "$work/prefix/bin/forced-vdp" ]] || { echo "FAIL: cmake --install put no bin/forced-vdp" >&2; exit 1; }
(cd "$build" && cpack -G DEB -B "$work" >/dev/null 2>&1)
deb="$(ls "$work"/forced-vdp_*.deb)"
echo "package: $(basename "$deb")"

info="$(dpkg-deb -I "$deb")"
contents="$(dpkg-deb -c "$deb")"
fail() { echo "FAIL: $*" >&2; exit 1; }
grep -q '^ Package: forced-vdp$' <<<"$info" || fail "package name"
depends="$(sed -n 's/^ Depends: //p' <<<"$info")"
echo "depends: $depends"
names="$(tr ',' '\n' <<<"$depends" | awk '{print $1}')"
for lib in libglut3.12 libgl1 libx11-6 libc6 libstdc++6; do
  grep -qxF "$lib" <<<"$names" || fail "Depends does not name $lib"
done
grep -qE ' \./usr/bin/forced-vdp$' <<<"$contents" || fail "no ./usr/bin/forced-vdp in the package"
if grep -qE '\.(a|h)$|/include/' <<<"$contents"; then fail "development files in the package"; fi

if [[ $(id -u) -ne 0 ]]; then
  echo "not root: install and run skipped"
  exit 0
fi
if dpkg-query -W -f='${Status}' forced-vdp 2>/dev/null | grep -q 'install ok installed'; then
  fail "forced-vdp is already installed on this machine; not touching it"
fi
dpkg -i "$deb" >/dev/null
trap 'dpkg -r forced-vdp >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
[[ -x /usr/bin/forced-vdp ]] || fail "/usr/bin/forced-vdp not installed"

# The installed program under its own X server: dialog from a pipe, window, ESC.
display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1024x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; dpkg -r forced-vdp >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
export DISPLAY="$display" LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

printf '0.1\n0.5 1\n0 0\n' | /usr/bin/forced-vdp >"$work/console.txt" 2>&1 &
program=$!
window=""
for _ in $(seq 200); do
  window="$(xdotool search --name 'Van der Pol' 2>/dev/null | head -1 || true)"
  [[ -n "$window" ]] && break
  sleep 0.1
done
[[ -n "$window" ]] || fail "the installed program opened no window"
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key Escape
status=0
for _ in $(seq 100); do kill -0 $program 2>/dev/null || break; sleep 0.1; done
if kill -0 $program 2>/dev/null; then kill $program; fail "ESC did not end the program"; fi
wait $program || status=$?
[[ $status -eq 0 ]] || fail "exit status $status after ESC"
grep -q 'ESC' "$work/console.txt" || fail "the dialog's key help was not printed"
echo "installed, ran to the window, ended with ESC: exit 0"
