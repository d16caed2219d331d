// Amplitude curves: the worked curves at the indices that matter, closed forms, the
// refinements' corner cases, capacities, inputs that once could hang the stepping, and a
// bit-exact regression of whole curves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/state.h"
#include "response/amplitude_curve.h"
#include "tests/support/fnv1a.h"

namespace {

constexpr double STEP = 0.005;
constexpr int STEPS = 800;
constexpr int GUARDS = 16;
const ResponsePoint SENTINEL = {-7.0, -7.0, -7.0};

// A curve and its fold records with guard records behind each, to catch writes past the end.
struct GuardedCurve {
    ResponsePoint curve[CURVE_CAPACITY];
    ResponsePoint curve_guard[GUARDS];
    ResponsePoint folds[FOLD_CAPACITY];
    ResponsePoint fold_guard[GUARDS];
    int fold_count;
    int returned;
};

bool same(const ResponsePoint& a, const ResponsePoint& b)
{
    return a.z_high == b.z_high && a.z_low == b.z_low && a.amplitude == b.amplitude;
}

GuardedCurve compute(double eps, double force)
{
    GuardedCurve g;
    for (auto& p : g.curve) p = {std::nan(""), std::nan(""), std::nan("")};
    for (auto& p : g.curve_guard) p = SENTINEL;
    for (auto& p : g.folds) p = SENTINEL;
    for (auto& p : g.fold_guard) p = SENTINEL;
    g.fold_count = -1;
    epsilon = eps;
    force_amp = force;
    g.returned = compute_amplitude_curve(STEP, STEPS, g.curve, &g.fold_count, g.folds);
    return g;
}

// What every curve must satisfy, whatever epsilon and F: every index written, amplitudes
// increasing, only NO_ROOT non-positive, z_high >= z_low, nothing past the capacities.
void expect_well_formed(const GuardedCurve& g, const char* what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(g.fold_count, g.returned);
    EXPECT_GE(g.fold_count, 0);
    EXPECT_LE(g.fold_count, FOLD_CAPACITY);
    for (const auto& p : g.curve_guard) EXPECT_TRUE(same(p, SENTINEL));
    for (const auto& p : g.fold_guard) EXPECT_TRUE(same(p, SENTINEL));
    for (int i = 0; i <= STEPS; ++i) {
        const ResponsePoint& p = g.curve[i];
        ASSERT_FALSE(std::isnan(p.amplitude)) << "index " << i << " never written";
        if (i > 0) {
            EXPECT_GT(p.amplitude, g.curve[i - 1].amplitude) << "index " << i;
        }
        EXPECT_TRUE(p.z_high > 0.0 || p.z_high == NO_ROOT) << "index " << i;
        EXPECT_TRUE(p.z_low > 0.0 || p.z_low == NO_ROOT) << "index " << i;
        if (p.z_high > 0.0 && p.z_low > 0.0) {
            EXPECT_GE(p.z_high, p.z_low) << "index " << i;
        }
    }
    for (int k = 0; k < g.fold_count; ++k) {
        EXPECT_GT(g.folds[k].z_high, 0.0);
        EXPECT_GT(g.folds[k].z_low, 0.0);
    }
}

TEST(AmplitudeCurve, SmallDampingHasOneFoldNearResonanceTop)
{
    const GuardedCurve g = compute(0.1, 0.5);
    expect_well_formed(g, "eps 0.1, F 0.5");
    EXPECT_EQ(g.returned, 1);
    EXPECT_EQ(g.curve[0].z_high, 100.0);
    EXPECT_EQ(g.curve[0].z_low, NO_ROOT);
    EXPECT_EQ(g.curve[0].amplitude, 0.0);
    EXPECT_NEAR(g.curve[1].z_high, 10.0496, 1e-4);
    EXPECT_EQ(g.curve[1].z_low, NO_ROOT);
    EXPECT_EQ(g.curve[100].z_low, NO_ROOT);  // the lower root needs R > F
    EXPECT_NEAR(g.curve[101].z_low, 0.09972, 1e-5);
    EXPECT_EQ(g.curve[101].amplitude, 0.505);
    // Forward refinement from 3.2: root samples 641 ... 646, the gap edge at 3.2035.
    for (int i = 641; i <= 646; ++i) {
        EXPECT_GT(g.curve[i].z_low, 0.0) << i;
        EXPECT_NEAR(g.curve[i].amplitude, 3.2 + (i - 640) * 0.0005, 1e-12) << i;
    }
    EXPECT_NEAR(g.folds[0].z_high, 0.99671, 1e-5);
    EXPECT_NEAR(g.folds[0].z_low, 0.99100, 1e-5);
    EXPECT_NEAR(g.folds[0].amplitude, 3.2035, 1e-12);
    EXPECT_EQ(g.folds[0].z_high, g.curve[646].z_high);  // ratios of the last sample before the gap
    EXPECT_EQ(g.curve[647].z_high, NO_ROOT);
    EXPECT_EQ(g.curve[647].z_low, NO_ROOT);
    EXPECT_EQ(g.curve[647].amplitude, g.folds[0].amplitude);
    EXPECT_EQ(g.curve[648].amplitude, 648 * STEP);  // main stepping resumes at R = 3.24
    for (int i = 648; i <= STEPS; ++i) EXPECT_EQ(g.curve[i].z_high, NO_ROOT) << i;
    EXPECT_EQ(g.curve[STEPS].amplitude, 4.0);
}

TEST(AmplitudeCurve, ModerateDampingHasThreeFoldsAndABackwardRefinement)
{
    const GuardedCurve g = compute(0.5, 0.2);
    expect_well_formed(g, "eps 0.5, F 0.2");
    ASSERT_EQ(g.returned, 3);
    EXPECT_NEAR(g.folds[0].amplitude, 0.4325, 1e-12);
    EXPECT_NEAR(g.folds[1].amplitude, 1.757, 1e-12);
    EXPECT_NEAR(g.folds[2].amplitude, 2.1765, 1e-12);
    // Main step 352 (R = 1.76) leaves the gap; five sub-steps down have roots.
    for (int j = 0; j < 5; ++j) {
        EXPECT_NEAR(g.curve[352 + j].amplitude, 1.7575 + j * 0.0005, 1e-12) << j;
        EXPECT_GT(g.curve[352 + j].z_low, 0.0) << j;
    }
    EXPECT_NEAR(g.folds[1].z_high, 0.998937, 1e-6);
    EXPECT_NEAR(g.folds[1].z_low, 0.994561, 1e-6);
    EXPECT_EQ(g.folds[1].z_low, g.curve[352].z_low);  // the lowest refined sample's ratios
    EXPECT_EQ(g.curve[357].amplitude, 357 * STEP);     // the jump to main step R = 1.785
    EXPECT_EQ(g.curve[351].z_high, NO_ROOT);
}

TEST(AmplitudeCurve, WithoutDampingTermTheRootsHaveClosedForms)
{
    for (double force : {0.3, -0.3}) {
        const GuardedCurve g = compute(0.0, force);
        expect_well_formed(g, "eps 0");
        EXPECT_EQ(g.returned, 0);
        for (int i = 1; i <= STEPS; ++i) {
            const double r = i * STEP;
            EXPECT_NEAR(g.curve[i].z_high, std::sqrt(1.0 + 0.3 / r), 1e-12) << i;
            if (r > 0.3 + 1e-9) {
                EXPECT_NEAR(g.curve[i].z_low, std::sqrt(1.0 - 0.3 / r), 1e-12) << i;
            } else if (r < 0.3 - 1e-9) {
                EXPECT_EQ(g.curve[i].z_low, NO_ROOT) << i;
            }
        }
    }
    const GuardedCurve flat = compute(0.0, 0.0);
    for (int i = 1; i <= STEPS; ++i) {
        EXPECT_EQ(flat.curve[i].z_high, 1.0) << i;  // D = 0 counts as a (double) root
        EXPECT_EQ(flat.curve[i].z_low, 1.0) << i;
        EXPECT_EQ(flat.curve[i].amplitude, i * STEP) << i;
    }
}

TEST(AmplitudeCurve, SignsOfEpsilonAndForceDoNotMatter)
{
    const GuardedCurve a = compute(0.5, 0.2);
    const GuardedCurve b = compute(-0.5, -0.2);
    ASSERT_EQ(a.returned, b.returned);
    for (int i = 0; i <= STEPS; ++i) EXPECT_TRUE(same(a.curve[i], b.curve[i])) << i;
    for (int k = 0; k < a.returned; ++k) EXPECT_TRUE(same(a.folds[k], b.folds[k])) << k;
}

TEST(AmplitudeCurve, GapAtTheFirstStepRefinesFromZeroWithoutFold)
{
    const GuardedCurve g = compute(1.0, 0.0001);
    expect_well_formed(g, "eps 1, F 1e-4");
    EXPECT_NEAR(g.curve[1].amplitude, 0.1 * STEP, 1e-15);  // first sub-step from amplitude 0
    EXPECT_EQ(g.curve[1].z_high, NO_ROOT);
    EXPECT_EQ(g.curve[2].amplitude, 2 * STEP);
    for (int k = 0; k < g.returned; ++k) EXPECT_GT(g.folds[k].amplitude, 0.01) << k;
}

TEST(AmplitudeCurve, BackwardRefinementStartingInTheGapStoresTheMainStep)
{
    const GuardedCurve g = compute(0.2, 0.1);
    expect_well_formed(g, "eps 0.2, F 0.1");
    EXPECT_EQ(g.curve[334].z_high, NO_ROOT);
    EXPECT_NEAR(g.curve[335].z_high, 0.999637, 1e-6);
    EXPECT_NEAR(g.curve[335].z_low, 0.998579, 1e-6);
    EXPECT_EQ(g.curve[335].amplitude, 335 * STEP);
    for (int k = 0; k < g.returned; ++k)
        EXPECT_GT(std::fabs(g.folds[k].amplitude - 1.675), 0.001) << "no fold at 1.675";
}

TEST(AmplitudeCurve, NegativeDiscriminantFreeStretchWithoutRoots)
{
    // For eps 2, F 0.5 past amplitude 2.826: D >= 0 but A < 0 and R > F, so neither ratio
    // exists although the amplitude is not in a gap.
    const GuardedCurve g = compute(2.0, 0.5);
    expect_well_formed(g, "eps 2, F 0.5");
    for (int i = 0; i <= STEPS; ++i) {
        if (g.curve[i].amplitude < 2.83) continue;
        EXPECT_EQ(g.curve[i].z_high, NO_ROOT) << i;
        EXPECT_EQ(g.curve[i].z_low, NO_ROOT) << i;
    }
}

TEST(AmplitudeCurve, RefinementNearTheLastStepStaysWithinTheCurve)
{
    // A gap ends just below amplitude 4: the backward refinement from main step 800 would
    // place its samples up to index 809.
    const GuardedCurve g = compute(0.67, 0.01);
    expect_well_formed(g, "eps 0.67, F 0.01");
    EXPECT_EQ(g.returned, 3);
    EXPECT_LT(g.curve[STEPS].amplitude, 4.0);  // a refined sample, not the main step 4.0
    EXPECT_GT(g.curve[STEPS].amplitude, 3.99);
}

TEST(AmplitudeCurve, FreeOscillatorCurveTouchesItsGapAtTheLimitCycle)
{
    // F = 0: the discriminant is negative everywhere for 0 < eps < 2 except exactly 0 at
    // R = 2, reached while in the gap. It counts as a double root at z = 1, the free limit
    // cycle, and the stepping goes on past it.
    for (double eps : {0.01, 0.1, 0.5, 1.0, 1.9, 2.0, 5.0, 20.0}) {
        const GuardedCurve g = compute(eps, 0.0);
        expect_well_formed(g, "F 0");
        EXPECT_EQ(g.curve[400].amplitude, 2.0) << eps;
        EXPECT_EQ(g.curve[400].z_high, 1.0) << eps;
        EXPECT_EQ(g.curve[400].z_low, 1.0) << eps;
        EXPECT_EQ(g.curve[401].z_high, NO_ROOT) << eps;
    }
}

TEST(AmplitudeCurve, NonFiniteAndExtremeParametersTerminateWithEveryIndexFilled)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // 1.3e154: eps^2 / 2 (1 - q)^2 passes half the largest double within the grid; with F near
    // the largest double, hypot(A, F / R) overflows there too.
    const double odd[] = {nan,    inf,    -inf, 1e200, -1e200,  1e300,  1e-300,
                          5e-324, 0.0,    -0.0, 1e9,   1.3e154, 1.7e308};
    for (double eps : odd) {
        for (double force : odd) {
            const GuardedCurve g = compute(eps, force);
            char what[80];
            std::snprintf(what, sizeof what, "eps %g, F %g", eps, force);
            expect_well_formed(g, what);
        }
    }
}

