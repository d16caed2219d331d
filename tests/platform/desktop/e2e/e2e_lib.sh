# Shared by the end-to-end tests, their whole preamble: the arguments every one takes
# (PROGRAM WINDOW_PROBE OUTPUT_DIR), an X server of their own, the program with a fifo as its
# console, X tools tried again when the server hangs up on a new client, and the checks'
# helpers. Each test sources it first thing: source "$(dirname "$0")/e2e_lib.sh"
set -euo pipefail

program=$1
probe=$2
outdir=$3
name=$(basename "$0" _test.sh)   # names the files a failure leaves in OUTPUT_DIR

export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe LC_ALL=C.UTF-8

work=$(mktemp -d)
xvfb_pid=
program_pid=
win=

cleanup() {
  exec 4>&- 2>/dev/null || true
  [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [[ -n $win ]]; then
    "$probe" "$win" ppm "$outdir/${name:-e2e}-failure.ppm" 2>/dev/null &&
      echo "window written to $outdir/${name:-e2e}-failure.ppm" >&2
  fi
  echo "--- program stdout ---" >&2; cat "$work/out" >&2 || true
  echo "--- program stderr ---" >&2; cat "$work/err" >&2 || true
  exit 1
}

# Polls a command every 50 ms until it succeeds; fails after the given number of seconds.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  local tries=$((seconds * 20))
  while ! "$@"; do
    tries=$((tries - 1))
    ((tries > 0)) || fail "timed out waiting for $what"
    sleep 0.05
  done
}

# The X server here now and then hangs up on a new client; X tools are tried again then.
x() {
  local attempt
  for attempt in $(seq 20); do
    if "$@" 2>"$work/xerr"; then return 0; fi
    grep -qi 'open display' "$work/xerr" || return 1
    sleep 0.05
  done
  return 1
}

occurrences() { grep -oF -- "$1" "$work/out" | wc -l; }
has_at_least() { (($(occurrences "$1") >= $2)); }
no_windows() { x xwininfo -root -children | grep -q ' 0 children'; }
type_line() { printf '%s\n' "$1" >&4; }
key() { x xdotool key --window "$win" "$@"; }
index_shown() { x "$probe" "$win" index; }
colour_count() { x "$probe" "$win" count "$@"; }
index_at_least() { (($(index_shown) >= $1)); }
program_alive() { kill -0 "$program_pid" 2>/dev/null; }
# A batch run: its status echoed, its standard output and error left in out and err here.
run() { local status=0; "$program" "$@" >out 2>err || status=$?; echo "$status"; }

start_xvfb() {
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  wait_until 10 "the X server" test -s "$work/display"
  export DISPLAY=":$(cat "$work/display")"
}

# Starts the program with the given arguments and a fifo as its console (descriptor 4 writes
# to it); its output goes to $work/out and $work/err.
launch_program() {
  rm -f "$work/in"
  mkfifo "$work/in"
  "$program" "$@" <"$work/in" >"$work/out" 2>"$work/err" &
  program_pid=$!
  exec 4>"$work/in"
}

# Waits for the program's window and sets win. Returns 1 when GLUT could not open the display
# (the caller tries again).
wait_for_window() {
  local tries=300
  while ! win=$(x xdotool search --name 'Van der Pol'); do
    if ! program_alive; then
      grep -q 'failed to open display' "$work/err" && return 1
      fail "the program ended before its window appeared"
    fi
    tries=$((tries - 1))
    ((tries > 0)) || fail "timed out waiting for the window"
    sleep 0.05
  done
  win=$(head -n 1 <<<"$win")
}

# Runs a command that starts the program and waits for its window (returning 1 when GLUT
# could not open the display) until it succeeds, at most five times.
open_program() {
  local attempt
  for attempt in 1 2 3 4 5; do
    "$@" && return 0
    ((attempt < 5)) || fail "the program could not open the display"
    exec 4>&-
    wait "$program_pid" || true
  done
}

# Starts the program with the given arguments and waits for its window (see wait_for_window).
launch_and_wait() {
  launch_program "$@"
  wait_for_window
}

# ESC ends the program with status 0 and nothing more on the console.
expect_escape_ends() {
  local size status=0
  size=$(stat -c %s "$work/out")
  x xdotool key --window "$win" Escape || true   # the window is gone before the key release
  wait_until 10 "the program to end" bash -c "! kill -0 $program_pid 2>/dev/null"
  wait "$program_pid" || status=$?
  program_pid=
  ((status == 0)) || fail "ESC ended the program with status $status"
  (($(stat -c %s "$work/out") == size)) || fail "ESC wrote to the console"
  [[ ! -s $work/err ]] || fail "the program wrote to stderr"
}
