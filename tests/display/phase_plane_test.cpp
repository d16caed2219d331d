// The phase plane drawn by the real composition and read back: in place of the traces, the
// right half untouched, each mark in its own colour, F6 and F9 as the window takes them.
#include "display/phase_plane.h"

#include <GL/freeglut.h>
#include <cmath>
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

constexpr const char* LOCKED_INPUT = "0.1\n0.5 1\n0 0\n";
constexpr int LEFT_END = FRAME_SIZE / 2 - 1;   // the last column of the left half

int left_count(const Image& im, Rgb c)
{
    return im.count(c, 0, 0, LEFT_END, FRAME_SIZE - 1);
}

Rgb at_scene(const Image& im, const Vec2& p)
{
    return im.at(px(p.x), px(p.y));
}

bool same(Rgb a, Rgb b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

TEST(PhasePlane, TakesTheTracesPlaceAndLeavesTheRightHalfAsItWas)
{
    start_program(LOCKED_INPUT);
    advance_frames(599);
    draw_next_frame();
    const Image plain = read_back();
    phase_shown = true;
    draw_frame();
    const Image phase = read_back();
    int differing = 0;
    for (int y = 0; y < FRAME_SIZE; ++y)
        for (int x = LEFT_END + 1; x < FRAME_SIZE; ++x)
            differing += !same(plain.at(x, y), phase.at(x, y));
    EXPECT_EQ(differing, 0) << "right half";
    // The force's green trace is gone, the state now is a blue disc, the latest point a black
    // square, on the stable ellipse's red.
    EXPECT_GT(left_count(plain, GREEN_PX), 100);
    EXPECT_EQ(left_count(phase, GREEN_PX), 0);
    EXPECT_TRUE(PixelIs(phase, px(phase_to_scene(state[0], state[1]).x),
                        px(phase_to_scene(state[0], state[1]).y), BLUE_PX));
    const StrobePoint last = recent_strobe_points(1)[0];
    EXPECT_TRUE(PixelIs(phase, px(phase_to_scene(last.y, last.v).x), px(phase_to_scene(last.y, last.v).y),
                        BLACK_PX));
    EXPECT_GT(left_count(phase, RED_PX), 200);
    EXPECT_GT(phase.count(TEXT_PX, px(-0.95), px(0.9), px(-0.2), FRAME_SIZE - 1), 300) << "title";
}

TEST(PhasePlane, F6TurnsItOnAndBackWithoutMovingTheMotion)
{
    start_program(LOCKED_INPUT);
    advance_frames(300);
    for (int i = 0; i < 2; ++i)
        on_special_key(GLUT_KEY_F6, 0, 0);
    EXPECT_FALSE(phase_shown);
    draw_frame();
    const Image toggled = read_back();
    const double s[2] = {state[0], state[1]};
    start_program(LOCKED_INPUT);
    advance_frames(301);
    draw_next_frame();
    EXPECT_EQ(compare_frames(read_back(), toggled).pixels, 0);
    EXPECT_TRUE(s[0] == state[0] && s[1] == state[1]);
}

TEST(PhasePlane, TrailFadesAndSecondStartHasItsOwnColours)
{
    // Early in the run the motion still spirals out: the older turns show in faded blue.
    start_program(LOCKED_INPUT);
    phase_shown = true;
    advance_frames(150);
    draw_frame();
    int faded = 0;
    const Image early = read_back();
    for (int y = 0; y < FRAME_SIZE; ++y)
        for (int x = 0; x <= LEFT_END; ++x) {
            const Rgb c = early.at(x, y);
            faded += c.b == 255 && c.r == c.g && c.r > 0 && c.r < 255;
        }
    EXPECT_GT(faded, 200);
    const Rgb second = {0, 153, 0};
    EXPECT_EQ(left_count(early, second), 0);

    // Two attractors at eps = F = 5, z = 1.42: the second start's trail and its three points.
    start_program("5\n5 1.42\n0 0\n");
    second_start_given = true;
    second_init[0] = 1.0, second_init[1] = 0.0;
    restart_run();
    phase_shown = true;
    advance_frames(2000);
    draw_frame();
    const Image two = read_back();
    EXPECT_GT(left_count(two, second), 300);
    for (const StrobePoint& p : recent_second_points(3)) {
        const Rgb c = at_scene(two, phase_to_scene(p.y, p.v));
        EXPECT_TRUE(same(c, {0, 102, 0})) << c.r << " " << c.g << " " << c.b;
    }
}

TEST(PhasePlane, BalanceOrbitsInTheirClassesStylesAndF9TellsItsOrbit)
{
    // eps = 0.5, F = 0.2, z = 1: unstable, saddle and stable responses, dotted dark orange,
    // dashed magenta and solid red.
    start_program("0.5\n0.2 1\n0 0\n");
    phase_shown = true;
    advance_frames(599);
    const std::string said = run_with_console("", [] { on_special_key(GLUT_KEY_F9, 0, 0); });
    EXPECT_NE(said.find(console_text("乗数")), std::string::npos) << said;
    EXPECT_NE(said.find(console_text("安定")), std::string::npos) << said;
    draw_frame();
    const Image im = read_back();
    EXPECT_GT(left_count(im, {204, 102, 0}), 30);
    EXPECT_GT(left_count(im, {204, 0, 204}), 100);
    EXPECT_GT(left_count(im, RED_PX), 100);
    // F9's orbit in a band of cyan round the trail of the motion that has settled on it.
    EXPECT_TRUE(found_orbit.found);
    EXPECT_GT(left_count(im, {0, 153, 204}), 500);
}

}  // namespace
