// Crossings of the given forcing ratio with the main curve.
#include <gtest/gtest.h>

#include <vector>

#include "core/state.h"
#include "response/amplitude_curve.h"
#include "response/crossings.h"

namespace {

std::vector<double> crossings_of(double eps, double force, double z0)
{
    epsilon = eps;
    force_amp = force;
    amp_steps = 800;
    compute_amplitude_curve(0.005, 800, main_curve, &main_fold_count, main_folds);
    double found[CROSSING_CAPACITY];
    const int n = find_crossings(z0, found);
    return std::vector<double>(found, found + n);
}

TEST(Crossings, WorkedCurvesInUpperLowerFoldOrder)
{
    auto c = crossings_of(0.1, 0.5, 1.0);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_NEAR(c[0], 3.201191, 1e-6);
    EXPECT_GT(c[0], main_curve[642].amplitude);
    EXPECT_LT(c[0], main_curve[643].amplitude);

    c = crossings_of(0.1, 0.5, 0.5);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_NEAR(c[0], 0.665504, 1e-6);

    c = crossings_of(0.5, 0.2, 1.0);
    ASSERT_EQ(c.size(), 3u);
    EXPECT_NEAR(c[0], 0.418208, 1e-6);
    EXPECT_NEAR(c[1], 1.757804, 1e-6);
    EXPECT_EQ(c[2], main_folds[2].amplitude);  // a fold crossing is the record's amplitude
    EXPECT_NEAR(c[2], 2.1765, 1e-12);

    c = crossings_of(0.5, 0.2, 0.97);
    ASSERT_EQ(c.size(), 3u);
    EXPECT_NEAR(c[0], 0.42843, 1e-5);
    EXPECT_NEAR(c[1], 1.794668, 1e-6);
    EXPECT_NEAR(c[2], 2.143636, 1e-6);
}

TEST(Crossings, TheLastSegmentOfTheCurveIsScannedToo)
{
    // Without damping z_high = sqrt(1 + F/R): z0 = 1.03684 meets it at R = F / (z0^2 - 1),
    // between the last two samples (amplitudes 3.995 and 4.0).
    const double z0 = 1.03684;
    const auto c = crossings_of(0.0, 0.3, z0);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_NEAR(c[0], 0.3 / (z0 * z0 - 1.0), 1e-5);
    EXPECT_GT(c[0], main_curve[799].amplitude);
}

TEST(Crossings, NonPositiveRatioMeetsNothing)
{
    EXPECT_TRUE(crossings_of(0.5, 0.2, 0.0).empty());
    EXPECT_TRUE(crossings_of(0.5, 0.2, -1.0).empty());
}

TEST(Crossings, RatioEqualToSamplesIsSkipped)
{
    // Every sample is {1, 1, R}: each product with z0 = 1 is exactly 0.
    EXPECT_TRUE(crossings_of(0.0, 0.0, 1.0).empty());
}

TEST(Crossings, ZeroAmplitudeSampleTakesPartInTheUpperPass)
{
    auto c = crossings_of(0.1, 0.5, 20.0);  // between 100 (index 0) and 10.05 (index 1)
    ASSERT_EQ(c.size(), 1u);
    EXPECT_GT(c[0], 0.0);
    EXPECT_LT(c[0], 0.005);
    EXPECT_TRUE(crossings_of(0.1, 0.5, 100.0).empty());
    EXPECT_TRUE(crossings_of(0.1, 0.5, 150.0).empty());
}

TEST(Crossings, RatioEqualToAFoldRecordGivesNoFoldCrossing)
{
    crossings_of(0.5, 0.2, 1.0);
    const double z_fold = main_folds[2].z_high;
    double found[CROSSING_CAPACITY];
    const int n = find_crossings(z_fold, found);
    for (int i = 0; i < n; ++i) EXPECT_NE(found[i], main_folds[2].amplitude);
}

TEST(Crossings, NeverMoreThanTheListHolds)
{
    // A saw-tooth upper branch crosses z0 = 1 at every pair: far more than five crossings.
    amp_steps = 800;
    main_fold_count = 0;
    for (int i = 0; i <= 800; ++i)
        main_curve[i] = ResponsePoint{i % 2 == 0 ? 0.5 : 1.5, NO_ROOT, i * 0.005};
    struct {
        double found[CROSSING_CAPACITY];
        double guard[4];
    } out{{}, {-7.0, -7.0, -7.0, -7.0}};
    EXPECT_EQ(find_crossings(1.0, out.found), CROSSING_CAPACITY);
    for (double g : out.guard) EXPECT_EQ(g, -7.0);
    EXPECT_DOUBLE_EQ(out.found[0], 0.0025);  // midway between samples 0 and 1
}

}  // namespace
