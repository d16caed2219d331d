#!/usr/bin/env bash
# vdp-validate --stability read row by row. Each row's verdict must follow from its own columns:
# "no orbit" where no orbit is shown; "orbit elsewhere" where the orbit's first harmonic is not
# within 10 % of the crossing or lies nearer another crossing at the same eps, F, z; otherwise
# an agreement exactly where the layer's class and the orbit's are the same. The per-eps and
# overall "agreement: K/N" lines must count those rows. On the small-eps grid (at least 200
# crossings) every orbit is found and agrees, the one crossing near a boundary being
# eps = 0.1, F = 0.5, z = 1.16; at eps = 5, where the orbits next to the unstable crossings
# stretch deviations by e^30 a period, each of them is found and agrees. Bad options are refused.
set -euo pipefail
validate=$1

# Reads the program's output; prints "rows agree near elsewhere none differ unstable
# unstable_agreeing near_at", or the first row or tally that is wrong (and fails).
read_rows() {
    awk '
    function dist(a, b) { return a > b ? a - b : b - a }
    function fail(why, text) { print why ": " text; failed = 1; exit 1 }
    $1 ~ /^[0-9.]+$/ && NF >= 10 {
        verdict = $10
        for (i = 11; i <= NF; ++i)
            verdict = verdict " " $i
        key = $1 " " $2 " " $3
        n = ++count[key]
        row[key, n] = $0; r[key, n] = $4; orbit[key, n] = $6; said[key, n] = verdict
        same[key, n] = $5 == $9; layer[key, n] = $5
        next
    }
    /^  agreement at eps = / { told[substr($5, 1, length($5) - 1)] = $NF; next }
    /^agreement: / { last = $2 }
    END {
        if (failed)
            exit 1
        for (key in count) {
            split(key, p, " ")
            e = sprintf("%g", p[1])
            for (n = 1; n <= count[key]; ++n) {
                v = said[key, n]; ++rows
                if (layer[key, n] == "unstable") { ++unstable; unstable_agreeing += v == "agree" }
                if (orbit[key, n] == "-") {
                    if (v != "no orbit") fail("no orbit shown, yet " v, row[key, n])
                    ++none; continue
                }
                miss = dist(orbit[key, n], r[key, n])
                away = miss > 0.1 * r[key, n]
                for (m = 1; m <= count[key]; ++m)
                    away = away || dist(orbit[key, n], r[key, m]) < miss
                if (away != (v == "orbit elsewhere")) fail("orbit " (away ? "away" : "near") ", yet " v, row[key, n])
                if (away) { ++elsewhere; continue }
                agreeing = v == "agree" || v == "near a boundary, agree"
                if (same[key, n] != agreeing) fail("classes " (same[key, n] ? "equal" : "differ") ", yet " v, row[key, n])
                if (v ~ /^near a boundary/) { ++near; near_at = key; continue }
                found[e]++; agree[e] += agreeing; all_found++; all_agree += agreeing
            }
        }
        for (e in found)
            if (told[e] != agree[e] "/" found[e]) fail("eps " e " tallied " told[e] ", its rows give", agree[e] "/" found[e])
        if (last != all_agree + 0 "/" all_found + 0) fail("last line " last ", the rows give", all_agree "/" all_found)
        print rows, all_agree + 0, near + 0, elsewhere + 0, none + 0, all_found - all_agree, unstable + 0, unstable_agreeing + 0, near_at
    }'
}

small=$("$validate" --stability | read_rows) || { echo "$small"; exit 1; }
read -r rows agree near elsewhere none differ unstable unstable_agreeing near_at <<<"$small"
(( rows >= 200 && agree == rows - 1 && near == 1 && elsewhere == 0 && none == 0 && differ == 0 )) \
    || { echo "small eps: $small"; exit 1; }
[[ $near_at == "0.10 0.50 1.16" ]] || { echo "near a boundary at '$near_at'"; exit 1; }

large=$("$validate" --stability --eps 5 | read_rows) || { echo "$large"; exit 1; }
read -r rows agree near elsewhere none differ unstable unstable_agreeing near_at <<<"$large"
(( differ == 0 && unstable >= 80 && unstable_agreeing == unstable )) \
    || { echo "eps 5: $large"; exit 1; }

for bad in "--eps 0,x" "--eps 0.1," "--eps 0" "--eps" "--eps 1 2" "--bogus"; do
    # shellcheck disable=SC2086
    if "$validate" --stability $bad >/dev/null 2>&1; then echo "--stability $bad accepted"; exit 1; fi
done
echo "small eps: $small; eps 5: $large"
