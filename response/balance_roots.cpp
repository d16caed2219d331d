// Roots of the balance relation at one ratio. With q = R^2 the relation reads
//   H(q) = q [(1 - z^2)^2 + eps^2 z^2 (1 - q/4)^2] = F^2,
// and H'(q) is the Delta of response/stability.h: H rises from 0 except between the two
// folds, where it falls. So the roots are found one per monotone piece, by bisection of
// G(R) = sqrt(H(R^2)) against |F|, which stays finite where F^2 would overflow.
#include "response/balance_roots.h"

#include <cmath>

namespace {

// |1 - z^2| and |eps z|: the relation's two coefficients, as square roots.
struct Balance {
    double a;
    double b;
    double force;   // |F|
};

double balance_g(const Balance& w, double r)
{
    if (r == 0.0)
        return 0.0;
    // R (R/4) rather than R^2/4: no overflow before the product itself is past any F.
    const double m = w.b == 0.0 ? 0.0 : w.b * (1.0 - r * (r / 4.0));
    return r * std::hypot(w.a, m);
}

// The root of G = |F| in [lo, hi], where G runs from below |F| to at least |F| (rising) or
// from above it to at most it (falling), to the last bit that bisection of doubles reaches.
double bisect(const Balance& w, double lo, double hi, bool rising)
{
    for (;;) {
        const double mid = lo + (hi - lo) / 2.0;
        if (!(mid > lo && mid < hi))
            break;
        const bool below = balance_g(w, mid) < w.force;
        if (below == rising)
            lo = mid;
        else
            hi = mid;
    }
    return std::fabs(balance_g(w, lo) - w.force) < std::fabs(balance_g(w, hi) - w.force) ? lo : hi;
}

void append_root(double amplitudes[], int* count, double r)
{
    if (*count < RESPONSE_ROOT_CAPACITY)
        amplitudes[(*count)++] = r;
}

// The rising piece from lo up: G(lo) <= |F| is known (< when lo itself is excluded).
void rising_root(const Balance& w, double lo, double amplitudes[], int* count)
{
    if (balance_g(w, lo) == w.force) {
        append_root(amplitudes, count, lo);
        return;
    }
    double hi = lo > 1.0 ? 2.0 * lo : 2.0;
    while (!(balance_g(w, hi) >= w.force)) {
        if (std::isinf(hi))
            return;   // G never reaches |F| within the doubles
        hi = 2.0 * hi;
    }
    append_root(amplitudes, count, bisect(w, lo, hi, true));
}

}  // namespace

int response_amplitudes(double eps, double force, double z,
                        double amplitudes[RESPONSE_ROOT_CAPACITY])
{
    if (!std::isfinite(eps) || !std::isfinite(force) || !std::isfinite(z))
        return 0;
    const Balance w = {std::fabs(1.0 - z * z), std::fabs(eps * z), std::fabs(force)};
    if (w.a == 0.0 && w.b == 0.0 && w.force == 0.0)
        return 0;
    int count = 0;
    // Without a force: the rest, and at resonance the free cycle R = 2 (a double root, which
    // the folds' rounding would miss).
    if (w.force == 0.0) {
        append_root(amplitudes, &count, 0.0);
        if (w.a == 0.0)
            append_root(amplitudes, &count, 2.0);
        return count;
    }
    // Folds where 3 a^2 < b^2: Delta = 0 at q = (8/3) (1 -+ sqrt(1 - 3 (a/b)^2) / 2).
    const double c = w.b > 0.0 ? w.a / w.b : INFINITY;
    if (!(3.0 * c * c < 1.0)) {
        rising_root(w, 0.0, amplitudes, &count);
        return count;
    }
    const double s = std::sqrt(1.0 - 3.0 * c * c);
    const double r1 = std::sqrt(8.0 / 3.0 * (1.0 - s / 2.0));
    const double r2 = std::sqrt(8.0 / 3.0 * (1.0 + s / 2.0));
    const double g1 = balance_g(w, r1);
    const double g2 = balance_g(w, r2);
    // Pieces [0, r1], (r1, r2], (r2, inf): a root at a fold itself is counted once.
    if (w.force <= g1)
        append_root(amplitudes, &count, w.force == g1 ? r1 : bisect(w, 0.0, r1, true));
    if (g2 <= w.force && w.force < g1)
        append_root(amplitudes, &count, w.force == g2 ? r2 : bisect(w, r1, r2, false));
    if (g2 < w.force)
        rising_root(w, r2, amplitudes, &count);
    return count;
}

double response_phase(double eps, double force, double z, double r)
{
    if (force == 0.0 || !(r > 0.0))
        return NAN;
    // Both sides over F: its sign turns phi by half a turn.
    return std::atan2((1.0 - z * z) * r / force, eps * z * r * (1.0 - r * r / 4.0) / force);
}
