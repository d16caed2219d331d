// Long runs without a window: the motion stays finite and bounded, the trace index stays in
// its sweep, and the integrator's per-step storage does not accumulate.
#include <gtest/gtest.h>

#include <cmath>
#include <malloc.h>

#include "app/state.h"
#include "display/simulation_step.h"

namespace {

TEST(LongRun, HundredThousandFramesOfAnEntrainedCaseStayBoundedWithFlatMemory)
{
    epsilon = 0.1;
    force_amp = 0.5;
    freq_ratio = 1.0;
    state[0] = 0.0;
    state[1] = 0.0;
    sim_time = 0.0;
    trace_index = 0;
    trace_dx = 0.005;
    trace_len = 200;
    for (int frame = 0; frame < 1000; ++frame) {
        advance_simulation();
        record_trace_samples();
    }
    const std::size_t in_use = mallinfo2().uordblks;
    double largest = 0.0;
    for (int frame = 0; frame < 100000; ++frame) {
        advance_simulation();
        record_trace_samples();
        ASSERT_TRUE(std::isfinite(state[0]) && std::isfinite(state[1])) << "frame " << frame;
        ASSERT_GE(trace_index, 0);
        ASSERT_LE(trace_index, trace_len);
        largest = std::fmax(largest, std::fabs(state[0]));
    }
    // Locked near the harmonic-balance amplitude 3.2; far from any blow-up.
    EXPECT_GT(largest, 3.0);
    EXPECT_LT(largest, 3.5);
    EXPECT_EQ(mallinfo2().uordblks, in_use) << "heap in use grew over the run";
}

}  // namespace
