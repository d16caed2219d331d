// The exact responses at one ratio against a bracketing scan of the balance relation written
// out here, and the stable band against the classes of the sampled curve's crossings.
#include "response/balance_roots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/state.h"
#include "response/amplitude_curve.h"
#include "response/crossings.h"
#include "response/stability.h"

namespace {

// R^2 [(1 - z^2)^2 + eps^2 z^2 (1 - R^2/4)^2] - F^2, with long doubles.
long double relation(double eps, double force, double z, long double r)
{
    const long double k = 1.0L - (long double)z * z;
    const long double m = (long double)eps * z * (1.0L - r * r / 4.0L);
    return r * r * (k * k + m * m) - (long double)force * force;
}

// Sign changes of the relation on a fine grid of R in (0, top], each bisected; touching
// roots (folds) are not bracketed and are not looked for here.
std::vector<double> scanned_roots(double eps, double force, double z, double top)
{
    constexpr int STEPS = 200000;
    std::vector<double> roots;
    long double prev = relation(eps, force, z, 0.0L);
    for (int i = 1; i <= STEPS; ++i) {
        long double lo = top * (i - 1) / STEPS, hi = top * i / STEPS;
        const long double cur = relation(eps, force, z, hi);
        if ((prev < 0) != (cur < 0)) {
            for (int it = 0; it < 80; ++it) {
                const long double mid = (lo + hi) / 2;
                if ((relation(eps, force, z, mid) < 0) == (prev < 0))
                    lo = mid;
                else
                    hi = mid;
            }
            roots.push_back(static_cast<double>((lo + hi) / 2));
        }
        prev = cur;
    }
    return roots;
}

TEST(BalanceRoots, EveryRootOfTheRelationAscendingAndNoOther)
{
    const struct {
        double eps, force, z;
        int count;
    } cases[] = {
        {0.1, 5.0, 1.0, 1},   {0.1, 5.0, 1.4, 1},   // locked far above the curve's R = 4
        {1.0, 0.5, 0.973, 3}, {1.0, 0.5, 0.977, 3}, {1.0, 0.5, 0.981, 3},   // a closed loop
        {0.5, 0.2, 1.0, 3},   {0.2, 0.1, 1.05, 1},  {0.1, 0.5, 0.1, 1},     // guide, low z
        {0.1, 0.5, 0.13, 1},  {3.0, 0.01, 0.999, 3}, {-0.1, -5.0, 1.2, 1},  // signs squared
        {0.0, 0.3, 0.5, 1},   {0.7, 0.4, 0.0, 1},   {2.0, 50.0, 3.0, 1},
    };
    for (const auto& c : cases) {
        double r[RESPONSE_ROOT_CAPACITY];
        const int n = response_amplitudes(c.eps, c.force, c.z, r);
        const std::vector<double> ref = scanned_roots(c.eps, c.force, c.z, 12.0);
        ASSERT_EQ(n, c.count) << c.eps << " " << c.force << " " << c.z;
        ASSERT_EQ(ref.size(), static_cast<size_t>(n)) << c.eps << " " << c.force << " " << c.z;
        for (int i = 0; i < n; ++i)
            EXPECT_NEAR(r[i], ref[i], 1e-12 * ref[i] + 1e-15) << c.eps << " " << c.force << " " << c.z;
    }
}

TEST(BalanceRoots, ExactCasesAndExtremes)
{
    double r[RESPONSE_ROOT_CAPACITY];
    // F = 0: the rest, and at z = 1 the free cycle R = 2 (a double root, once).
    ASSERT_EQ(response_amplitudes(0.3, 0.0, 0.8, r), 1);
    EXPECT_EQ(r[0], 0.0);
    ASSERT_EQ(response_amplitudes(0.3, 0.0, 1.0, r), 2);
    EXPECT_EQ(r[0], 0.0);
    EXPECT_EQ(r[1], 2.0);
    // eps = 0: R = |F| / |1 - z^2|; nothing at resonance, every amplitude without a force.
    ASSERT_EQ(response_amplitudes(0.0, 0.3, 2.0, r), 1);
    EXPECT_NEAR(r[0], 0.1, 1e-15);
    EXPECT_EQ(response_amplitudes(0.0, 0.3, 1.0, r), 0);
    EXPECT_EQ(response_amplitudes(0.0, 0.0, -1.0, r), 0);
    EXPECT_EQ(response_amplitudes(NAN, 0.3, 1.0, r), 0);
    EXPECT_EQ(response_amplitudes(0.1, INFINITY, 1.0, r), 0);
    // F^2 would overflow: R^3 eps z / 4 ~ F for large R.
    ASSERT_EQ(response_amplitudes(0.1, 1e200, 1.0, r), 1);
    EXPECT_NEAR(r[0], std::cbrt(4e201), 1e-12 * r[0]);
}

bool any_stable(double eps, double z, const double r[], int n)
{
    for (int j = 0; j < n; ++j)
        if (classify_response(eps, z, r[j]) == ResponseClass::stable)
            return true;
    return false;
}

// The sampled curve's crossings, classed, on a fine grid of z, against the band.
// The equation's residual along y = R cos(z t - phi) has no first harmonic left where phi
// balances it: its projections on cos(z t) and sin(z t) over a period, by the trapezoid rule,
// are zero (the third harmonic, which the balance leaves, projects to nothing).
TEST(ResponsePhase, LeavesNoFirstHarmonicInTheResidual)
{
    const struct {
        double eps, force, z;
    } cases[] = {{0.1, 0.5, 1.0}, {0.5, 0.2, 1.0}, {0.2, -0.3, 1.3}, {1.0, 0.5, 0.7}, {-0.4, 0.6, 0.9}};
    constexpr int N = 512;
    for (const auto& c : cases) {
        double r[RESPONSE_ROOT_CAPACITY];
        const int count = response_amplitudes(c.eps, c.force, c.z, r);
        ASSERT_GT(count, 0);
        for (int i = 0; i < count; ++i) {
            const double phi = response_phase(c.eps, c.force, c.z, r[i]);
            double a = 0.0, b = 0.0;
            for (int k = 0; k < N; ++k) {
                const double w = 2.0 * M_PI * k / N, theta = w - phi;   // w = z t
                const double y = r[i] * std::cos(theta), v = -c.z * r[i] * std::sin(theta);
                const double residual = -c.z * c.z * y - c.eps * (1.0 - y * y) * v + y -
                                        c.force * std::sin(w);
                a += 2.0 / N * residual * std::cos(w);
                b += 2.0 / N * residual * std::sin(w);
            }
            EXPECT_NEAR(a, 0.0, 1e-12) << c.eps << " " << c.force << " " << c.z << " R " << r[i];
            EXPECT_NEAR(b, 0.0, 1e-12) << c.eps << " " << c.force << " " << c.z << " R " << r[i];
        }
    }
    EXPECT_TRUE(std::isnan(response_phase(0.1, 0.0, 1.0, 2.0)));   // the free cycle
    EXPECT_TRUE(std::isnan(response_phase(0.1, 0.5, 1.0, 0.0)));
}

TEST(StableBand, AgreesWithTheCrossingsClassesAndEndsOnItsEdges)
{
    const struct {
        double eps, force;
        int skips = 490;   // the sampled curve's small responses (R < 0.005) lost far out
    } cases[] = {{0.1, 0.2}, {0.2, 0.1}, {1.0, 0.5}, {0.5, 0.2}, {-0.3, 0.2}, {2.0, 1.0},
                 // A weak force (F << eps): the two folds lie within one step of a scan in R^2.
                 {0.3, 0.025, 800}, {1.0, 0.01, 600}};
    for (const auto& c : cases) {
        epsilon = c.eps;
        force_amp = c.force;
        amp_step = CURVE_AMP_STEP;
        amp_steps = CURVE_AMP_STEPS;
        compute_amplitude_curve(amp_step, amp_steps, main_curve, &main_fold_count, main_folds);
        double band[4][2];
        const int n = stable_band(c.eps, c.force, 0.05, 2.5, band, 4);
        ASSERT_GE(n, 1) << c.eps;
        for (int i = 0; i < n; ++i) {
            EXPECT_LT(band[i][0], band[i][1]);
            if (i > 0) {
                EXPECT_LT(band[i - 1][1], band[i][0]);
            }
        }
        int disagree = 0, skipped = 0;
        for (double z = 0.05; z <= 2.5; z += 0.0005) {
            double found[CROSSING_CAPACITY];
            const int k = find_crossings(z, found);
            bool stable = false;
            for (int j = 0; j < k; ++j)
                stable = stable || classify_response(c.eps, z, found[j]) == ResponseClass::stable;
            bool inside = false, near_edge = false;
            for (int i = 0; i < n; ++i) {
                inside = inside || (z > band[i][0] && z < band[i][1]);
                near_edge = near_edge || std::fabs(z - band[i][0]) < 2e-3 ||
                            std::fabs(z - band[i][1]) < 2e-3;
            }
            // Where the sampled curve loses a response (above R = 4, between two samples
            // at a loop's foot, at the lowest z) the crossings cannot be the reference.
            double r[RESPONSE_ROOT_CAPACITY];
            if (response_amplitudes(c.eps, c.force, z, r) != k) {
                ++skipped;
                continue;
            }
            if (stable != inside && !near_edge)
                ++disagree;
        }
        EXPECT_EQ(disagree, 0) << "eps " << c.eps << " F " << c.force;
        EXPECT_LT(skipped, c.skips) << "eps " << c.eps << " F " << c.force;
        // Each inner edge is sharp: stability differs a hair either side, where a root
        // crosses R^2 = 2 or two roots merge (the count changes).
        for (int i = 0; i < n; ++i) {
            for (const double z : band[i]) {
                if (z == 0.05 || z == 2.5)
                    continue;
                double below[RESPONSE_ROOT_CAPACITY], above[RESPONSE_ROOT_CAPACITY];
                const double h = 1e-9 * z;
                const int m_below = response_amplitudes(c.eps, c.force, z - h, below);
                const int m_above = response_amplitudes(c.eps, c.force, z + h, above);
                EXPECT_NE(any_stable(c.eps, z - h, below, m_below),
                          any_stable(c.eps, z + h, above, m_above)) << "edge " << z;
                bool on_level = false;
                for (int j = 0; j < m_below; ++j)
                    on_level = on_level || std::fabs(below[j] * below[j] - 2.0) < 1e-6;
                EXPECT_TRUE(on_level || m_below != m_above) << "eps " << c.eps << " edge " << z;
            }
        }
    }
}

}  // namespace
