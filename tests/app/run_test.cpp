// The Run / Pause clock's arithmetic (the frames a run begins with: tests/app/keyboard_test.cpp).
#include "app/run.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/state.h"

namespace {

// Ticks of a run whose frames each take draw_ms: when tick n comes, from the start.
std::vector<double> tick_times(double draw_ms, int ticks)
{
    std::vector<double> times;
    double now = 1000.0;
    const double start = now;
    start_or_pause_run(now);
    now += RUN_INTERVAL_MS;
    for (int i = 0; i < ticks; ++i) {
        times.push_back(now - start);
        now += draw_ms;
        now += next_run_delay(now);
    }
    start_or_pause_run(now);
    return times;
}

TEST(RunClock, TicksKeepTheirGridHoweverLongAFrameTakesToDraw)
{
    // Scheduled after each frame's drawing, a run would come to 1000 / (33 + draw) frames a
    // second: 24 at 8 ms. On the clock's grid tick n comes at n x 33 ms for any shorter draw.
    for (double draw : {0.0, 0.4, 8.0, 20.5, 32.9}) {
        const std::vector<double> times = tick_times(draw, 300);
        for (int n = 0; n < 300; ++n)
            ASSERT_NEAR(times[n], (n + 1) * RUN_INTERVAL_MS, 1.0) << "draw " << draw << " ms, tick " << n;
    }
    // Slower frames than the grid: one after another, never a burst of frames to catch up.
    const std::vector<double> slow = tick_times(50.0, 20);
    for (int n = 1; n < 20; ++n)
        EXPECT_NEAR(slow[n] - slow[n - 1], 50.0, 1.0) << "tick " << n;
}

TEST(RunClock, QuickPressesLeaveOneChainOfTicks)
{
    motion_running = false;
    const int first = start_or_pause_run(0.0);
    EXPECT_NE(first, 0);
    EXPECT_TRUE(run_tick_due(first));
    EXPECT_EQ(start_or_pause_run(5.0), 0);   // paused
    EXPECT_FALSE(run_tick_due(first));
    const int third = start_or_pause_run(10.0);
    EXPECT_NE(third, 0);
    // The first press's pending tick still comes, and must end its chain.
    EXPECT_FALSE(run_tick_due(first));
    EXPECT_TRUE(run_tick_due(third));
    motion_running = false;   // what 'm', 'f' and 'j' do
    EXPECT_FALSE(run_tick_due(third));
}

}  // namespace
