// The phase plane drawn by the real composition and read back: in place of the traces, the
// right half untouched, each mark in its own colour, F6 and F9 as the window takes them.
#include "display/phase_plane.h"

#include <GL/freeglut.h>
#include <string>

#include "app/dialog.h"
#include "app/run.h"
#include "core/state.h"
#include "display/frame.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/phase_record.h"
#include "platform/desktop/function_keys.h"
#include "tests/support/gl_window.h"

namespace {

constexpr int HALF = FRAME_SIZE / 2;   // the first column of the right half

int left_count(const Image& im, Rgb c)
{
    return im.count(c, 0, 0, HALF - 1, FRAME_SIZE - 1);
}

::testing::AssertionResult MarkIs(const Image& im, double y, double v, Rgb c)
{
    const Vec2 at = phase_to_scene(y, v);
    return PixelIs(im, px(at.x), px(at.y), c);
}

TEST(PhasePlane, TakesTheTracesPlaceLeavesTheRightHalfAndF6BringsThemBack)
{
    start_program("0.1\n0.5 1\n0 0\n");
    advance_frames(599);
    draw_next_frame();
    const Image plain = read_back();
    phase_shown = true;
    draw_frame();
    const Image phase = read_back();
    int right = 0;
    for (int y = 0; y < FRAME_SIZE; ++y)
        for (int x = HALF; x < FRAME_SIZE; ++x)
            right += !plain.is(x, y, phase.at(x, y));
    EXPECT_EQ(right, 0) << "pixels of the right half changed";
    // The force's green trace gone; the state now a blue disc, the latest point a black square.
    EXPECT_GT(left_count(plain, GREEN_PX), 100);
    EXPECT_EQ(left_count(phase, GREEN_PX), 0);
    EXPECT_TRUE(MarkIs(phase, state[0], state[1], BLUE_PX));
    EXPECT_TRUE(MarkIs(phase, recent_strobe_points(1)[0].y, recent_strobe_points(1)[0].v, BLACK_PX));
    // F6 on and off again, a frame each: the plain picture of two frames on, the motion unmoved.
    phase_shown = false;
    on_special_key(GLUT_KEY_F6, 0, 0);
    on_special_key(GLUT_KEY_F6, 0, 0);
    draw_frame();
    const Image toggled = read_back();
    const double s[2] = {state[0], state[1]};
    start_program("0.1\n0.5 1\n0 0\n");
    advance_frames(601);
    draw_next_frame();
    EXPECT_EQ(compare_frames(read_back(), toggled).pixels, 0);
    EXPECT_TRUE(s[0] == state[0] && s[1] == state[1]);
}

TEST(PhasePlane, FadingTrailBalanceOrbitsByClassF9sOrbitAndTheSecondStart)
{
    // eps = 0.5, F = 0.2, z = 1: unstable, saddle and stable responses, dotted dark orange,
    // dashed magenta and solid red; early in the run the trail spirals out in fading blue.
    start_program("0.5\n0.2 1\n0 0\n");
    phase_shown = true;
    advance_frames(150);
    draw_frame();
    const Image early = read_back();
    int faded = 0;
    for (int y = 0; y < FRAME_SIZE; ++y)
        for (int x = 0; x < HALF; ++x)
            faded += early.at(x, y).b == 255 && early.at(x, y).r == early.at(x, y).g &&
                     early.at(x, y).r > 0 && early.at(x, y).r < 255;
    EXPECT_GT(faded, 200);
    for (const Rgb c : {Rgb{204, 102, 0}, Rgb{204, 0, 204}, RED_PX})
        EXPECT_GT(left_count(early, c), 30) << c.r << " " << c.g << " " << c.b;
    // F9: the orbit's multipliers and class on the console, a band of cyan round the trail.
    const std::string said = run_with_console("", [] { on_special_key(GLUT_KEY_F9, 0, 0); });
    EXPECT_NE(said.find(console_text("（安定）")), std::string::npos) << said;
    draw_frame();
    EXPECT_GT(left_count(read_back(), {0, 153, 204}), 500);

    // eps = F = 5, z = 1.42: the second start from (1, 0) in dark green, its points darker.
    start_program("5\n5 1.42\n0 0\n");
    second_start_given = true;
    second_init[0] = 1.0, second_init[1] = 0.0;
    restart_run();
    phase_shown = true;
    advance_frames(2000);
    draw_frame();
    const Image two = read_back();
    EXPECT_GT(left_count(two, {0, 153, 0}), 300);
    for (const StrobePoint& p : recent_second_points(3))
        EXPECT_TRUE(MarkIs(two, p.y, p.v, {0, 102, 0}));
    EXPECT_EQ(left_count(early, {0, 153, 0}), 0);
}

}  // namespace
