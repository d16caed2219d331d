#!/usr/bin/env bash
# The locking map end to end: bad grids refused before any work, its CSV on standard output
# and in a file with flat memory however large the grid, a failed write; and in the real
# window, F8 with the rows drawn by the window's timer as the threads finish them, the map as
# --map-snapshot writes it, a click that runs a cell, F8 again at once.
# Usage: locking_map_test.sh PROGRAM WINDOW_PROBE OUTPUT_DIR

source "$(dirname "$0")/e2e_lib.sh"
cd "$work"
GRID=(--eps 0.3 --y0 0.1 --v0 0 --map-z 0.8:1.2:21 --map-force 0:0.5:11)

# Status 2, the value named, nothing written, no display looked for.
while IFS='|' read -r args named; do
  status=0
  env -u DISPLAY "$program" --locking-map refused.csv $args >out 2>err || status=$?   # split on purpose
  ((status == 2)) && grep -qF -- "$named" err && [[ ! -e refused.csv && ! -s out ]] ||
    fail "$args: status $status, $(cat err)"
done <<'EOF'
--map-z 0.5:1.5:0|invalid value '0.5:1.5:0' for --map-z
--map-z 1.5:0.5:11|invalid value '1.5:0.5:11' for --map-z
--map-force 0:one:3|invalid value '0:one:3' for --map-force
--map-z 0.5:1.5:1001 --map-force 0:1:1000|'0.5:1.5:1001' and --map-force '0:1:1000' make 1001000 cells
EOF
status=0
env -u DISPLAY "$program" "${GRID[@]}" --locking-map - --map-snapshot - >out 2>err || status=$?
((status == 2)) && grep -qF "cannot both write to '-'" err || fail "two outputs to one place: $(cat err)"

# Standard output: the header and a row per cell, F by F, nothing on standard error.
env -u DISPLAY "$program" "${GRID[@]}" --locking-map - >map.csv 2>err || fail "the map to standard output"
[[ $(head -n 1 map.csv) == epsilon,force,z,state,strobe_period,rotation,drift,spread,harmonic_amplitude,hb_class &&
   $(wc -l <map.csv) == 232 && ! -s err ]] || fail "map.csv: $(wc -l <map.csv) lines, $(cat err)"
[[ $(sed -n 23p map.csv | cut -d, -f2-3) == 0.050000000000000003,0.80000000000000004 ]] ||
  fail "row 22 is not (F 0.05, z 0.8): $(sed -n 23p map.csv)"

# Memory stays that of its stream whatever the grid: 200 times the cells, about the same peak.
rss() { /usr/bin/time -f %M "$program" --eps 0.3 --map-z "0.5:1.5:$1" --map-force 0.1:0.1:1 \
  --map-periods 2 --locking-map /dev/null 2>&1 >/dev/null | tail -n 1; }
small=$(rss 1000) large=$(rss 200000)
((large < small + 2048)) || fail "peak memory grew from $small KB to $large KB with the grid"
if mknod full c 1 7 2>/dev/null; then
  status=0
  "$program" "${GRID[@]}" --locking-map full 2>err || status=$?
  ((status == 1)) && grep -qF "No space left" err || fail "a full device: status $status, $(cat err)"
fi

shows_snapshot() { [[ $(x "$probe" "$win" differs snapshot.png) == 0 ]]; }
shows_no_map() { [[ $(colour_count 86 180 233) == 0 ]]; }   # the 1:1 cells' sky blue

start_xvfb
"$program" "${GRID[@]}" --map-snapshot snapshot.png || fail "--map-snapshot"
open_program launch_and_wait --lang en --force 0.5 --z 1 "${GRID[@]}"
wait_until 10 "the first frame" index_at_least 1
key F8
wait_until 60 "the map" has_at_least "Locking map done: 231 cells" 1
wait_until 10 "the map's last rows" shows_snapshot

# A click on the cell (z 0.9, F 0.3): the picture again, a new run there; F8 then shows the map
# held at once.
x xdotool mousemove --window "$win" 263 293 click 1
wait_until 10 "the picture" shows_no_map
[[ $(index_shown) == 1 ]] || fail "the click's run shows trace index $(index_shown)"
key F8
wait_until 10 "the map again" shows_snapshot
(($(occurrences "Computing the locking map") == 1)) || fail "F8 computed the held map again"
expect_escape_ends

# ESC while the threads compute a large map: status 0 at once (a thread left running at exit
# would end the process with std::terminate).
open_program launch_and_wait --lang en --eps 5 --force 1 --z 1 --map-z 0.2:3:281 --map-force 0:6:121
wait_until 10 "the first frame" index_at_least 1
key F8
wait_until 10 "the map begun" has_at_least "Computing the locking map" 1
expect_escape_ends
