// Keys through the real callback: each drawing key draws (and swaps) one frame.
#include "app/keyboard.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "app/run.h"
#include "app/sweep.h"
#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/forcing.h"
#include "dynamics/simulation_step.h"
#include "platform/desktop/function_keys.h"
#include "tests/support/gl_window.h"

#include <GL/freeglut.h>

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

// A run begun with frames N first shows the frame that typing the same answers and pressing
// 's' N times shows, to the pixel: the frames asked for are frames of the window, and only the
// process's first frame draws its string thinner.
TEST(Keys, FramesAskedForShowTheFrameOfThatManyPresses)
{
    constexpr long N = 100;
    start_program("0.5\n0.2 1\n0 0\n");
    apply_view_key('e');
    for (long i = 0; i <= N; ++i)
        draw_next_frame();
    const Image typed = read_back();

    start_program("0.1\n0.5 1\n0 0\n");
    Options options;
    options.epsilon = 0.5;
    options.force = 0.2;
    options.z = 1.0;
    options.frames = N;
    run_with_console("", [&] { begin_run(options); });
    apply_view_key('e');
    draw_next_frame();
    EXPECT_EQ(compare_frames(read_back(), typed).pixels, 0);
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
    // A whole sweep and the wrap: the index never passes the last slot. (The frames advance
    // as an 's' advances them, without drawing: the trace index is all that is looked at.)
    int highest = 0;
    for (int i = 0; i < 800; ++i) {
        advance_frame();
        highest = std::max(highest, trace_index);
        ASSERT_LE(trace_index, TRACE_CAPACITY - 1);
    }
    EXPECT_EQ(highest, 786);
    // 'T' lengthens again without limit; past 1.0 every sample goes to slot 0.
    for (int i = 0; i < 69; ++i)
        apply_view_key('T');
    on_keyboard('T', 0, 0);
    EXPECT_GT(trace_dx, 1.0);
    EXPECT_EQ(trace_len, 0);
    on_keyboard('s', 0, 0);
    EXPECT_EQ(trace_index, 0);
}

// About 6,750 presses of 'Y', 'Z' or 'T' would make that scale infinite, and no press of the
// opposite key could bring it back: the press that would do so is refused.
TEST(Keys, ScalesStopShortOfInfinityAndComeBack)
{
    start_program(DEFAULT_INPUT);
    const struct { unsigned char up, down; const double* scale; } keys[] = {
        {'Y', 'y', &amp_scale}, {'Z', 'z', &z_scale}, {'T', 't', &trace_dx}};
    for (const auto& k : keys) {
        for (int press = 0; press < 8000; ++press)
            apply_view_key(k.up);
        const double top = *k.scale;
        EXPECT_TRUE(std::isfinite(top)) << k.up;
        apply_view_key(k.down);
        EXPECT_LT(*k.scale, top) << k.down;
    }
}

// y0 = 50 leaves the range of doubles in the second frame: the console says so then, once per
// dialog run, and the plot goes on being drawn.
TEST(Keys, OverflowingMotionIsToldOncePerRunWhileThePlotStillDraws)
{
    const std::string told = console_text(
        "運動が数値で表せる範囲を超えました。'm', 'f' または 'j' キーで入力し直してください\n");
    start_program("0.1\n0.5 1\n50 0\n");
    std::string out;
    bool lost = false;
    for (int frame = 0; frame < 20; ++frame) {
        out += run_with_console("", [] { on_keyboard('s', 0, 0); });
        lost = lost || !std::isfinite(state[0]) || !std::isfinite(state[1]);
        EXPECT_EQ(out, lost ? told : "") << "frame " << frame;
    }
    ASSERT_TRUE(lost);
    draw_next_frame();
    const Image image = read_back();
    EXPECT_TRUE(PixelIs(image, px(0.51), px(0.5), GREEN_PX));   // the line at the given z
    EXPECT_TRUE(PixelIs(image, px(0.75), px(0.25 * 1.41421356), BLACK_PX));
    EXPECT_GT(image.count(TEXT_PX), 100);

    run_with_console("50 0\n", [] { on_keyboard('j', 0, 0); });
    out = run_with_console("", [] { for (int i = 0; i < 20; ++i) on_keyboard('s', 0, 0); });
    EXPECT_EQ(out, told) << "a new dialog run tells again";
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

// The arrows step z by 0.005 while the motion runs, each drawing the next frame: the force goes
// on in phase, the crossings are those of the new z, the measures start again, and z stays
// where a step would leave no period to measure.
TEST(Keys, ArrowsStepZInPhaseAndDrawTheNextFrame)
{
    start_program("0.1\n0.2 1\n0 0\n");
    advance_frames(700);
    ASSERT_GT(strobe_count, 0);
    const std::pair<int, double> presses[] = {
        {GLUT_KEY_RIGHT, 1.005}, {GLUT_KEY_RIGHT, 1.01}, {GLUT_KEY_LEFT, 1.005}};
    for (const auto& [key, z] : presses) {
        const double t = sim_time;
        const double theta = forcing_phase(sim_time);
        on_special_key(key, 0, 0);
        EXPECT_EQ(freq_ratio, z);
        EXPECT_NEAR(sim_time - t, 0.1, 1e-12);
        // theta has grown by z 0.1 from where it stood: z t would have jumped by 0.005 t.
        EXPECT_NEAR(forcing_phase(sim_time), theta + z * 0.1, 1e-9);
        EXPECT_LE(strobe_count, 1);
    }
    const std::vector<double> held(crossings, crossings + crossing_count);
    start_program("0.1\n0.2 1.005\n0 0\n");
    EXPECT_EQ(held, std::vector<double>(crossings, crossings + crossing_count));

    start_program("0.1\n0.2 0.004\n0 0\n");
    on_special_key(GLUT_KEY_LEFT, 0, 0);
    EXPECT_EQ(freq_ratio, 0.004);
}

// F7 starts a sweep around z on the Run clock, each drawn frame then standing for
// SWEEP_DRAW_STRIDE; F7 again stops it, and a frame is one frame again. An arrow stops a sweep.
TEST(Keys, FunctionKeySevenSweepsOnTheRunClockUntilPressedAgain)
{
    start_program("0.1\n0.2 1\n0 0\n");
    on_special_key(GLUT_KEY_F7, 0, 0);
    EXPECT_TRUE(sweep_running);
    EXPECT_TRUE(motion_running);
    on_keyboard('s', 0, 0);
    EXPECT_NEAR(sim_time, SWEEP_DRAW_STRIDE * 0.1, 1e-9);
    on_special_key(GLUT_KEY_F7, 0, 0);
    EXPECT_FALSE(sweep_running);
    EXPECT_TRUE(motion_running);   // the motion runs on where the sweep left z
    const double t = sim_time;
    on_keyboard('s', 0, 0);
    EXPECT_NEAR(sim_time - t, 0.1, 1e-9);
    on_special_key(GLUT_KEY_F7, 0, 0);
    on_special_key(GLUT_KEY_RIGHT, 0, 0);
    EXPECT_FALSE(sweep_running);
    motion_running = false;
}

TEST(KeysDeathTest, EscapeEndsTheProcessWithStatusZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(on_keyboard(27, 0, 0), ::testing::ExitedWithCode(0), "^$");
}

}  // namespace
