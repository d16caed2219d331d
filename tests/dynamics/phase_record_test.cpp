// The phase plane's record: the view's extent (nice numbers, grown only when the motion leaves
// it), the trail as the integrator's own steps, the second start as a motion of its own.
#include "dynamics/phase_record.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/run.h"
#include "core/state.h"
#include "tests/support/program_run.h"

namespace {

TEST(PhaseRecord, ExtentsAreNiceNumbersAtOrAbove)
{
    const double cases[][2] = {{1.0, 1.0}, {1.01, 1.5}, {2.2, 2.5}, {3.5, 4.0}, {8.1, 10.0},
                               {0.031, 0.04}, {7e-300, 8e-300}, {1e300, 1e300}, {1.7e308, 1.7e308}};
    for (const auto& c : cases)
        EXPECT_EQ(nice_extent(c[0]), c[1]) << c[0];
    phase_extent[0] = phase_extent[1] = 2.0;
    widen_phase_extent(NAN, INFINITY);
    widen_phase_extent(1.8, -1.0);   // inside, with its margin
    EXPECT_TRUE(phase_extent[0] == 2.0 && phase_extent[1] == 2.0);
    widen_phase_extent(-1.9, 1.7e308);   // out by the margin; the other would overflow
    EXPECT_EQ(phase_extent[0], 2.5);
    EXPECT_EQ(phase_extent[1], 2.0);
}

TEST(PhaseRecord, TheViewHoldsTheWholeTrailAndStaysOnceTheMotionHasSettled)
{
    // eps = F = 5, z = 1.42 from (0, 0): v reaches about 13 in the relaxation's first jumps.
    start_program_run(5.0, 5.0, 1.42, 0.0);
    double last[2] = {phase_extent[0], phase_extent[1]};
    for (int frame = 0; frame < 3000; ++frame) {
        advance_frames(1);
        for (const PhaseSample& p : recent_phase_trail(5))
            ASSERT_TRUE(std::fabs(p.s[0]) * PHASE_MARGIN <= phase_extent[0] &&
                        std::fabs(p.s[1]) * PHASE_MARGIN <= phase_extent[1]) << frame;
        ASSERT_TRUE(phase_extent[0] >= last[0] && phase_extent[1] >= last[1]) << frame;
        const bool moved = phase_extent[0] != last[0] || phase_extent[1] != last[1];
        ASSERT_FALSE(frame > 1000 && moved) << "the view moved at frame " << frame;
        last[0] = phase_extent[0], last[1] = phase_extent[1];
    }
    EXPECT_EQ(phase_extent[1], 15.0);
    // The trail: the latest steps in order one step apart, the last the state now.
    const std::span<const PhaseSample> trail = recent_phase_trail(PHASE_TRAIL_CAPACITY + 5);
    ASSERT_EQ(trail.size(), static_cast<std::size_t>(PHASE_TRAIL_CAPACITY));
    for (std::size_t i = 1; i < trail.size(); ++i)
        ASSERT_NEAR(trail[i].t - trail[i - 1].t, time_step, 1e-9) << i;
    EXPECT_TRUE(trail.back().t == sim_time && trail.back().s[0] == state[0]);
    EXPECT_TRUE(std::isnan(trail.back().second[0]));   // no second start
}

}  // namespace
