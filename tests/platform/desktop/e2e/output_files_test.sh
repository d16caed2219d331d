#!/usr/bin/env bash
# Where the batch options' files land (devices made with mknod here, never the machine's own
# /dev), what a failed write or a signal leaves, and no text on standard output in a batch run.
# Usage: output_files_test.sh PROGRAM WINDOW_PROBE OUTPUT_DIR

source "$(dirname "$0")/e2e_lib.sh"
cd "$work"
CURVES=(--eps 0.1 --force 0.5 --z 1 --export-curves)
"$program" "${CURVES[@]}" expected.csv

# A device and a FIFO are written into and stay what they are; /dev/stdout is standard output.
if mknod null c 1 3 2>/dev/null && mknod full c 1 7; then
  [[ $(run "${CURVES[@]}" null) == 0 && -c null ]] || fail "the null device: $(stat -c %F null)"
  [[ $(run "${CURVES[@]}" full) == 1 && -c full ]] && grep -qF "write full: No space left" err ||
    fail "the full device: $(cat err)"
else
  echo "not root: the device cases are left out"
fi
mkfifo fifo
timeout 10 cat fifo >from-fifo &   # a FIFO replaced by a file leaves its reader waiting
[[ $(run "${CURVES[@]}" fifo) == 0 ]] && wait $! && [[ -p fifo ]] && cmp -s from-fifo expected.csv ||
  fail "the FIFO was replaced or read short"
"$program" "${CURVES[@]}" /dev/stdout | cat >piped.csv && cmp -s piped.csv expected.csv ||
  fail "/dev/stdout into a pipe"

# A descriptor under another name than /dev/stdout: a shell's >(command) is /dev/fd/63.
"$program" "${CURVES[@]}" >(cat >substituted.csv) || fail ">(cat) refused"
wait_until 10 "the substituted command's file" cmp -s substituted.csv expected.csv

# A file in a folder this user may not write is written in place (tried as nobody when root:
# root may write any folder).
ro=$(mktemp -d /tmp/vdp-ro-XXXXXX)
chmod 755 "$ro" && mkdir "$ro/f" && cp "$program" "$ro/program" && echo old >"$ro/f/kept.csv"
chmod 666 "$ro/f/kept.csv" && chmod 555 "$ro/f"
as_user=()
(($(id -u) != 0)) || as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
status=0
"${as_user[@]}" "$ro/program" "${CURVES[@]}" "$ro/f/kept.csv" 2>err || status=$?
cmp -s "$ro/f/kept.csv" expected.csv && ((status == 0)) ||
  { chmod 755 "$ro/f"; rm -rf "$ro"; fail "read-only folder: status $status, $(cat err)"; }
chmod 755 "$ro/f" && rm -rf "$ro"

# Standard output closed: whatever was to go there fails, naming the cause, as ls >&- does.
for args in "--export-curves -" "--export-motion -" "--export-audio -" "--export-curves /dev/stdout" "--help"; do
  status=0
  "$program" --eps 0.1 $args >&- 2>err || status=$?   # split on purpose
  ((status == 1)) && grep -qF "Bad file descriptor" err || fail "$args >&-: status $status, $(cat err)"
done

# A link is followed; a file is replaced whole, keeping its mode.
ln -s target.csv link.csv
[[ $(run "${CURVES[@]}" link.csv) == 0 && -L link.csv ]] && cmp -s target.csv expected.csv ||
  fail "the symbolic link was not followed"
for mode in 600 444; do
  echo old >"kept$mode.csv" && chmod "$mode" "kept$mode.csv"
  [[ $(run "${CURVES[@]}" "kept$mode.csv") == 0 && $(stat -c %a "kept$mode.csv") == "$mode" ]] &&
    cmp -s "kept$mode.csv" expected.csv || fail "mode $mode: $(stat -c %a "kept$mode.csv")"
done

# Two outputs to one place: refused before anything is written.
for pair in "--snapshot - --export-curves -" "--export-curves a.csv --export-motion ./a.csv" \
            "--export-motion link.csv --export-curves target.csv" "--export-audio a.csv --export-curves a.csv"; do
  read -ra args <<<"$pair"
  [[ $(run --eps 0.1 "${args[@]}") == 2 && ! -s out && ! -e a.csv ]] &&
    grep -qF "cannot both write to" err || fail "$pair was not refused: $(cat err)"
done

# A failed write is no success, and its cause is named.
for args in "--help" "--version" "--lesson 4" "--export-curves -" "--export-motion -" "--export-audio -"; do
  status=0
  "$program" $args >/dev/full 2>err || status=$?   # split on purpose
  ((status == 1)) && grep -qF "No space left on device" err || fail "$args >/dev/full: $(cat err)"
done

# A signal in the middle of a file: the old file stays, no temporary file is left.
set -m   # background jobs of their own, which do not ignore SIGINT
for signal in INT TERM HUP; do
  cp expected.csv big.csv
  "$program" --eps 0.1 --frames 1000000 --export-motion big.csv &
  pid=$!
  wait_until 10 "the temporary file" compgen -G 'big.csv.*'
  kill -"$signal" "$pid"
  status=0
  wait "$pid" || status=$?
  ((status > 128)) && [[ -z $(compgen -G 'big.csv.*') ]] && cmp -s big.csv expected.csv ||
    fail "SIG$signal: status $status, left $(ls big.csv*)"
done
set +m

# Batch runs write no text on standard output: an overflowing motion's note goes to standard
# error, once.
[[ $(run --y0 1e200 --export-motion -) == 0 && $(grep -c nan out) -gt 900 ]] || fail "overflowing motion"
[[ $(wc -l <err) == 1 ]] && grep -qF "運動が数値で表せる範囲を超えました" err || fail "overflow note: $(cat err)"

# The sound: an empty request is a whole WAV of no samples, on standard output too; its two
# options alone, or a length out of range, are refused.
empty_wav='RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xac\0\0\x88\x58\x01\0\x02\0\x10\0data\0\0\0\0'
printf "$empty_wav" >empty-expected.wav
[[ $(run --eps 0.1 --frames 0 --export-audio -) == 0 ]] && cmp -s out empty-expected.wav && [[ ! -s err ]] ||
  fail "--frames 0 --export-audio -: $(xxd out | head -3) $(cat err)"
[[ $(run --seconds 0 --export-audio empty.wav) == 0 ]] && cmp -s empty.wav empty-expected.wav ||
  fail "--seconds 0: $(cat err)"
[[ $(run --seconds 0.5 --audio-force --export-audio half.wav) == 0 && $(stat -c %s half.wav) == $((44 + 2 * 22050)) ]] ||
  fail "half a second: $(stat -c %s half.wav)"
for args in "--seconds 1" "--audio-force" "--seconds 601 --export-audio x.wav" "--seconds -1 --export-audio x.wav"; do
  read -ra given <<<"$args"
  [[ $(run "${given[@]}") == 2 && ! -e x.wav ]] && grep -qE "goes with --export-audio|for --seconds" err ||
    fail "$args was not refused: $(cat err)"
done

# A picture on a full disk names the cause too (through a redirection: the program is never
# handed a name under the machine's own /dev).
start_xvfb
status=0
"$program" --snapshot - >/dev/full 2>err || status=$?
((status == 1)) && grep -qF "No space left on device" err || fail "--snapshot - >/dev/full: $(cat err)"
status=0
"$program" --snapshot - >&- 2>err || status=$?
((status == 1)) && grep -qF "Bad file descriptor" err || fail "--snapshot - >&-: $(cat err)"
echo "output_files: all checks passed"
