// The model's right-hand side: closed cases where every operation is exact.
#include <gtest/gtest.h>

#include <cmath>

#include "core/state.h"
#include "dynamics/vdp_model.h"

namespace {

void set_model(double eps, double force, double z)
{
    epsilon = eps;
    force_amp = force;
    freq_ratio = z;
}

TEST(VdpRhs, HarmonicOscillatorWithoutForceOrDamping)
{
    set_model(0.0, 0.0, 1.0);
    const double at_rest_displaced[2] = {1.0, 0.0};
    EXPECT_EQ(vdp_rhs(0, 0.7, at_rest_displaced), 0.0);
    EXPECT_EQ(vdp_rhs(1, 0.7, at_rest_displaced), -1.0);
    const double moving[2] = {0.0, 1.0};
    EXPECT_EQ(vdp_rhs(0, 0.7, moving), 1.0);
    EXPECT_EQ(vdp_rhs(1, 0.7, moving), 0.0);
}

TEST(VdpRhs, NegativeDampingFeedsEnergyInsideUnitDisplacement)
{
    set_model(1.0, 0.0, 0.0);
    const double s[2] = {0.5, 2.0};
    EXPECT_EQ(vdp_rhs(0, 0.0, s), 2.0);
    EXPECT_EQ(vdp_rhs(1, 0.0, s), 1.0);  // (1 - 0.25) * 2 - 0.5
}

TEST(VdpRhs, DampingVanishesAtUnitDisplacementLeavingForceMinusY)
{
    set_model(3.0, 0.8, 1.3);
    const double t = 2.5;
    for (double y : {1.0, -1.0}) {
        const double s[2] = {y, 7.0};
        EXPECT_EQ(vdp_rhs(1, t, s), std::sin(1.3 * t) * 0.8 - y) << "y = " << y;
    }
}

TEST(VdpRhs, ForcingUsesAbsoluteTimeAndReadsParametersAtEveryCall)
{
    set_model(0.0, 2.0, 0.5);
    const double s[2] = {0.0, 0.0};
    EXPECT_EQ(vdp_rhs(1, 3.0, s), std::sin(1.5) * 2.0);
    force_amp = 0.0;  // a change takes effect at the next evaluation
    EXPECT_EQ(vdp_rhs(1, 3.0, s), 0.0);
}

}  // namespace
