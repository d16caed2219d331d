#!/usr/bin/env bash
# vdp-validate --stability read row by row: each verdict must follow from its row's columns
# ("no orbit" where none is shown; "orbit elsewhere" where the orbit's first harmonic is not
# within 10 % of the crossing or lies nearer another crossing at that eps, F, z; else agreement
# exactly where the two classes are equal), and the agreement lines must count the rows. On
# the small-eps grid every orbit is found and agrees (one near a boundary, at 0.1, 0.5, 1.16);
# at eps = 1 and 5 every orbit next to an unstable crossing is found, and some saddle
# crossings' searches end on the stable orbit (elsewhere). Bad options are refused.
set -euo pipefail
validate=$1

# Prints "rows agree near elsewhere none differ unstable unstable_agreeing near_at", or the
# first row or tally that is wrong, and fails.
read_rows() {
    awk 'function dist(a, b) { return a > b ? a - b : b - a }
    function fail(why) { print why; exit 1 }
    $1 ~ /^[0-9.]+$/ && NF >= 10 {
        v = $10; for (i = 11; i <= NF; ++i) v = v " " $i
        key = $1 " " $2 " " $3; n = ++count[key]
        row[key, n] = $0; r[key, n] = $4; o[key, n] = $6; said[key, n] = v; same[key, n] = $5 == $9
        unstable += $5 == "unstable"; unstable_agreeing += $5 == "unstable" && v == "agree"
        next
    }
    /^  agreement at eps = / { told[substr($5, 1, length($5) - 1)] = $NF }
    /^agreement: / { last = $2 }
    END {
        for (key in count) for (n = 1; n <= count[key]; ++n) {
            v = said[key, n]; ++rows; split(key, p, " "); e = sprintf("%g", p[1])
            if (o[key, n] == "-") { if (v != "no orbit") fail("no orbit shown: " row[key, n]); ++none; continue }
            miss = dist(o[key, n], r[key, n]); away = miss > 0.1 * r[key, n]
            for (m = 1; m <= count[key]; ++m) away = away || dist(o[key, n], r[key, m]) < miss
            if (away != (v == "orbit elsewhere")) fail("orbit near or away: " row[key, n])
            if (away) { ++elsewhere; continue }
            agreeing = v == "agree" || v == "near a boundary, agree"
            if (same[key, n] != agreeing) fail("classes against verdict: " row[key, n])
            if (v ~ /^near/) { ++near; near_at = key; continue }
            found[e]++; agree[e] += agreeing; all_found++; all_agree += agreeing
        }
        for (e in found) if (told[e] != agree[e] "/" found[e]) fail("eps " e " tallied " told[e])
        if (last != all_agree + 0 "/" all_found + 0) fail("last line " last)
        print rows, all_agree + 0, near + 0, elsewhere + 0, none + 0, all_found - all_agree,
              unstable, unstable_agreeing, near_at
    }'
}

small=$("$validate" --stability | read_rows) || { echo "$small"; exit 1; }
read -r rows agree near elsewhere none differ _ _ near_at <<<"$small"
(( rows >= 200 && agree == rows - 1 && near == 1 && elsewhere + none + differ == 0 )) \
    || { echo "small eps: $small"; exit 1; }
[[ $near_at == "0.10 0.50 1.16" ]] || { echo "near a boundary at '$near_at'"; exit 1; }

large=$("$validate" --stability --eps 1,5 | read_rows) || { echo "$large"; exit 1; }
read -r _ _ _ elsewhere _ differ unstable unstable_agreeing _ <<<"$large"
(( differ == 0 && elsewhere > 0 && unstable >= 160 && unstable_agreeing == unstable )) \
    || { echo "eps 1, 5: $large"; exit 1; }

for bad in "--eps 0,x" "--eps 0.1," "--eps 0" "--eps" "--eps 1 2" "--bogus"; do
    # shellcheck disable=SC2086
    if "$validate" --stability $bad >/dev/null 2>&1; then echo "--stability $bad accepted"; exit 1; fi
done
echo "small eps: $small; eps 1, 5: $large"
