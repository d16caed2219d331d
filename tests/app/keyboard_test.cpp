// Keys through the real callback: each drawing key draws (and swaps) one frame.
#include "app/keyboard.h"

#include <cmath>
#include <string>

#include "core/state.h"
#include "tests/support/gl_window.h"

namespace {

constexpr const char* DEFAULT_INPUT = "0.1\n0.5 1\n0 0\n";

TEST(Keys, EveryKeyButTheDialogKeysDrawsOneFrame)
{
    start_program(DEFAULT_INPUT);
    const std::string keys = "syYtTzZeESMFJ q1";
    int frames = 0;
    for (char key : keys) {
        const double t = sim_time;
        const int index = trace_index;
        on_keyboard(static_cast<unsigned char>(key), 0, 0);
        ++frames;
        EXPECT_NEAR(sim_time, t + 0.1, 1e-12) << "key '" << key << "'";
        EXPECT_EQ(trace_index, index + 1) << "key '" << key << "'";
        EXPECT_EQ(command_key, key);
    }
    EXPECT_NEAR(sim_time, frames * 0.1, 1e-9);
}

TEST(Keys, ScaleKeysMultiplyOrDivideByNineTenths)
{
    start_program(DEFAULT_INPUT);
    on_keyboard('t', 0, 0);
    EXPECT_EQ(trace_dx, 0.005 * 0.9);
    EXPECT_EQ(trace_len, 222);
    on_keyboard('T', 0, 0);
    EXPECT_NEAR(trace_dx, 0.005, 1e-18);
    on_keyboard('T', 0, 0);
    EXPECT_EQ(trace_len, 180);

    on_keyboard('y', 0, 0);
    EXPECT_EQ(amp_scale, 0.25 * 0.9);
    on_keyboard('Y', 0, 0);
    EXPECT_EQ(amp_scale, 0.25 * 0.9 / 0.9);
    on_keyboard('Z', 0, 0);
    EXPECT_EQ(z_scale, 0.5 / 0.9);
    on_keyboard('z', 0, 0);
    EXPECT_EQ(z_scale, 0.5 / 0.9 * 0.9);
}

TEST(Keys, FamilyKeysSwitchAndNothingClearsTheChoice)
{
    start_program(DEFAULT_INPUT);
    EXPECT_EQ(family_view, 0);
    on_keyboard('e', 0, 0);
    EXPECT_EQ(family_view, 'e');
    on_keyboard('E', 0, 0);
    EXPECT_EQ(family_view, 'E');
    on_keyboard('s', 0, 0);
    run_with_console("0 0\n", [] { on_keyboard('j', 0, 0); });
    EXPECT_EQ(family_view, 'E');
}

// From the default trace_dx, the 14th 't' would give trace_len 874, past the 801 slots of a
// row: it is refused, and so is every later one, while each still draws its frame.
TEST(Keys, TraceKeyStopsBeforeASweepOutgrowsTheRow)
{
    start_program(DEFAULT_INPUT);
    double dx = 0.005;
    for (int press = 1; press <= 20; ++press) {
        const double t = sim_time;
        on_keyboard('t', 0, 0);
        if (press <= 13)
            dx = dx * 0.9;
        EXPECT_EQ(trace_dx, dx) << "press " << press;
        EXPECT_EQ(trace_len, static_cast<int>(1.0 / dx)) << "press " << press;
        EXPECT_NEAR(sim_time, t + 0.1, 1e-12) << "press " << press;
    }
    EXPECT_EQ(trace_len, 786);
    // A whole sweep and the wrap: the index never passes the last slot.
    int highest = 0;
    for (int i = 0; i < 800; ++i) {
        on_keyboard('s', 0, 0);
        highest = std::max(highest, trace_index);
        ASSERT_LE(trace_index, TRACE_CAPACITY - 1);
    }
    EXPECT_EQ(highest, 786);
    // 'T' lengthens again without limit; past 1.0 every sample goes to slot 0.
    for (int i = 0; i < 70; ++i)
        on_keyboard('T', 0, 0);
    EXPECT_GT(trace_dx, 1.0);
    EXPECT_EQ(trace_len, 0);
    on_keyboard('s', 0, 0);
    EXPECT_EQ(trace_index, 0);
}

TEST(Keys, DialogKeysReenterTheDialogAndDrawNothing)
{
    start_program(DEFAULT_INPUT);
    on_keyboard('s', 0, 0);
    on_keyboard('y', 0, 0);

    run_with_console("0.3 0.4\n", [] { on_keyboard('j', 0, 0); });
    EXPECT_EQ(command_key, 'j');
    EXPECT_EQ(state[0], 0.3);
    EXPECT_EQ(state[1], 0.4);
    EXPECT_EQ(sim_time, 0.0);   // a frame would have advanced it
    EXPECT_EQ(trace_index, 0);
    EXPECT_EQ(amp_scale, 0.25);
    EXPECT_EQ(epsilon, 0.1);

    run_with_console("0.2 1.2\n0 0\n", [] { on_keyboard('f', 0, 0); });
    EXPECT_EQ(freq_ratio, 1.2);
    EXPECT_EQ(epsilon, 0.1);
    EXPECT_EQ(sim_time, 0.0);

    run_with_console("0.7\n0.3 0.9\n1 0\n", [] { on_keyboard('m', 0, 0); });
    EXPECT_EQ(epsilon, 0.7);
    EXPECT_EQ(state[0], 1.0);
    EXPECT_EQ(sim_time, 0.0);
}

TEST(KeysDeathTest, EscapeEndsTheProcessWithStatusZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(on_keyboard(27, 0, 0), ::testing::ExitedWithCode(0), "^$");
}

}  // namespace
