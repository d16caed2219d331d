#!/usr/bin/env bash
# vdp-validate --stability on its whole small-eps grid: its last line is "agreement: K/N",
# with at least 200 orbits found away from a boundary and K/N >= 0.98. A bad option is refused.
set -euo pipefail
validate=$1
last=$("$validate" --stability | tail -n 1)
[[ $last =~ ^agreement:\ ([0-9]+)/([0-9]+)$ ]] || { echo "last line: '$last'"; exit 1; }
k=${BASH_REMATCH[1]} n=${BASH_REMATCH[2]}
(( n >= 200 && 100 * k >= 98 * n )) || { echo "agreement $k/$n"; exit 1; }
if "$validate" --stability --eps 0,x >/dev/null 2>&1; then echo "--eps 0,x accepted"; exit 1; fi
echo "agreement $k/$n"
