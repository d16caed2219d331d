// The oscillator picture and the traces, rendered and read back.
#include "display/picture.h"

#include <GL/gl.h>

#include "core/state.h"
#include "display/primitives.h"
#include "tests/support/gl_window.h"

namespace {

const Vec2 LEFT_END = {0.01, 0.0};   // where the system anchors the string

// Topmost pixel of colour c in column x, or -1.
int top_in_column(const Image& im, int x, Rgb c)
{
    for (int y = FRAME_SIZE - 1; y >= 0; --y)
        if (im.is(x, y, c))
            return y;
    return -1;
}

TEST(Oscillator, WithoutMassesTheStringIsStraightBetweenItsEnds)
{
    clear_to_white();
    glLineWidth(2.0f);
    const double none[1] = {5.0};
    draw_oscillator(LEFT_END, 0.25, 0, none);
    const Image im = read_back();
    const Box b = bounding_box(im, RED_PX);
    EXPECT_NEAR(b.x0, px(0.0), 1);     // left end disc, radius 0.01
    EXPECT_NEAR(b.x1, px(1.0) - 1, 1); // right end disc reaches 1.0
    EXPECT_NEAR(b.y0, px(-0.01), 1);
    EXPECT_NEAR(b.y1, px(0.01), 1);
    EXPECT_TRUE(PixelIs(im, px(0.5), 399, RED_PX));
    EXPECT_TRUE(PixelIs(im, px(0.5), 400, RED_PX));
}

TEST(Oscillator, OneMassSitsMidwayDisplacedByScaleTimesValue)
{
    clear_to_white();
    glLineWidth(2.0f);
    const double y[2] = {1.0, -3.0};   // the velocity is never drawn
    draw_oscillator(LEFT_END, 0.25, 1, y);
    const Image im = read_back();
    // Mass centre (0.5, 0.25), radius 0.04.
    EXPECT_NEAR(top_in_column(im, px(0.5), RED_PX), px(0.29), 1);
    EXPECT_TRUE(PixelIs(im, px(0.5), px(0.25), RED_PX));
    EXPECT_TRUE(PixelIs(im, px(0.5), px(0.0), WHITE_PX));   // the string bends up to the mass
    const Box b = bounding_box(im, RED_PX);
    EXPECT_NEAR(b.y0, px(-0.01), 1);
    EXPECT_NEAR(b.y1, px(0.29), 1);
    // Halfway between the left end and the mass, the string is at half the displacement.
    EXPECT_NEAR(top_in_column(im, px(0.255), RED_PX), px(0.125), 2);
}

TEST(Oscillator, MassesTakeThePaletteInOrderAtEqualSpacing)
{
    clear_to_white();
    glLineWidth(2.0f);
    const double y[2] = {0.0, 0.4};
    draw_oscillator(LEFT_END, 1.0, 2, y);
    const Image im = read_back();
    const double step = (0.99 - 0.01) / 3.0;
    const Box second = bounding_box(im, GREEN_PX);   // PALETTE[1]
    EXPECT_NEAR((second.x0 + second.x1) / 2.0, px(0.01 + 2 * step), 1.5);
    EXPECT_NEAR((second.y0 + second.y1) / 2.0, px(0.4), 1.5);
    EXPECT_TRUE(PixelIs(im, px(0.01 + step), px(0.0), RED_PX));
    EXPECT_TRUE(PixelIs(im, px(0.01 + step), px(0.035), RED_PX));
}

TEST(Trace, CountZeroDrawsNothingButSetsTheWidth)
{
    clear_to_white();
    glLineWidth(1.0f);
    const double values[3] = {0.5, 0.5, 0.5};
    const double scale = 1.0;
    draw_traces(Vec2{-0.5, 0.0}, 0.1, &scale, 1, 0, values, 3);
    settle_drawing_state();
    float width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 2.0f);
    EXPECT_EQ(read_back().count(WHITE_PX), FRAME_SIZE * FRAME_SIZE);
}

TEST(Trace, CountOneJoinsTwoSamplesAndIgnoresTheRest)
{
    clear_to_white();
    const double values[3] = {0.0, 1.0, -9.0};
    const double scale = 0.5;
    draw_traces(Vec2{-0.5, 0.0}, 0.2, &scale, 1, 1, values, 3);
    const Box b = bounding_box(read_back(), RED_PX);
    EXPECT_NEAR(b.x0, px(-0.5), 1);
    EXPECT_NEAR(b.x1, px(-0.3), 1);
    EXPECT_NEAR(b.y0, px(0.0), 2);
    EXPECT_NEAR(b.y1, px(0.5), 2);
}

TEST(Traces, RowsComeFromOneTableAndTheLaterCoversTheEarlier)
{
    static double table[TRACE_ROWS][TRACE_CAPACITY];
    for (int i = 0; i < TRACE_CAPACITY; ++i) {
        table[0][i] = 1.0;
        table[1][i] = 1.0;
    }
    const double scales[TRACE_ROWS] = {0.25, 0.25};
    clear_to_white();
    draw_traces(Vec2{-0.99, 0.0}, 0.005, scales, 2, 100, &table[0][0], TRACE_CAPACITY);
    Image im = read_back();
    EXPECT_EQ(im.count(RED_PX), 0);   // the green row drawn over it
    EXPECT_GT(im.count(GREEN_PX), 2 * 190);

    for (int i = 0; i < TRACE_CAPACITY; ++i)
        table[1][i] = -1.0;
    clear_to_white();
    draw_traces(Vec2{-0.99, 0.0}, 0.005, scales, 2, 100, &table[0][0], TRACE_CAPACITY);
    im = read_back();
    const Box red = bounding_box(im, RED_PX);
    const Box green = bounding_box(im, GREEN_PX);
    EXPECT_NEAR(red.y0, px(0.25) - 1, 1);
    EXPECT_NEAR(green.y0, px(-0.25) - 1, 1);
    EXPECT_NEAR(red.x1, px(-0.99 + 100 * 0.005), 1);
    EXPECT_NEAR(green.x1, px(-0.99 + 100 * 0.005), 1);
}

}  // namespace
