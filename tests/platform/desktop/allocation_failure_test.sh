#!/usr/bin/env bash
# The running program whose integrator cannot get its scratch storage: after the dialog the
# window's first frame must print "memory overflow" on standard output and end with status 1.
# Usage: allocation_failure_test.sh PROGRAM   (needs $DISPLAY, e.g. under xvfb-run)
set -euo pipefail
program="$1"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe
status=0
printf '0.1\n0.5 1\n0 0\n' | timeout 60 "$program" >"$out" 2>/dev/null || status=$?
if [[ $status -ne 1 ]]; then
  echo "FAIL: exit status $status, expected 1" >&2
  exit 1
fi
# The last bytes, in hex: "\nmemory overflow\n" (the message starts a line of its own).
if [[ "$(tail -c 17 "$out" | od -An -tx1 | tr -d ' \n')" != 0a6d656d6f7279206f766572666c6f770a ]]; then
  echo "FAIL: standard output does not end with the line \"memory overflow\":" >&2
  tail -c 200 "$out" >&2
  exit 1
fi
grep -q 'ESC' "$out" || { echo "FAIL: the dialog did not run first" >&2; exit 1; }
echo "memory overflow, exit status 1"