// Once F^2 overflows the higher root is still finite: z_high^2 = A + sqrt(A^2 - 1 + (F/R)^2),
// about F/R, written here with long doubles, whose range holds F^2 and A^2 (as f^2 / (s - A)
// where A < 0, which does not cancel). eps = 1.3e154 takes A past half the largest double.
TEST(AmplitudeCurve, HigherRootStaysFiniteWhereTheSquareOfFOverflows)
{
    const struct {
        double eps, force;
    } cases[] = {{0.1, 1.5e154}, {0.1, 1e200},      {0.1, -1e300},      {0.1, 1.7e308},
                 {-1.3e154, 1e200}, {1.3e154, 1.7e308}, {1.3e154, -1e300}};
    for (const auto& c : cases) {
        const GuardedCurve g = compute(c.eps, c.force);
        const long double eps = c.eps;
        for (int i = 1; i <= STEPS; i += 7) {
            const long double r = g.curve[i].amplitude, f = std::fabs(c.force) / r;
            const long double q = r * r / 4.0L;
            const long double A = 1.0L - eps * eps / 2.0L * (1.0L - q) * (1.0L - q);
            const long double s = std::sqrt(A * A - 1.0L + f * f);
            const long double z = std::sqrt(A >= 0.0L ? A + s : f * f / (s - A));
            SCOPED_TRACE(testing::Message() << "eps " << c.eps << ", F " << c.force << ", sample " << i);
            if (std::isinf(static_cast<double>(A))) {
                EXPECT_EQ(g.curve[i].z_high, NO_ROOT);   // the balance itself is past the doubles
                continue;
            }
            ASSERT_TRUE(std::isfinite(g.curve[i].z_high));
            EXPECT_NEAR(g.curve[i].z_high / z, 1.0L, 1e-14);
            EXPECT_EQ(g.curve[i].z_low, NO_ROOT);
        }
    }
}

