// Stability of the harmonic-balance responses. Averaging y'' + y = eps (1 - y^2) y' + F sin(z t)
// with y = a cos(z t) + b sin(z t), y' = z (b cos(z t) - a sin(z t)) gives
//   2 z a' = (1 - z^2) b + eps z (1 - R^2/4) a - F
//   2 z b' = -(1 - z^2) a + eps z (1 - R^2/4) b
// whose rest points satisfy the balance relation of amplitude_curve.h. See docs/guide.md.
#include "response/stability.h"

#include <algorithm>
#include <cmath>

#include "response/balance_roots.h"

double response_trace(double eps, double r)
{
    return eps * (1.0 - r * r / 2.0);
}

double response_delta(double eps, double z, double r)
{
    const double q = r * r;
    const double k = 1.0 - z * z;
    const double e = eps * z;
    return k * k + e * e * (1.0 - q / 4.0) * (1.0 - 3.0 * q / 4.0);
}

ResponseClass classify_response(double eps, double z, double r)
{
    if (!(response_delta(eps, z, r) > 0.0))
        return ResponseClass::saddle;
    const double t = response_trace(eps, r);
    if (t == 0.0)
        return ResponseClass::neutral;
    return t < 0.0 ? ResponseClass::stable : ResponseClass::unstable;
}

const char* response_class_name(ResponseClass c)
{
    switch (c) {
    case ResponseClass::stable: return "stable";
    case ResponseClass::saddle: return "saddle";
    case ResponseClass::unstable: return "unstable";
    case ResponseClass::neutral: return "neutral";
    }
    return "";
}

