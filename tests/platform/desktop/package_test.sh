#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it without installing anything on
# this machine: its name, dependencies and contents; then the program unpacked into a
# temporary root (dpkg-deb -x) runs through its dialog to the window on an X server of its
# own. lintian must report no error.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
work="$(mktemp -d)"
xvfb_pid=
program=
cleanup() {
  [[ -n $program ]] && kill "$program" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
[[ -x "$work/prefix/bin/forced-vdp" ]] || fail "cmake --install put no bin/forced-vdp"
(cd "$build" && cpack -G DEB -B "$work" >/dev/null 2>&1)
deb="$(ls "$work"/forced-vdp_*.deb)"
echo "package: $(basename "$deb")"

info="$(dpkg-deb -I "$deb")"
contents="$(dpkg-deb -c "$deb")"
grep -q '^ Package: forced-vdp$' <<<"$info" || fail "package name"
depends="$(sed -n 's/^ Depends: //p' <<<"$info")"
echo "depends: $depends"
names="$(tr ',' '\n' <<<"$depends" | awk '{print $1}')"
for lib in libglut3.12 libgl1 libx11-6 libpng16-16 libc6 libstdc++6; do
  grep -qxF "$lib" <<<"$names" || fail "Depends does not name $lib"
done
for file in usr/bin/forced-vdp usr/share/man/man1/forced-vdp.1.gz usr/share/applications/forced-vdp.desktop \
            usr/share/doc/forced-vdp/copyright usr/share/doc/forced-vdp/changelog.gz; do
  grep -qE " \./$file\$" <<<"$contents" || fail "no ./$file in the package"
done
# Debian's own check of the package: errors fail the test, warnings are shown.
command -v lintian >/dev/null || fail "lintian is not installed (scripts/deps.sh test installs it)"
lintian --allow-root --fail-on error "$deb" || fail "lintian: status $? (errors, or it could not run)"
if grep -qE '\.(a|h)$|/include/' <<<"$contents"; then fail "development files in the package"; fi

root="$work/root"
dpkg-deb -x "$deb" "$root"
[[ -x "$root/usr/bin/forced-vdp" ]] || fail "the package unpacks no usr/bin/forced-vdp"
# The copyright file gives the terms of LICENSE, word for word, under their Debian name.
licence_text() { awk '/^License: Expat$/ { n = NR } { line[NR] = $0 } END { for (i = n + 1; i <= NR; ++i) print line[i] }' "$1"; }
licence_text "$root/usr/share/doc/forced-vdp/copyright" | sed -e 's/^ //' -e 's/^\.$//' |
  cmp -s - <(sed -n '5,$p' "$(dirname "$0")/../../../LICENSE") || fail "the copyright file's licence is not LICENSE's"
grep -qx 'Terminal=true' "$root/usr/share/applications/forced-vdp.desktop" || fail "the desktop entry does not open a terminal"
# The manual page describes every option that --help lists.
for option in $("$root/usr/bin/forced-vdp" --help | grep -oE '^  --[a-z-]+' | tr -d ' '); do
  zgrep -qF -- "$(sed 's/-/\\-/g' <<<"$option")" "$root/usr/share/man/man1/forced-vdp.1.gz" ||
    fail "the manual page lacks $option"
done

# The unpacked program on an X server of its own: dialog from a pipe, window, ESC.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || fail "the X server did not start"
export DISPLAY=":$(cat "$work/display")" LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe

printf '0.1\n0.5 1\n0 0\n' | "$root/usr/bin/forced-vdp" >"$work/console.txt" 2>&1 &
program=$!
window=""
for _ in $(seq 200); do
  window="$(xdotool search --name 'Van der Pol' 2>/dev/null | head -1 || true)"
  [[ -n "$window" ]] && break
  kill -0 "$program" 2>/dev/null || fail "the unpacked program ended before its window: $(cat "$work/console.txt")"
  sleep 0.1
done
[[ -n "$window" ]] || fail "the unpacked program opened no window"
echo "unpacked, ran through the dialog to the window"
