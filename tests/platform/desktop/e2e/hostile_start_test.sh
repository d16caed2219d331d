#!/usr/bin/env bash
# The program started carelessly: without standard input or output, without a display, with
# a window too large to draw, and resized past that size while running.
# Usage: hostile_start_test.sh PROGRAM WINDOW_PROBE OUTPUT_DIR
set -euo pipefail

program=$1
probe=$2
outdir=$3
name=hostile_start
source "$(dirname "$0")/e2e_lib.sh"

ANSWERS=$'0.1\n0.5 1\n0 0\n'
index_is() { [[ $(index_shown) == "$1" ]]; }
start_xvfb

# Standard input, then standard output closed: the X connection must not take its place, or
# the dialog of 'm' reads or writes the X protocol stream (the frames after it never come).
for fd in 0 1; do
  if ((fd == 0)); then "$program" <&- >"$work/out" 2>"$work/err" &
  else "$program" <<<"$ANSWERS" >&- 2>"$work/err" & fi
  program_pid=$!
  wait_for_window || fail "descriptor $fd closed: no window"
  [[ $(readlink "/proc/$program_pid/fd/$fd") == /dev/null ]] ||
    fail "descriptor $fd is $(readlink "/proc/$program_pid/fd/$fd")"
  key m s s s
  wait_until 10 "three frames after 'm' with descriptor $fd closed" index_is 3
  expect_escape_ends
done

# Refused before the dialog: one line naming what is wrong, status 1.
refused() {   # EXPECTED_TEXT ENVIRONMENT... PROGRAM ARGUMENTS...
  local expected=$1 status=0
  shift
  env "$@" <<<"$ANSWERS" >"$work/out" 2>"$work/err" || status=$?
  ((status == 1)) || fail "$*: status $status, expected 1"
  [[ $(wc -l <"$work/out") == 1 ]] && grep -qF -- "$expected" "$work/out" || fail "$*: not one line"
}
refused "ディスプレイ '' を開けません。画面のない環境では xvfb-run -a" -u DISPLAY "$program"
refused "ディスプレイ ':9999' を開けません" "$program" -display :9999
refused "-geometry 32768x32768 のウィンドウは大きすぎて" "$program" -geometry 32768x32768

# GLUT's own -display and -geometry are honoured; a resize past the limit is taken back.
DISPLAY=:9999 "$program" -display "$DISPLAY" -geometry 800x600 <<<"$ANSWERS" >"$work/out" 2>"$work/err" &
program_pid=$!
wait_for_window || fail "-display not honoured"
x xdotool windowsize "$win" 40000 40000 key --window "$win" s
window_size() { x xwininfo -id "$win" | grep -E 'Width|Height' | tr -s ' \n' ' '; }
size_taken_back() { [[ $(window_size) == ' Width: 800 Height: 600 ' ]]; }
wait_until 10 "the window taken back to 800x600 (it is $(window_size))" size_taken_back
wait_until 10 "the first frame, one after the resize and one of 's'" index_is 3
expect_escape_ends
echo "program_hostile_start: all checks passed"
