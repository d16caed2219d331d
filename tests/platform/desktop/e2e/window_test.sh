#!/usr/bin/env bash
# The real program end to end, on an X server of its own: the console dialog answered through
# standard input, the window only after it, one frame per drawing key and none for 'm', 'f'
# and 'j', the title as the window system sees it, pixels of the window, and ESC.
# Usage: window_test.sh PROGRAM WINDOW_PROBE OUTPUT_DIR

source "$(dirname "$0")/e2e_lib.sh"

TITLE='Van der Pol系の強制振動　m:系・外力 j:初期条件 変更, s:描画継続,　y,Y:f特性縦倍率変更 t,T:時間軸伸縮'
PROMPT_EPSILON='ε='
PROMPT_FORCE='F z='
PROMPT_INITIAL='y0 v0 = '
NOTE_FORCE='z=1の付近で'
KEY_HELP_END='ESCキーで   ：終了'

# Starts the program, answers the first dialog and returns when the window is there. Returns
# 1 when GLUT could not open the display (tried again).
start_program() {
  launch_program

  # Each prompt is on the console before the program waits: stdout is a pipe-fed file here,
  # so only an explicit flush makes it visible.
  wait_until 10 "prompt (1)" has_at_least "$PROMPT_EPSILON" 1
  no_windows || fail "a window before the dialog was answered"
  type_line 0.1
  wait_until 10 "prompt (2)" has_at_least "$PROMPT_FORCE" 1
  no_windows || fail "a window before the dialog was answered"
  type_line "0.5 1"
  wait_until 10 "prompt (3)" has_at_least "$PROMPT_INITIAL" 1
  no_windows || fail "a window before the dialog was answered"
  type_line "0 0"
  wait_for_window
}

# Presses 'j' and answers "0 0": the dialog's prompt on the console proves that every key
# sent before has been handled, and 'j' itself draws nothing. Echoes the trace index that
# the window showed at that moment.
settle_and_reset() {
  local prompts
  prompts=$(occurrences "$PROMPT_INITIAL")
  key j
  wait_until 10 "prompt (3) after 'j'" has_at_least "$PROMPT_INITIAL" $((prompts + 1))
  index_shown
  local helps
  helps=$(occurrences "$KEY_HELP_END")
  type_line "0 0"
  wait_until 10 "the end of the dialog" has_at_least "$KEY_HELP_END" $((helps + 1))
}

expect_index() {
  local got
  got=$(settle_and_reset)
  [[ $got == "$1" ]] || fail "$2: trace index $got shown, expected $1"
}

start_xvfb
open_program start_program

# The title as UTF-8 and as a WM_NAME that decodes to the same text.
net_name=$(x xprop -id "$win" _NET_WM_NAME)
[[ $net_name == "_NET_WM_NAME(UTF8_STRING) = \"$TITLE\"" ]] || fail "title: $net_name"
wm_name=$(x xprop -id "$win" WM_NAME)
[[ $wm_name == "WM_NAME(COMPOUND_TEXT) = \"$TITLE\"" ]] || fail "WM_NAME: $wm_name"

# The first frame, drawn when the window was first shown. Window rows count from the top.
wait_until 10 "the first frame" index_at_least 1
[[ $(x "$probe" "$win" pixel 780 780) == "255 255 255" ]] || fail "background not white"
[[ $(x "$probe" "$win" pixel 760 258) == "0 0 0" ]] || fail "no stability line at y = 0.354"
[[ $(x "$probe" "$win" pixel 604 100) == "0 255 0" ]] || fail "no given-z line at z = 1"
(($(colour_count 10 10 10 0 0 300 80) > 300)) || fail "no legend at the upper left"
(($(colour_count 0 0 255) == 0)) || fail "a family shown before 'e' or 'E'"

# 'j' while the window is open: the dialog runs again on the console, no frame is drawn.
settle_and_reset >/dev/null
key s s s s s
expect_index 5 "five 's' after 'j'"
key e y Y z Z space S   # not 't' or 'T': the probe counts 2 columns per frame
expect_index 7 "seven drawing keys"
(($(colour_count 0 0 255) > 3000)) || fail "no epsilon family after 'e'"

# 'f': force and z again; the green line moves to z = 1.5, the blue one at z = 1 shows.
notes=$(occurrences "$NOTE_FORCE")
helps=$(occurrences "$KEY_HELP_END")
key f
wait_until 10 "prompt (2) after 'f'" has_at_least "$PROMPT_FORCE" 2
(($(occurrences "$NOTE_FORCE") == notes + 1)) || fail "'f' did not start at the notes on z"
type_line "0.5 1.5"
type_line "0 0"
wait_until 10 "the end of the dialog after 'f'" has_at_least "$KEY_HELP_END" $((helps + 1))
key s
expect_index 1 "'f' and one 's'"
[[ $(x "$probe" "$win" pixel 704 100) == "0 255 0" ]] || fail "no given-z line at z = 1.5"
[[ $(x "$probe" "$win" pixel 604 100) == "0 0 255" ]] || fail "no blue line at z = 1"

# 'm': the whole dialog with its banner.
helps=$(occurrences "$KEY_HELP_END")
key m
wait_until 10 "prompt (1) after 'm'" has_at_least "$PROMPT_EPSILON" 2
type_line 0.5
type_line "0.2 1"
type_line "0 0"
wait_until 10 "the end of the dialog after 'm'" has_at_least "$KEY_HELP_END" $((helps + 1))
key s s
expect_index 2 "'m' and two 's'"

# Eight seconds of motion, then the window as it stands (the README's screenshot).
key $(printf 's %.0s' $(seq 80))
wait_until 20 "80 frames" index_at_least 80   # counted from the reset by the last 'j'
x "$probe" "$win" ppm "$outdir/program_window.ppm"

# ESC: status 0, nothing more on the console, nothing on stderr.
expect_escape_ends
echo "program_window: all checks passed"
