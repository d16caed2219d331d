#!/usr/bin/env bash
# The real program started carelessly, on an X server of its own: without standard input or
# output, without a display, with a window too large to draw, and resized past that size.
# Usage: hostile_start_test.sh PROGRAM WINDOW_PROBE
set -euo pipefail
program=$1
probe=$2
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe LC_ALL=C.UTF-8
ANSWERS=$'0.1\n0.5 1\n0 0\n'
work=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill $pid; kill $xvfb_pid; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# -noreset: a server whose last client leaves would refuse new ones for a moment.
Xvfb -displayfd 3 -noreset -screen 0 1024x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do [[ -s $work/display ]] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"

key() { xdotool key --window "$win" "$@" 2>/dev/null; }
# Waits for the program's window, then for it to show trace index $1 after keys $3...
expect_index_after() {
  local index=$1 what=$2
  shift 2
  win=$(timeout 10 xdotool search --sync --name 'Van der Pol' | head -n 1) || fail "$what: no window"
  "$@"
  for _ in $(seq 200); do [[ $("$probe" "$win" index) == "$index" ]] && return; sleep 0.05; done
  fail "$what: trace index $("$probe" "$win" index), expected $index"
}
expect_escape_ends_it() {
  key Escape || true   # the window is gone before the key release
  timeout 10 tail --pid="$pid" -f /dev/null && wait "$pid" || fail "$1: ESC did not end it with status 0"
  pid=
}

# Standard input, then standard output closed: the X connection must not take its place, or
# the dialog of 'm' reads or writes the X protocol stream.
for fd in 0 1; do
  if ((fd == 0)); then "$program" <&- >/dev/null 2>&1 & else "$program" <<<"$ANSWERS" >&- 2>/dev/null & fi
  pid=$!
  expect_index_after 3 "descriptor $fd closed, 'm' and three 's'" key m s s s
  [[ $(readlink "/proc/$pid/fd/$fd") == /dev/null ]] || fail "descriptor $fd: $(readlink "/proc/$pid/fd/$fd")"
  expect_escape_ends_it "descriptor $fd closed"
done

# Refused before the dialog: one line naming what is wrong, status 1.
refused() {   # EXPECTED_TEXT ENVIRONMENT... PROGRAM ARGUMENTS...
  local expected=$1 status=0 out
  shift
  out=$(env "$@" <<<"$ANSWERS" 2>/dev/null) || status=$?
  ((status == 1)) || fail "$*: status $status, expected 1"
  [[ $out == *"$expected"* && $(wc -l <<<"$out") == 1 ]] || fail "$*: printed: $out"
}
refused "ディスプレイ '' を開けません。画面のない環境では xvfb-run -a" -u DISPLAY "$program"
refused "ディスプレイ ':9999' を開けません" "$program" -display :9999
refused "-geometry 32768x32768 のウィンドウは大きすぎて" "$program" -geometry 32768x32768

# GLUT's own -display and -geometry are honoured; a resize past the limit is taken back.
DISPLAY=:9999 "$program" -display "$DISPLAY" -geometry 800x600 <<<"$ANSWERS" >/dev/null 2>&1 &
pid=$!
oversize() { xdotool windowsize "$win" 40000 40000 key --window "$win" s 2>/dev/null; }
expect_index_after 3 "first frame, one after the resize and one 's'" oversize
size=$(xwininfo -id "$win" | grep -E 'Width|Height' | tr -s ' \n' ' ')
[[ $size == ' Width: 800 Height: 600 ' ]] || fail "window not taken back to 800x600: $size"
expect_escape_ends_it "resized window"
echo "hostile_start: all checks passed"
