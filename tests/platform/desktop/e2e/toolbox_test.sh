#!/usr/bin/env bash
# The teacher's toolbox end to end: a bad option refused before anything happens; a scenario
# from the command line with the English console and frames advanced before the window shows;
# F1 key help, F2 pictures that never overwrite each other, F5 running and pausing the motion,
# and a dialog key that pauses it.
# Usage: toolbox_test.sh PROGRAM WINDOW_PROBE OUTPUT_DIR

source "$(dirname "$0")/e2e_lib.sh"

HELP_END='ESC key  : quit'
PROMPT_INITIAL='(3) initial conditions, type y0 v0 = '

# A bad value: status 2, a message naming it, the usage line; no window (no display is even
# looked for) and no file written.
mkdir "$work/run" && cd "$work/run"
status=0
env -u DISPLAY "$program" --export-curves c.csv --frames -1 >"$work/out" 2>"$work/err" || status=$?
((status == 2)) || fail "a bad --frames ended with status $status"
grep -qF "invalid value '-1' for --frames" "$work/err" || fail "the message does not name --frames"
grep -q '^Usage: forced-vdp' "$work/err" || fail "no usage line"
[[ ! -s $work/out && -z $(ls -A) ]] || fail "something was written for a refused command line"

# The lessons without a window: the list, a lesson's steps with the right choices marked, in
# plain ASCII in English; a step the lesson has not is refused by its value.
env -u DISPLAY "$program" --lang en --lesson list >"$work/out" 2>"$work/err" || fail "--lesson list failed"
(($(wc -l <"$work/out") == 8)) && grep -qx '4  The saddle between two folds' "$work/out" ||
  fail "--lesson list is not one lesson a line"
env -u DISPLAY "$program" --lang en --lesson 4 >"$work/out" 2>"$work/err" || fail "--lesson 4 failed"
(($(occurrences ' (right)') == 3)) || fail "--lesson 4 did not mark one right choice a step"
! LC_ALL=C grep -q '[^ -~]' "$work/out" || fail "--lesson 4 wrote other than ASCII in English"
status=0
env -u DISPLAY "$program" --lesson 4 --step 4 >"$work/out" 2>"$work/err" || status=$?
((status == 2)) && grep -qF "invalid value '4' for --step" "$work/err" || fail "--step 4 of lesson 4 not refused"

start_xvfb
open_program launch_and_wait --lang en --eps 0.1 --force 0.5 --z 1 --frames 50

# No dialog: the English banner and key help only, and the 51st frame is the first shown.
wait_until 10 "the first frame" index_at_least 51
[[ $(index_shown) == 51 ]] || fail "first frame shows trace index $(index_shown), expected 51"
grep -q 'Forced oscillation' "$work/out" || fail "no English banner"
has_at_least "$HELP_END" 1 || fail "no English key help"
! grep -q 'type eps=' "$work/out" || fail "the start dialog asked although values were given"
! LC_ALL=C grep -q '[^ -~]' "$work/out" || fail "the English console wrote other than ASCII"

# F1: the key help again, with the function keys.
key F1
wait_until 10 "F1's key help" has_at_least "$HELP_END" 2
grep -q 'F5 key: run / pause' "$work/out" || fail "F1 did not list the function keys"

# F2 twice within a second: two pictures, the second under a new name, each the very pixels
# of the window (the first frame shown, after the 50 advanced unseen).
key F2 F2
wait_until 10 "two saved pictures" has_at_least 'Picture saved: ' 2
pictures=(forced-vdp-*.png)
((${#pictures[@]} == 2)) || fail "F2 twice saved ${#pictures[@]} files: ${pictures[*]}"
for p in "${pictures[@]}"; do
  differing=$(x "$probe" "$win" differs "$p")
  ((differing == 0)) || fail "$p differs from the window in $differing pixels"
  grep -qF "Picture saved: $work/run/$p" "$work/out" || fail "the path of $p was not printed"
done

# Every key sent so far has been handled, and the program's timers have had the given time to
# fire: F1 sent after it, twice (a timer that came due runs after the key of its turn).
handled_after() {
  local helps
  sleep "$1"
  for _ in 1 2; do
    helps=$(occurrences "$HELP_END")
    key F1
    wait_until 10 "F1's key help" has_at_least "$HELP_END" $((helps + 1))
  done
}

# F5: the motion runs by itself; F5 again stops it where it is.
before=$(index_shown)
key F5
wait_until 10 "frames drawn by themselves" index_at_least $((before + 10))
key F5
handled_after 0
paused=$(index_shown)
handled_after 0.3   # nine frames' time
[[ $(index_shown) == "$paused" ]] || fail "the motion went on after the second F5"

# Running again, 'j' pauses it first and asks in English.
key F5
wait_until 10 "running again" index_at_least $((paused + 3))
helps=$(occurrences "$HELP_END")
key j
wait_until 10 "prompt (3) after 'j'" has_at_least "$PROMPT_INITIAL" 1
# Keys pressed in the window while the console waits are dropped, not applied after it.
shown_at_dialog=$(index_shown)
key s s F5 F2 F3 e
type_line "0 0"
wait_until 10 "the key help after 'j'" has_at_least "$HELP_END" $((helps + 1))
handled_after 0.3
[[ $(index_shown) == "$shown_at_dialog" ]] || fail "keys pressed during the dialog drew frames"
(($(ls forced-vdp-*.png | wc -l) == 2)) || fail "F2 pressed during the dialog saved a picture"
# The window still shows a frame of the run the dialog ended: F2 saves nothing.
key F2
wait_until 10 "F2 refused" has_at_least "Picture not saved: no frame since the dialog" 1
(($(ls forced-vdp-*.png | wc -l) == 2)) || fail "F2 after the dialog left a file"
key s
handled_after 0.3
[[ $(index_shown) == 1 ]] || fail "the motion ran on after the dialog of 'j'"

# A lesson's step in the window: its question and choices after the key help, the answer not.
expect_escape_ends
open_program launch_and_wait --lang en --lesson 6 --step 2
wait_until 10 "the step's question" has_at_least 'Step 2 of 2: Push faster still: z = 3.' 1
grep -qF '  3) Every five pushes' "$work/out" || fail "the step's choices were not printed"
! grep -qF '(right)' "$work/out" || fail "the step's answer was printed with its question"
expect_escape_ends
echo "toolbox: all checks passed"
