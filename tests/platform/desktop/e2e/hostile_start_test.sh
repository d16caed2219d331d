#!/usr/bin/env bash
# The program started carelessly: without standard input, output or error, without a
# display, with a -geometry that is no geometry or too large to draw, and resized past that
# size while keys are queued.
# Usage: hostile_start_test.sh PROGRAM WINDOW_PROBE OUTPUT_DIR

source "$(dirname "$0")/e2e_lib.sh"

ANSWERS=$'0.1\n0.5 1\n0 0\n'
index_is() { [[ $(index_shown) == "$1" ]]; }
# After a dialog key, with the old run past frame 3: 's' until a frame of the new run shows
# (keys that reach the window while the dialog runs are dropped), then two more frames (an 's'
# of the first part may still be on its way: at least two).
frames_after_dialog() {
  local tries=100 shown
  until (($(index_shown) <= 3)); do
    key s
    sleep 0.2
    ((--tries > 0)) || fail "no frame of the new run $1"
  done
  shown=$(index_shown)
  key s s
  wait_until 10 "two more frames $1" index_at_least $((shown + 2))
}
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
  key s s s s s
  wait_until 10 "five frames with descriptor $fd closed" index_at_least 5
  key m
  frames_after_dialog "with descriptor $fd closed"
  kill "$program_pid"; wait "$program_pid" || true; program_pid=
done

# Under a limit on the address space: the software renderer once crashed after the whole
# dialog at 400000 KB (one 64 MB malloc arena per renderer thread); now it draws there, and
# a limit too small for it is refused before the dialog (below). AddressSanitizer's shadow
# memory needs terabytes of address space, so its build cannot run under any such limit.
address_limits=true
grep -q __asan_init "$program" && address_limits=false
if $address_limits; then
  (ulimit -v 400000 && exec "$program" <<<"$ANSWERS" >"$work/out" 2>"$work/err") &
  program_pid=$!
  wait_for_window || fail "ulimit -v 400000: no window"
  frames_after_dialog "under ulimit -v 400000"
  kill "$program_pid"; wait "$program_pid" || true; program_pid=
fi

# Refused before the dialog: one line naming what is wrong, status 1; in a batch run on
# standard error, with standard output left to the picture.
refused() {   # EXPECTED_TEXT ENVIRONMENT... PROGRAM ARGUMENTS...
  local expected=$1 status=0 console=$work/out
  shift
  [[ " $* " == *" --snapshot "* ]] && console=$work/err
  env "$@" <<<"$ANSWERS" >"$work/out" 2>"$work/err" || status=$?
  ((status == 1)) || fail "$*: status $status, expected 1"
  [[ $(wc -l <"$console") == 1 ]] && grep -qF -- "$expected" "$console" || fail "$*: not one line"
  [[ $console == "$work/out" || ! -s $work/out ]] || fail "$*: text on standard output"
}
refused "ディスプレイ '' を開けません。画面のない環境では xvfb-run -a" -u DISPLAY "$program"
refused "ディスプレイ ':9999' を開けません" "$program" -display :9999
refused "Cannot open display ''" -u DISPLAY "$program" --lang en --snapshot -
for g in 32768x32768 16385x10 10x16385 4294967297x1; do
  refused "-geometry $g のウィンドウは大きすぎて" "$program" -geometry "$g"
done
for g in abc 800x 0x0 1x-1 '' +10; do
  refused "-geometry $g: not a window geometry" "$program" --lang en -geometry "$g"
done
refused "-geometry 0x0: not a window geometry" "$program" --lang en -geometry 0x0 --snapshot -
if $address_limits; then
  refused "within the address-space limit (ulimit -v) of 250000 KB" \
    bash -c 'ulimit -v 250000 && exec "$@"' limit "$program" --lang en
fi
# Standard error closed: the message has nowhere to go, but the picture file stays clean.
status=0
env -u DISPLAY "$program" --snapshot - >"$work/out" 2>&- || status=$?
((status == 1)) && [[ ! -s $work/out ]] || fail "standard error closed: status $status, $(wc -c <"$work/out") bytes out"

# What GLUT is handed: a position alone keeps 800 x 800, a size is taken whole.
for g in +10+10:800x800 =300x200-5+7:300x200 x600:800x600 1x1:1x1; do
  "$program" --snapshot "$work/g.png" -geometry "${g%%:*}" || fail "-geometry ${g%%:*} refused"
  size=$(od -An -tu1 -j16 -N8 "$work/g.png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [[ $size == "${g##*:}" ]] || fail "-geometry ${g%%:*} gave a $size picture"
done

# GLUT's own -display is honoured; a resize past the limit is taken back, also with keys
# queued before and after it (an oversized frame once ended the program with BadValue).
DISPLAY=:9999 "$program" -display "$DISPLAY" -geometry 800x600 <<<"$ANSWERS" >"$work/out" 2>"$work/err" &
program_pid=$!
wait_for_window || fail "-display not honoured"
for ((round = 1; round <= ${VDP_RESIZE_ROUNDS:-40}; ++round)); do
  key s s
  x xdotool windowsize "$win" 40000 40000
  key s s s
  program_alive || fail "the program ended in resize round $round"
done
window_size() { x xwininfo -id "$win" | grep -E 'Width|Height' | tr -s ' \n' ' '; }
size_taken_back() { [[ $(window_size) == ' Width: 800 Height: 600 ' ]]; }
wait_until 10 "the window taken back to 800x600 (it is $(window_size))" size_taken_back
[[ ! -s $work/err ]] || fail "resizes past the limit: $(head -3 "$work/err")"
echo "program_hostile_start: all checks passed"
