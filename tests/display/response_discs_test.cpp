// The stability layer's discs at the exact responses, its note on responses above the curve,
// and its texts for a negative eps, read back from real frames.
#include <GL/gl.h>
#include <string>

#include "core/state.h"
#include "display/frame.h"
#include "display/primitives.h"
#include "response/balance_roots.h"
#include "response/stability.h"
#include "tests/support/gl_window.h"

namespace {

constexpr int TEXT_ROWS = 20;   // a label's glyphs lie within its baseline's row -5 ... +14

// Whether the text pixels of rows around baseline row ya (from column xa) in a are those
// around row yb (from column xb) in b, over width columns.
bool same_text(const Image& a, int xa, int ya, const Image& b, int xb, int yb, int width)
{
    for (int dy = -5; dy < TEXT_ROWS - 5; ++dy)
        for (int dx = 0; dx < width; ++dx)
            if (a.is(xa + dx, ya + dy, TEXT_PX) != b.is(xb + dx, yb + dy, TEXT_PX))
                return false;
    return true;
}

// A text drawn alone at (x, y), as the frame's labels are drawn.
Image text_alone(double x, double y, const char* text)
{
    clear_to_white();
    draw_text(static_cast<float>(x), static_cast<float>(y), Font::helvetica_18, text);
    settle_drawing_state();
    return read_back();
}

Image frame_of(const char* input, bool stability, bool measured, double scale)
{
    start_program(input);
    stability_shown = stability;
    measured_shown = measured;
    amp_scale = scale;
    draw_frame();
    const Image im = read_back();
    stability_shown = measured_shown = false;
    return im;
}

// Locked at R = 6 above a curve that ends at 4; a saddle at a closed loop's foot between two
// samples; below the lowest z the curve's samples reach.
TEST(ResponseDiscs, EveryExactResponseGetsItsDiscOnlyUnderTheLayer)
{
    const struct {
        const char* input;
        double eps, force, z, scale;
    } cases[] = {{"0.1\n5 1.2\n0 0\n", 0.1, 5.0, 1.2, 0.1},
                 {"1\n0.5 0.977\n0 0\n", 1.0, 0.5, 0.977, 0.4},
                 {"0.1\n0.5 0.1\n0 0\n", 0.1, 0.5, 0.1, 0.25}};
    for (const auto& c : cases) {
        double r[RESPONSE_ROOT_CAPACITY];
        const int n = response_amplitudes(c.eps, c.force, c.z, r);
        const Image layer = frame_of(c.input, true, false, c.scale);
        const Image plain = frame_of(c.input, false, false, c.scale);
        const int x = px(0.01 + 0.5 * c.z);
        ASSERT_GT(n, 0) << c.input;
        for (int i = 0; i < n; ++i) {
            const bool filled = classify_response(c.eps, c.z, r[i]) == ResponseClass::stable;
            // Two pixels beside the green line: a filled disc green, a ring white inside.
            EXPECT_TRUE(PixelIs(layer, x - 2, px(c.scale * r[i]), filled ? GREEN_PX : WHITE_PX))
                << c.input << " response " << i;
            EXPECT_TRUE(PixelIs(layer, x - 4, px(c.scale * r[i]), GREEN_PX)) << c.input << i;
        }
        // The note names the responses above the curve, in the legend's fifth row.
        const bool above = r[n - 1] > 4.0;
        EXPECT_EQ(layer.count(TEXT_PX, px(-0.1), px(-0.5) - 5, px(0.9), px(-0.5) + 14) > 100,
                  above) << c.input;
        if (above) {
            EXPECT_TRUE(PixelIs(plain, x - 4, px(c.scale * r[n - 1]), WHITE_PX)) << c.input;
        }
    }
}

TEST(ResponseDiscs, ForANegativeEpsTheTextsPutTheUnstablePartAbove)
{
    const Image im = frame_of("-0.3\n0.2 1\n0 0\n", true, false, 0.25);
    EXPECT_TRUE(same_text(im, px(0.0), px(-0.4),
                          text_alone(0.0, -0.4, "unstable (above the black line)"), px(0.0),
                          px(-0.4), px(0.9) - px(0.0)));
    EXPECT_TRUE(same_text(im, px(-0.1), px(-0.2),
                          text_alone(-0.1, -0.2, "black line : unstable above this line(=1.414)"),
                          px(-0.1), px(-0.2), px(0.95) - px(-0.1)));
}

// At eps = 0 the legend has its neutral row, and a note below it: the measured legend moves
// down one row rather than under the note.
TEST(ResponseDiscs, TheNoteNeverCoversTheMeasuredLegend)
{
    const char* input = "0\n1 1.1\n0 0\n";   // R = 1 / 0.21, above 4
    const Image both = frame_of(input, true, true, 0.25);
    EXPECT_GT(both.count(TEXT_PX, px(-0.1), px(-0.55) - 5, px(0.9), px(-0.55) + 14), 100);
    const struct {
        double row;
        const char* text;
    } lines[] = {{-0.6, "measured 1st harmonic, last period"}, {-0.65, "its range, last 10 periods"}};
    for (const auto& line : lines)
        EXPECT_TRUE(same_text(both, px(0.0), px(line.row), text_alone(0.0, line.row, line.text),
                              px(0.0), px(line.row), px(0.9) - px(0.0))) << line.text;
}

}  // namespace
