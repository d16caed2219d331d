// The OpenGL drawing primitives rendered for real and read back: pixels, and the graphics
// state each leaves behind once the drawing is settled.
#include "display/primitives.h"

#include <GL/freeglut.h>
#include <array>
#include <cmath>
#include <vector>

#include "tests/support/gl_window.h"

namespace {

constexpr double UP = 1.570796326794895;
// The point and the barbs end in needles that cover no pixel centre for their last pixels.
constexpr int NEEDLE = 3;

class Primitives : public ::testing::Test {
protected:
    void SetUp() override { clear_to_white(); }
};

std::array<double, 16> modelview()
{
    std::array<double, 16> m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

std::array<float, 4> current_colour()
{
    std::array<float, 4> c{};
    glGetFloatv(GL_CURRENT_COLOR, c.data());
    return c;
}

float line_width()
{
    float w = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &w);
    return w;
}

TEST_F(Primitives, LineCoversTwoRowsBetweenItsEnds)
{
    glLineWidth(2.0f);
    draw_line(Vec2{-0.5, 0.0}, Vec2{0.5, 0.0}, RED);
    const Image im = read_back();
    EXPECT_TRUE(PixelIs(im, px(0.0), 399, RED_PX));
    EXPECT_TRUE(PixelIs(im, px(0.0), 400, RED_PX));
    EXPECT_TRUE(PixelIs(im, px(0.0), 398, WHITE_PX));
    EXPECT_TRUE(PixelIs(im, px(0.0), 401, WHITE_PX));
    EXPECT_TRUE(PixelIs(im, px(0.75), 399, WHITE_PX));
    const Box b = bounding_box(im, RED_PX);
    EXPECT_NEAR(b.x0, px(-0.5), 1);
    EXPECT_NEAR(b.x1, px(0.5), 1);
    EXPECT_EQ(im.count(RED_PX), 2 * (b.x1 - b.x0 + 1));
}

TEST_F(Primitives, LineKeepsWidthAndLeavesColourAndLighting)
{
    glLineWidth(3.0f);
    draw_line(Vec2{0.0, -0.5}, Vec2{0.0, 0.5}, GREEN);
    settle_drawing_state();
    EXPECT_EQ(line_width(), 3.0f);
    EXPECT_EQ(current_colour(), (std::array<float, 4>{0.0f, 1.0f, 0.0f, 0.0f}));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    const Image im = read_back();
    EXPECT_EQ(im.count(GREEN_PX, 0, px(0.0), FRAME_SIZE - 1, px(0.0)), 3);
}

TEST_F(Primitives, DiscIsARoundPolygonAtItsCentre)
{
    const auto before = modelview();
    draw_disc(Vec2{0.5, 0.5}, 0.1, BLUE);
    EXPECT_EQ(modelview(), before);
    const Image im = read_back();
    const Box b = bounding_box(im, BLUE_PX);
    EXPECT_NEAR(b.x0, 560, 1);
    EXPECT_NEAR(b.x1, 639, 1);
    EXPECT_NEAR(b.y0, 560, 1);
    EXPECT_NEAR(b.y1, 639, 1);
    // A 100-gon of radius 40 px covers 50 sin(2 pi / 100) 40^2 = 5023 px.
    EXPECT_NEAR(im.count(BLUE_PX), 5023, 50);
    EXPECT_TRUE(PixelIs(im, 600, 600, BLUE_PX));
    EXPECT_TRUE(PixelIs(im, 600 + 29, 600 + 29, WHITE_PX));   // outside the circle, inside its box
}

TEST_F(Primitives, ShortArrowKeepsItsWholeHeadAtTheTip)
{
    const auto before = modelview();
    draw_arrow(Vec2{0.0, 0.0}, 0.0, UP, GREEN);
    EXPECT_EQ(modelview(), before);
    const Image zero = read_back();
    // Pointing up: the point at the tip, barbs 0.15 below it and 0.04 to each side.
    const Box b = bounding_box(zero, GREEN_PX);
    EXPECT_NEAR(b.y1, px(0.0) - NEEDLE, NEEDLE);
    EXPECT_NEAR(b.y0, px(-0.15) + NEEDLE, NEEDLE);
    EXPECT_NEAR(b.x0, px(-0.04) + NEEDLE, NEEDLE);
    EXPECT_NEAR(b.x1, px(0.04) - NEEDLE, NEEDLE);
    EXPECT_TRUE(PixelIs(zero, px(0.0), px(-0.05), GREEN_PX));
    EXPECT_TRUE(PixelIs(zero, px(0.0), px(-0.12), WHITE_PX));   // between the barbs

    clear_to_white();
    draw_arrow(Vec2{0.0, 0.0}, -0.3, UP, GREEN);
    EXPECT_EQ(compare_frames(read_back(), zero).pixels, 0);   // a negative length acts as 0

    clear_to_white();
    draw_arrow(Vec2{0.0, 0.0}, ARROW_HEAD_LENGTH, UP, GREEN);
    EXPECT_EQ(compare_frames(read_back(), zero).pixels, 0);   // a head-long arrow has no shaft
}

TEST_F(Primitives, LongArrowHasAShaftBehindItsHead)
{
    draw_arrow(Vec2{0.0, 0.0}, 0.3, UP, GREEN);
    const Image im = read_back();
    const Box b = bounding_box(im, GREEN_PX);
    EXPECT_NEAR(b.y1, px(0.0) - NEEDLE, NEEDLE);
    EXPECT_NEAR(b.y0, px(-0.3), 1);
    // The shaft, 0.02 wide, between the barbs' ends and its far end.
    EXPECT_NEAR(im.count(GREEN_PX, 0, px(-0.25), FRAME_SIZE - 1, px(-0.25)), 8, 1);
    EXPECT_TRUE(PixelIs(im, px(0.0), px(-0.25), GREEN_PX));
}

TEST_F(Primitives, ArrowAtMinusHalfPiPointsDown)
{
    draw_arrow(Vec2{0.2, 0.2}, 0.05, -UP, RED);
    const Box b = bounding_box(read_back(), RED_PX);
    EXPECT_NEAR(b.y0, px(0.2) + NEEDLE, NEEDLE);
    EXPECT_NEAR(b.y1, px(0.35) - NEEDLE, NEEDLE);
    EXPECT_NEAR((b.x0 + b.x1) / 2, px(0.2), 1);
}

TEST_F(Primitives, CrossSpansTheWindowTwoPixelsWideInBlack)
{
    glColor4f(0.0f, 0.0f, 1.0f, 0.0f);
    glLineWidth(5.0f);
    draw_cross(Vec2{-0.99, 0.0}, 0.0);
    settle_drawing_state();
    EXPECT_EQ(line_width(), 2.0f);
    EXPECT_EQ(current_colour(), (std::array<float, 4>{0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    const Image im = read_back();
    // The horizontal arm across every column; x = -0.99 lies on the edge of column 4.
    EXPECT_EQ(im.count(BLACK_PX, 0, 0, FRAME_SIZE - 1, FRAME_SIZE - 1), 2 * 800 + 2 * 800 - 4);
    EXPECT_EQ(im.count(BLACK_PX, 0, px(0.0) - 1, FRAME_SIZE - 1, px(0.0)), 2 * 800);
    const Box column = bounding_box(im, BLACK_PX);
    EXPECT_EQ(column.y0, 0);
    EXPECT_EQ(column.y1, FRAME_SIZE - 1);
    EXPECT_EQ(im.count(BLACK_PX, 0, 100, FRAME_SIZE - 1, 100), 2);
    EXPECT_TRUE(PixelIs(im, px(-0.99) - 1, 100, BLACK_PX) || PixelIs(im, px(-0.99) + 1, 100, BLACK_PX));
    EXPECT_TRUE(PixelIs(im, px(-0.99), 100, BLACK_PX));
}

TEST_F(Primitives, GridLinesLieOnTheirSpacingAndStopAtTheEdge)
{
    draw_grid(Vec2{0.0, 0.0}, 0.0, 2, 0.25, 0.25);
    settle_drawing_state();
    EXPECT_EQ(line_width(), 1.0f);
    const Image im = read_back();
    // Row between two horizontal lines: the five vertical lines, one pixel each.
    EXPECT_EQ(im.count(BLACK_PX, 0, px(0.1), FRAME_SIZE - 1, px(0.1)), 5);
    for (double x : {-0.5, -0.25, 0.0, 0.25, 0.5})
        EXPECT_TRUE(PixelIs(im, px(x), px(0.1), BLACK_PX) || PixelIs(im, px(x) - 1, px(0.1), BLACK_PX))
            << "vertical line at x = " << x;
    EXPECT_EQ(im.count(BLACK_PX, px(0.1), 0, px(0.1), FRAME_SIZE - 1), 5);
    // Nothing beyond half-extent 2 x 0.25.
    EXPECT_EQ(im.count(BLACK_PX, 0, px(0.55), FRAME_SIZE - 1, FRAME_SIZE - 1), 0);
    EXPECT_EQ(im.count(BLACK_PX, px(0.55), 0, FRAME_SIZE - 1, FRAME_SIZE - 1), 0);
}

TEST_F(Primitives, GridOfHalfCountZeroShowsNothing)
{
    draw_grid(Vec2{0.3, 0.3}, 0.0, 0, 0.1, 0.1);
    EXPECT_EQ(read_back().count(WHITE_PX), FRAME_SIZE * FRAME_SIZE);
}

// A row dashed 0.03 on (12 px), 0.015 off (6 px), drawn as 100 short pieces with the pattern
// carried from one to the next as along a curve: each column whose centre lies a pixel or
// more from a dash's end is red where the pattern is on, white where it is off.
TEST_F(Primitives, DashesGoOnAcrossJoinedLines)
{
    set_line_width(1.0f);
    const double row = 0.00125;   // the centre of pixel row 400
    const DashPattern pattern = {0.03, 0.015};
    double phase = 0.0;
    for (int i = 0; i < 100; ++i)
        draw_dashed_line(Vec2{-0.5 + 0.01 * i, row}, Vec2{-0.5 + 0.01 * (i + 1), row}, pattern,
                         &phase, RED);
    EXPECT_NEAR(phase, 1.0 - 22 * 0.045, 1e-9);
    const Image im = read_back();
    int checked = 0;
    for (int x = px(-0.5); x < px(0.5); ++x) {
        const double into = std::fmod(x + 0.5 - px(-0.5), 18.0);   // pixels into a period
        if (std::fabs(into - 12.0) < 1.0 || into < 1.0 || into > 17.0)
            continue;
        ++checked;
        EXPECT_TRUE(PixelIs(im, x, px(row), into < 12.0 ? RED_PX : WHITE_PX)) << "column " << x;
    }
    EXPECT_GT(checked, 250);

    // One line of 0.4 in dashes of 0.05: 0.25 into it the remainder of a period is a hair
    // below a dash's end (fmod rounds), and the dash after it, 0.3 ... 0.35, must be drawn.
    clear_to_white();
    phase = 0.0;
    draw_dashed_line(Vec2{-0.5, row}, Vec2{-0.1, row}, DashPattern{0.05, 0.05}, &phase, RED);
    EXPECT_EQ(read_back().count(RED_PX, px(-0.2) + 1, px(row), px(-0.15) - 2, px(row)),
              px(-0.15) - 2 - px(-0.2));

    clear_to_white();   // no pattern: the whole line
    draw_dashed_line(Vec2{-0.5, row}, Vec2{0.5, row}, DashPattern{0.0, 0.0}, &phase, RED);
    EXPECT_NEAR(read_back().count(RED_PX, 0, px(row), FRAME_SIZE - 1, px(row)), 400, 1);
}

// An open crossing disc: its outline 2 pixels wide over a white fill, which hides what lay
// under it (here the green line through the crossing); the width stays set.
TEST_F(Primitives, RingHidesWhatItCoversWithinItsOutline)
{
    const double column = 0.00125;   // the centre of pixel column 400
    draw_line(Vec2{column, -0.5}, Vec2{column, 0.5}, GREEN);
    draw_ring(Vec2{0.0, 0.0}, 0.05, 2.0f, WHITE, GREEN);
    settle_drawing_state();
    EXPECT_EQ(line_width(), 2.0f);
    const Image im = read_back();
    // Along the row through the centre: the outline 20 pixels to either side, white between.
    std::vector<int> starts;
    for (int x = px(-0.1); x <= px(0.1); ++x)
        if (im.is(x, px(column), GREEN_PX) && !im.is(x - 1, px(column), GREEN_PX))
            starts.push_back(x);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_NEAR(starts[0], px(-0.05) - 1, 1);
    EXPECT_NEAR(starts[1], px(0.05) - 1, 1);
    EXPECT_TRUE(PixelIs(im, px(column), px(0.0) + 10, WHITE_PX));
    EXPECT_TRUE(PixelIs(im, px(column), px(0.1), GREEN_PX));   // the line goes on outside
}

TEST_F(Primitives, TextIsNearBlackWhateverColourWasSetLast)
{
    draw_disc(Vec2{0.8, 0.8}, 0.05, BLUE);
    draw_text(-0.5f, 0.0f, Font::helvetica_18, "red   : response y(t)");
    draw_line(Vec2{0.8, -0.8}, Vec2{0.9, -0.8}, RED);
    draw_text(-0.5f, -0.5f, Font::helvetica_18, "green : force f(t)/K");
    const Image im = read_back();
    const int upper = im.count(TEXT_PX, 0, px(-0.05), FRAME_SIZE - 1, px(0.1));
    const int lower = im.count(TEXT_PX, 0, px(-0.55), FRAME_SIZE - 1, px(-0.4));
    EXPECT_GT(upper, 200);
    EXPECT_GT(lower, 200);
    // Every pixel is background, text or one of the two shapes.
    EXPECT_EQ(upper + lower + im.count(WHITE_PX) + im.count(BLUE_PX) + im.count(RED_PX),
              FRAME_SIZE * FRAME_SIZE);
    const Box b = bounding_box(im, TEXT_PX);
    EXPECT_NEAR(b.x0, px(-0.5), 2);   // the raster position is the left end of the baseline
}

TEST_F(Primitives, TextKeepsTheCurrentColour)
{
    draw_line(Vec2{0.8, -0.8}, Vec2{0.9, -0.8}, GREEN);
    draw_text(0.0f, 0.0f, Font::helvetica_18, "");
    draw_text(0.0f, 0.0f, Font::helvetica_18, "1grid=(2s,0.2m)");
    settle_drawing_state();
    EXPECT_EQ(current_colour(), (std::array<float, 4>{0.0f, 1.0f, 0.0f, 0.0f}));
}

}  // namespace