namespace {

constexpr int FOLD_SCAN_STEPS = 4000;    // samples of (4/3, 4) searched for fold ratios
constexpr double FOLD_TAIL_RATIO = 0.5;  // the samples' step towards q = 4 past the last
constexpr double FOLD_MOST_RATIO = 1e6;  // z beyond which no fold is looked for
constexpr int GOLDEN_STEPS = 80;         // shrinks a bracket to 1e-17 of itself
constexpr int EDGE_CAPACITY = 16;        // level and fold ratios; the two ends come on top

void append_edge(double edges[], int* count, double z)
{
    if (std::isfinite(z) && *count < EDGE_CAPACITY)
        edges[(*count)++] = z;
}

// Ratios where a root lies on R^2 = 2: 2 (1 - w)^2 + eps^2 w / 2 = F^2 with w = z^2, i.e.
// 2 w^2 - (4 - eps^2/2) w + 2 - F^2 = 0; the smaller root from the product, without cancelling.
void add_level_ratios(double eps, double force, double edges[], int* count)
{
    const double b = 4.0 - eps * eps / 2.0;
    const double d = b * b - 8.0 * (2.0 - force * force);
    if (!(d >= 0.0))
        return;
    const double w1 = (b + std::copysign(std::sqrt(d), b)) / 4.0;
    const double w2 = w1 != 0.0 ? (2.0 - force * force) / (2.0 * w1) : 0.0;
    for (const double w : {w1, w2})
        if (w > 0.0)
            append_edge(edges, count, std::sqrt(w));
}

// A fold (H = F^2 and H' = Delta = 0) at q = R^2 needs eps^2 z^2 = 8 F^2 / (q^2 (4 - q)), from
// H - q H' = eps^2 z^2 q^2 (4 - q) / 8; there Delta is a function of q alone, whose zeros in
// (4/3, 4), where 1 - q + 3 q^2/16 < 0, are the fold ratios. It is taken in s = 4 - q, where
// the factor 4 - q cancels: Delta = (1 - w)^2 + F^2 (3 s - 8) / (2 q^2), w = z^2; so it keeps
// its digits near q = 4, where a weak force (F << eps) puts its two folds close together, at
// s near F^2 / (2 eps^2) (a scan in q alone passed between them and lost the band's edges).
double fold_delta(double eps, double force, double s, double* w)
{
    const double q = 4.0 - s;
    *w = 8.0 * force * force / (q * q * s) / (eps * eps);
    const double k = 1.0 - *w;
    return k * k + force * force * (3.0 * s - 8.0) / (2.0 * q * q);
}

// The fold between s_a and s_b, where fold_delta changes sign.
void add_fold_between(double eps, double force, double s_a, double s_b, double edges[], int* count)
{
    double w = 0.0;
    const bool negative_at_a = fold_delta(eps, force, s_a, &w) < 0.0;
    double lo = s_a, hi = s_b;
    for (double mid = lo + (hi - lo) / 2.0; mid != lo && mid != hi; mid = lo + (hi - lo) / 2.0) {
        if ((fold_delta(eps, force, mid, &w) < 0.0) == negative_at_a)
            lo = mid;
        else
            hi = mid;
    }
    fold_delta(eps, force, lo, &w);
    append_edge(edges, count, std::sqrt(w));
}

// The lowest fold_delta between s_a and s_b by golden section: two folds closer together than
// the scan's samples show as a dip below zero between them.
double deepest(double eps, double force, double s_a, double s_b)
{
    constexpr double GOLDEN = 0.6180339887498949;
    double w = 0.0;
    double a = s_a, b = s_b;
    for (int i = 0; i < GOLDEN_STEPS; ++i) {
        const double c = b - GOLDEN * (b - a), d = a + GOLDEN * (b - a);
        if (fold_delta(eps, force, c, &w) < fold_delta(eps, force, d, &w))
            b = d;
        else
            a = c;
    }
    return a + (b - a) / 2.0;
}

void add_fold_ratios(double eps, double force, double edges[], int* count)
{
    if (eps == 0.0 || force == 0.0)
        return;
    // Samples of s from 8/3 towards 0: evenly over (4/3, 4) in q, then geometrically into the
    // last step, until z passes FOLD_MOST_RATIO.
    double w = 0.0;
    const double width = 4.0 - 4.0 / 3.0;
    double s[3] = {}, d[3] = {};
    for (int i = 1, n = 0;; ++i, ++n) {
        const double last_step = width / FOLD_SCAN_STEPS;
        const double next = i < FOLD_SCAN_STEPS
                                ? width * (FOLD_SCAN_STEPS - i) / FOLD_SCAN_STEPS
                                : last_step * std::pow(FOLD_TAIL_RATIO, i - FOLD_SCAN_STEPS + 1);
        const double delta = fold_delta(eps, force, next, &w);
        if (!std::isfinite(delta) || !(w < FOLD_MOST_RATIO * FOLD_MOST_RATIO) || !(next > 0.0))
            break;
        s[0] = s[1], d[0] = d[1], s[1] = s[2], d[1] = d[2], s[2] = next, d[2] = delta;
        if (n >= 1 && (d[1] < 0.0) != (d[2] < 0.0))
            add_fold_between(eps, force, s[1], s[2], edges, count);
        if (n >= 2 && d[1] > 0.0 && d[1] < d[0] && d[1] < d[2]) {
            const double low = deepest(eps, force, s[0], s[2]);
            if (fold_delta(eps, force, low, &w) < 0.0) {
                add_fold_between(eps, force, s[0], low, edges, count);
                add_fold_between(eps, force, low, s[2], edges, count);
            }
        }
    }
}

}  // namespace

bool has_stable_response(double eps, double force, double z)
{
    double r[RESPONSE_ROOT_CAPACITY];
    const int n = response_amplitudes(eps, force, z, r);
    for (int i = 0; i < n; ++i)
        if (classify_response(eps, z, r[i]) == ResponseClass::stable)
            return true;
    return false;
}

int stable_band(double eps, double force, double z_lo, double z_hi, double intervals[][2],
                int capacity)
{
    double edges[EDGE_CAPACITY + 2];
    int n = 0;
    add_level_ratios(eps, force, edges, &n);
    add_fold_ratios(eps, force, edges, &n);
    // Stability can change only at these ratios: between two of them it is tried once.
    n = static_cast<int>(
        std::remove_if(edges, edges + n, [&](double z) { return !(z > z_lo && z < z_hi); }) -
        edges);
    edges[n++] = z_lo;
    edges[n++] = z_hi;
    std::sort(edges, edges + n);
    int count = 0;
    bool open = false;   // the last interval written ends at the current edge
    for (int i = 0; i + 1 < n; ++i) {
        const double a = edges[i], b = edges[i + 1];
        if (!(b > a))
            continue;
        if (!has_stable_response(eps, force, a + (b - a) / 2.0)) {
            open = false;
            continue;
        }
        if (open) {
            intervals[count - 1][1] = b;
            continue;
        }
        if (count == capacity)
            break;
        intervals[count][0] = a;
        intervals[count][1] = b;
        ++count;
        open = true;
    }
    return count;
}
