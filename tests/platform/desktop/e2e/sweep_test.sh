#!/usr/bin/env bash
# The sweep of z from the command line: --export-sweep's table (rows, ways, 17 digits, a ratio
# well inside the locked band read as locked), what it refuses and how it fails, and --sweep in
# the window, running by itself from the first frame until the console says it is done.
# Usage: sweep_test.sh PROGRAM WINDOW_PROBE OUTPUT_DIR

source "$(dirname "$0")/e2e_lib.sh"
cd "$work"

# eps = 0.1, F = 0.2 locks from 0.932 to 1.062: 0.99 ... 1.01 up, 1.005 ... 0.99 down.
[[ $(run --eps 0.1 --force 0.2 --sweep 0.99:1.01 --export-sweep -) == 0 && ! -s err ]] ||
  fail "--export-sweep -: $(cat err)"
[[ $(head -n 1 out) == direction,z,state,strobe_period,rotation,drift,spread,harmonic_amplitude,hb_class ]] ||
  fail "header: $(head -n 1 out)"
awk -F, 'NR > 1 {
  k = NR <= 6 ? NR - 2 : 10 - NR; way = NR <= 6 ? "up" : "down"
  z = sprintf("%.17g", 0.99 + k * 0.005)
  if ($1 != way || $2 != z || NF != 9) { print "row " NR ": " $0 " (expected " way ", " z ")"; bad = 1 }
  if ($3 != "locked" || $4 != 1 || $9 != "stable") { print "row " NR " not locked: " $0; bad = 1 }
}
END { if (NR != 10) { print NR - 1 " rows"; bad = 1 } exit bad }' out >awk.out || fail "$(cat awk.out)"

# Refused before anything is written (status 2, naming what), a write that fails names why.
for args in "--export-sweep s.csv" "--sweep 1:1.01 --export-sweep s.csv --export-curves ./s.csv"; do
  read -ra words <<<"$args"
  [[ $(run --eps 0.1 "${words[@]}") == 2 && ! -e s.csv && ! -s out ]] ||
    fail "$args was not refused: $(cat err)"
done
grep -qF -- "--export-curves and --export-sweep cannot both write to" err ||
  fail "the clash is not named: $(cat err)"
[[ $(run --eps 0.1 --export-sweep s.csv) == 2 ]] && grep -qF -- "--export-sweep needs --sweep" err ||
  fail "--export-sweep alone: $(cat err)"
[[ $(run --eps 0.1 --sweep 1:1.01 --export-sweep missing/s.csv) == 1 ]] &&
  grep -qF "cannot write missing/s.csv: No such file or directory" err || fail "a missing folder: $(cat err)"

# In the window the sweep runs on the Run clock from the first frame, 640 frames to a frame
# drawn: eps = F = 5 over 1 ... 1.02 (nine ratios, some 45,000 frames) is done within seconds.
start_xvfb
open_program launch_and_wait --lang en --eps 5 --force 5 --sweep 1:1.02
wait_until 30 "the sweep's end" has_at_least "Sweep done: 9 ratios measured" 1
grep -qF "Locked (period 1) going up z = 1 ... 1.02, going down z = 1 ... 1.015" "$work/out" ||
  fail "the summary: $(grep Sweep "$work/out")"
expect_escape_ends
echo "sweep: all checks passed"