// Over the bytes of every sample, so that any changed bit anywhere shows.
std::uint64_t curve_hash(const ResponsePoint* curve, int count)
{
    return fnv1a(curve, sizeof(ResponsePoint) * static_cast<std::size_t>(count));
}

struct CurveCase {
    double eps, force;
    std::uint64_t hash;
    int folds;
    double fold_last_z_low;  // z_low of the last fold record, exact
};

TEST(Regression, WholeCurvesAreBitExact)
{
    const CurveCase cases[] = {
        {0.1, 0.5, 0xe8d4709722d714a8ull, 1, 0x1.fb648ea9b6ac3p-1},
        {0.5, 0.2, 0x5051df2b1ae4e56aull, 3, 0x1.fda190822ad36p-1},
        {2.0, 0.01, 0xda84d0adc9ab3e88ull, 2, 0x1.febe6d8dd00afp-1},
        {0.67, 0.01, 0x3747ea1587ee6c18ull, 3, 0x1.ff2031b0c59c3p-1},
    };
    static ResponsePoint curve[CURVE_CAPACITY];
    static ResponsePoint folds[FOLD_CAPACITY];
    for (const CurveCase& c : cases) {
        epsilon = c.eps;
        force_amp = c.force;
        int count = 0;
        compute_amplitude_curve(0.005, 800, curve, &count, folds);
        EXPECT_EQ(curve_hash(curve, CURVE_CAPACITY), c.hash)
            << "eps " << c.eps << ", F " << c.force << ": hash 0x" << std::hex
            << curve_hash(curve, CURVE_CAPACITY);
        ASSERT_EQ(count, c.folds) << "eps " << c.eps << ", F " << c.force;
        if (count > 0) {
            EXPECT_EQ(folds[count - 1].z_low, c.fold_last_z_low)
                << "eps " << c.eps << ": " << std::hexfloat << folds[count - 1].z_low;
        }
    }
}

}  // namespace
