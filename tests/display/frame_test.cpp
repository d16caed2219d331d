// Whole frames, drawn by the real composition after a real dialog, and read back.
#include "display/frame.h"

#include <GL/gl.h>
#include <cmath>
#include <vector>

#include "app/keyboard.h"
#include "core/state.h"
#include "platform/desktop/window.h"
#include "display/primitives.h"
#include "tests/support/gl_window.h"

namespace {

constexpr const char* DEFAULT_INPUT = "0.1\n0.5 1\n0 0\n";

// Rows, from row y0 up, at which column x turns to colour c.
std::vector<int> run_starts(const Image& im, int x, Rgb c, int y0 = 0)
{
    std::vector<int> runs;
    for (int y = y0; y < FRAME_SIZE; ++y)
        if (im.is(x, y, c) && (y == y0 || !im.is(x, y - 1, c)))
            runs.push_back(y);
    return runs;
}

TEST(Frame, DefaultViewShowsPlotLinesDiscAndLabels)
{
    start_program(DEFAULT_INPUT);
    draw_frame();
    const Image im = read_back();
    // Stability line at y = 0.25 x 1.41421356, from x = 0.01 to past the right edge.
    EXPECT_TRUE(PixelIs(im, 760, px(0.25 * 1.41421356), BLACK_PX));
    EXPECT_TRUE(PixelIs(im, 799, px(0.25 * 1.41421356), BLACK_PX));
    EXPECT_TRUE(PixelIs(im, 760, px(0.25 * 1.41421356) + 3, WHITE_PX));
    // z = 1: the given-z line, green, covers the blue one.
    EXPECT_EQ(im.count(BLUE_PX), 0);
    EXPECT_TRUE(PixelIs(im, px(0.51), 790, GREEN_PX));
    // One crossing, amplitude 3.201191, drawn as a disc of radius 0.01 on the green line.
    const int row = px(0.25 * 3.201191);
    EXPECT_TRUE(PixelIs(im, px(0.51) - 3, row, GREEN_PX));
    EXPECT_TRUE(PixelIs(im, px(0.51) + 3, row, GREEN_PX));
    EXPECT_TRUE(PixelIs(im, px(0.51) - 3, row + 8, WHITE_PX));
    // Labels: near-black text at the upper left and below the centre, none of the family's.
    EXPECT_GT(im.count(TEXT_PX, px(-0.95), px(0.85), px(-0.5), FRAME_SIZE - 1), 300);
    EXPECT_GT(im.count(TEXT_PX, px(-0.1), px(-0.26), px(0.8), px(-0.18)), 300);
    EXPECT_EQ(im.count(TEXT_PX, px(-0.1), px(-0.16), px(0.8), px(-0.06)), 0);
    // White background in the empty lower right corner.
    EXPECT_TRUE(PixelIs(im, 780, 20, WHITE_PX));
}

TEST(Frame, FamilyAndItsLabelsOnlyAfterTheKeys)
{
    start_program(DEFAULT_INPUT);
    apply_view_key('e');
    draw_frame();
    const Image eps = read_back();
    EXPECT_GT(eps.count(BLUE_PX), 3000);
    EXPECT_GT(eps.count(TEXT_PX, px(-0.1), px(-0.16), px(0.8), px(-0.06)), 300);

    start_program(DEFAULT_INPUT);
    apply_view_key('E');
    draw_frame();
    const Image force = read_back();
    EXPECT_GT(force.count(BLUE_PX), 3000);
    EXPECT_NE(hash_image(force), hash_image(eps));
}

TEST(Frame, ThreeCrossingsGiveThreeDiscsOnTheGreenLine)
{
    start_program("0.5\n0.2 1\n0 0\n");
    ASSERT_EQ(crossing_count, 3);
    draw_frame();
    const Image im = read_back();
    // Above the arrow, three rows at which column x = 0.51 - 0.0075 turns green: one per disc.
    ASSERT_GT(std::sin(sim_time), 0.0);
    const std::vector<int> runs = run_starts(im, px(0.51) - 3, GREEN_PX, px(0.0));
    ASSERT_EQ(runs.size(), 3u);
    const double amplitudes[3] = {0.418208, 1.757804, 2.1765};
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(runs[i], px(0.25 * amplitudes[i]) - 3, 2) << "disc " << i;
}

TEST(Frame, PictureLagsOneFrameBehindTheScaleKey)
{
    // No forcing, so the curve is empty around the mass; y0 = 2 swings the mass far.
    start_program("0.1\n0 1\n2 0\n");
    for (int i = 0; i < 30; ++i)
        draw_frame();
    apply_view_key('y');
    draw_frame();
    ASSERT_GT(std::sin(sim_time), 0.0);   // the arrow points up, below the mass centre
    const Image im = read_back();
    const double y = state[0];
    // The mass, drawn before trace_scales took the new amp_scale: old scale 0.25.
    int top = -1;
    for (int r = FRAME_SIZE - 1; r >= 0 && top < 0; --r)
        if (im.is(px(0.5), r, RED_PX))
            top = r;
    EXPECT_NEAR(top, px(0.25 * y + 0.04), 1);
    // The newest trace sample, drawn after: new scale 0.225.
    const int tip = px(-0.99 + 31 * 0.005) - 1;
    const std::vector<int> runs = run_starts(im, tip, RED_PX);
    ASSERT_FALSE(runs.empty());
    EXPECT_NEAR(runs.front(), px(0.225 * y), 3);
    EXPECT_EQ(trace_scales[0], 0.25 * 0.9);
}

TEST(Frame, TheWrapFrameDrawsNoTrace)
{
    start_program(DEFAULT_INPUT);
    for (int i = 0; i < 200; ++i)
        draw_frame();
    EXPECT_EQ(trace_index, 200);
    Image im = read_back();
    EXPECT_GT(im.count(GREEN_PX, 0, 0, px(0.0), FRAME_SIZE - 1), 400);

    draw_frame();
    EXPECT_EQ(trace_index, 0);
    im = read_back();
    EXPECT_EQ(im.count(GREEN_PX, 0, 0, px(0.0), FRAME_SIZE - 1), 0);
    EXPECT_EQ(im.count(RED_PX, 0, 0, px(0.0) - 1, FRAME_SIZE - 1), 0);

    draw_frame();   // one segment from the origin; the old sweep is not shown again
    im = read_back();
    EXPECT_GT(im.count(GREEN_PX, 0, 0, px(-0.99 + 0.005) + 1, FRAME_SIZE - 1), 0);
    EXPECT_EQ(im.count(GREEN_PX, px(-0.99 + 0.005) + 2, 0, px(0.0) - 1, FRAME_SIZE - 1), 0);
}

TEST(Frame, EveryFrameStartsWhiteWithAnIdentityModelview)
{
    start_program(DEFAULT_INPUT);
    draw_disc(Vec2{0.95, -0.95}, 0.1, BLACK);   // left over from an earlier frame
    glTranslated(0.5, 0.5, 0.0);
    draw_frame();
    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0 : 0.0);
    const Image im = read_back();
    EXPECT_TRUE(PixelIs(im, 780, 20, WHITE_PX));
    EXPECT_TRUE(PixelIs(im, 799, px(0.25 * 1.41421356), BLACK_PX));   // not shifted
}

TEST(Frame, ANonSquareWindowStretchesTheScene)
{
    on_reshape(400, 800);
    clear_to_white();
    glLineWidth(2.0f);
    draw_line(Vec2{-1.0, 0.0}, Vec2{1.0, 0.0}, RED);
    const Image im = read_back();
    on_reshape(FRAME_SIZE, FRAME_SIZE);
    const Box b = bounding_box(im, RED_PX);
    EXPECT_EQ(b.x0, 0);
    EXPECT_EQ(b.x1, 399);
}

}  // namespace
