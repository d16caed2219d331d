// Whole frames, drawn by the real composition after a real dialog, and read back.
#include "display/frame.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/keyboard.h"
#include "app/run.h"
#include "app/show_frame.h"
#include "core/state.h"
#include "display/curve_plot.h"
#include "display/primitives.h"
#include "dynamics/harmonic_measure.h"
#include "platform/desktop/function_keys.h"
#include "platform/desktop/window.h"
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
    draw_next_frame();
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

// Of the blue pixels of a frame, the share that the given family's curves, drawn alone, cover.
double share_of_family(const Image& frame, const ResponsePoint (*curves)[CURVE_CAPACITY])
{
    clear_to_white();
    set_line_width(2.0f);   // the width the traces leave for the plot
    for (int k = 0; k < family_size; ++k)
        draw_amplitude_curve(&curve_origin, z_scale, amp_scale, amp_steps, curves[k], &BLUE);
    const Image alone = read_back();
    int blue = 0, shared = 0;
    for (int y = 0; y < FRAME_SIZE; ++y)
        for (int x = 0; x < FRAME_SIZE; ++x) {
            if (!frame.is(x, y, BLUE_PX))
                continue;
            ++blue;
            shared += alone.is(x, y, BLUE_PX) ? 1 : 0;
        }
    return blue > 0 ? static_cast<double>(shared) / blue : 0.0;
}

TEST(Frame, EachFamilyKeyShowsItsOwnCurvesAndLabels)
{
    const struct {
        unsigned char key;
        const ResponsePoint (*shown)[CURVE_CAPACITY];
        const ResponsePoint (*other)[CURVE_CAPACITY];
    } views[] = {{'e', eps_curves, force_curves}, {'E', force_curves, eps_curves}};
    for (const auto& v : views) {
        start_program(DEFAULT_INPUT);
        apply_view_key(v.key);
        draw_next_frame();
        const Image im = read_back();
        EXPECT_GT(im.count(BLUE_PX), 3000) << "key " << v.key;
        EXPECT_GT(im.count(TEXT_PX, px(-0.1), px(-0.16), px(0.8), px(-0.06)), 300) << "key " << v.key;
        // Nearly every blue pixel belongs to this family; the other family covers far fewer.
        EXPECT_GT(share_of_family(im, v.shown), 0.95) << "key " << v.key;
        EXPECT_LT(share_of_family(im, v.other), 0.6) << "key " << v.key;
    }
}

TEST(Frame, ThreeCrossingsGiveThreeDiscsOnTheGreenLine)
{
    start_program("0.5\n0.2 1\n0 0\n");
    ASSERT_EQ(crossing_count, 3);
    draw_next_frame();
    const Image im = read_back();
    // Above the arrow, three rows at which column x = 0.51 - 0.0075 turns green: one per disc.
    ASSERT_GT(std::sin(sim_time), 0.0);
    const std::vector<int> runs = run_starts(im, px(0.51) - 3, GREEN_PX, px(0.0));
    ASSERT_EQ(runs.size(), 3u);
    const double amplitudes[3] = {0.418208, 1.757804, 2.1765};
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(runs[i], px(0.25 * amplitudes[i]) - 3, 2) << "disc " << i;
}

// The force arrow's point lies 0.03 inside the mass, on the side the arrow comes from: below
// the centre while sin(z t) > 0 (pointing up), above it while sin(z t) < 0 (pointing down).
TEST(Frame, ArrowPointsWithTheForceFromInsideTheMass)
{
    start_program("0.1\n0.5 0.5\n0 0\n");   // the green line at z = 0.5 stays clear of the mass
    for (int frame = 1; frame <= 80; ++frame) {
        draw_next_frame();
        const double s = std::sin(freq_ratio * sim_time);
        if (frame != 40 && frame != 80)   // sin(0.5 t) > 0 at t = 4, < 0 at t = 8
            continue;
        const Image im = read_back();
        // Green rows around the arrow's axis (x = 0.5), between the mass and the window edges.
        int lowest = FRAME_SIZE, highest = -1;
        for (int y = 0; y < FRAME_SIZE; ++y)
            for (int x = px(0.5) - 3; x <= px(0.5) + 3; ++x)
                if (im.is(x, y, GREEN_PX)) {
                    lowest = std::min(lowest, y);
                    highest = std::max(highest, y);
                }
        const double centre = 0.25 * state[0];
        // The point narrows to a needle over its last pixels.
        if (s > 0.0)
            EXPECT_NEAR(highest, px(centre - 0.03), 3) << "frame " << frame;
        else
            EXPECT_NEAR(lowest, px(centre + 0.03), 3) << "frame " << frame;
        // Only the head (0.3 x 0.25 x |sin| < 0.1), which covers its axis 0.1 back from the point.
        EXPECT_NEAR(highest - lowest, 0.1 * FRAME_SIZE / 2, 3) << "frame " << frame;
        EXPECT_EQ(s > 0.0, frame == 40);
    }
}

TEST(Frame, PictureLagsOneFrameBehindTheScaleKey)
{
    // No forcing, so the curve is empty around the mass; y0 = 2 swings the mass far.
    start_program("0.1\n0 1\n2 0\n");
    for (int i = 0; i < 30; ++i)
        draw_next_frame();
    apply_view_key('y');
    draw_next_frame();
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

// The process's first frame draws the string 1 pixel wide, a new renderer's width; every later
// frame 2, the width the frame before left. A frame drawn again is drawn the same, whatever
// width was set in between.
TEST(Frame, OnlyTheProcessFirstFrameDrawsTheStringThin)
{
    start_program("0.1\n0 1\n1 0\n");   // no forcing, no curve near the string; y0 lifts it
    const int column = px(0.25);             // a quarter of the way up to the mass
    for (int frame = 1; frame <= 2; ++frame) {
        draw_next_frame();
        const int width = read_back().count(RED_PX, column, px(0.02), column, px(0.24));
        EXPECT_EQ(width, frame == 1 ? 1 : 2) << "frame " << frame;
        set_line_width(5.0f);
        draw_frame();
        EXPECT_EQ(read_back().count(RED_PX, column, px(0.02), column, px(0.24)), width)
            << "frame " << frame << " drawn again";
    }
}

TEST(Frame, TheWrapFrameDrawsNoTrace)
{
    start_program(DEFAULT_INPUT);
    for (int i = 0; i < 200; ++i)
        draw_next_frame();
    EXPECT_EQ(trace_index, 200);
    Image im = read_back();
    EXPECT_GT(im.count(GREEN_PX, 0, 0, px(0.0), FRAME_SIZE - 1), 400);

    draw_next_frame();
    EXPECT_EQ(trace_index, 0);
    im = read_back();
    EXPECT_EQ(im.count(GREEN_PX, 0, 0, px(0.0), FRAME_SIZE - 1), 0);
    EXPECT_EQ(im.count(RED_PX, 0, 0, px(0.0) - 1, FRAME_SIZE - 1), 0);

    draw_next_frame();   // one segment from the origin; the old sweep is not shown again
    im = read_back();
    EXPECT_GT(im.count(GREEN_PX, 0, 0, px(-0.99 + 0.005) + 1, FRAME_SIZE - 1), 0);
    EXPECT_EQ(im.count(GREEN_PX, px(-0.99 + 0.005) + 2, 0, px(0.0) - 1, FRAME_SIZE - 1), 0);
}

TEST(Frame, EveryFrameStartsWhiteWithAnIdentityModelview)
{
    start_program(DEFAULT_INPUT);
    draw_disc(Vec2{0.95, -0.95}, 0.1, BLACK);   // left over from an earlier frame
    glTranslated(0.5, 0.5, 0.0);
    draw_next_frame();
    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0 : 0.0);
    const Image im = read_back();
    EXPECT_TRUE(PixelIs(im, 780, 20, WHITE_PX));
    EXPECT_TRUE(PixelIs(im, 799, px(0.25 * 1.41421356), BLACK_PX));   // not shifted
}

// The layers at eps = 0.5, F = 0.2, z = 1, where z meets the curve three times: the stability
// layer rings the unstable and the saddle crossing (two pixels left of the green line, white
// inside a ring), dashes the saddle part of the curve in magenta and writes its legend; the
// measured layer puts an x on the stable disc and its bar beside it, and writes its legend.
// Each layer's marks are there exactly when it is on.
constexpr const char* LAYERS_INPUT = "0.5\n0.2 1\n0 0\n";
constexpr Rgb SADDLE_PX = {204, 0, 204};

// More than `least` pixels where shown, none where not.
::testing::AssertionResult Shown(int pixels, bool shown, int least)
{
    if (shown ? pixels > least : pixels == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << pixels << " pixels, " << (shown ? "shown" : "not shown");
}

void expect_layer_marks(const Image& im, bool stability, bool measured, const std::string& what)
{
    const int stability_legend = im.count(TEXT_PX, px(-0.1), px(-0.47), px(0.8), px(-0.275));
    const int measured_legend = im.count(TEXT_PX, px(-0.1), px(-0.62), px(0.8), px(-0.505));
    EXPECT_TRUE(Shown(stability_legend, stability, 1000)) << what << ": stability legend";
    EXPECT_TRUE(Shown(im.count(SADDLE_PX), stability, 50)) << what << ": saddle dashes";
    EXPECT_EQ(im.is(px(0.51) - 2, px(0.25 * 0.418208), WHITE_PX), stability) << what << ": unstable";
    EXPECT_EQ(im.is(px(0.51) - 2, px(0.25 * 1.757804), WHITE_PX), stability) << what << ": saddle";
    EXPECT_TRUE(PixelIs(im, px(0.51) - 4, px(0.25 * 2.1765), GREEN_PX)) << what << ": stable";

    EXPECT_TRUE(Shown(measured_legend, measured, 500)) << what << ": measured legend";
    double r = 0.0;
    ASSERT_TRUE(last_measured_amplitude(&r)) << what;
    EXPECT_EQ(im.is(px(0.51), px(0.25 * r), BLACK_PX), measured) << what << ": the x's centre";
    if (measured) {
        EXPECT_TRUE(PixelIs(im, px(0.53), px(0.25 * r), BLACK_PX)) << what << ": the bar";
    }
}

// Both layers, and the motion with the layers toggled on the way is, bit for bit, the motion
// without them.
TEST(Frame, LayersDrawOverThePlainPictureAndLeaveTheMotionAlone)
{
    start_program(LAYERS_INPUT);
    for (int i = 0; i < 1000; ++i)
        draw_next_frame();
    const double plain[3] = {state[0], state[1], sim_time};
    double plain_measure[MEASURED_PERIODS + 2];
    std::memcpy(plain_measure, measured_amps, sizeof measured_amps);
    std::memcpy(plain_measure + MEASURED_PERIODS, harmonic_sums, sizeof harmonic_sums);
    expect_layer_marks(read_back(), false, false, "no layer");
    start_program(LAYERS_INPUT);
    // Shown as the window shows frames, with the picture saved (drawn again) now and then:
    // neither the layers nor the redraws may move the motion or its measure.
    for (int i = 0; i < 1000; ++i) {
        stability_shown = i % 300 < 200;
        measured_shown = i % 70 > 20;
        show_frame();
        if (i % 97 == 3) {
            ASSERT_TRUE(draw_shown_frame_again());
        }
    }
    const double layered[3] = {state[0], state[1], sim_time};
    EXPECT_EQ(std::memcmp(plain, layered, sizeof plain), 0);
    EXPECT_EQ(std::memcmp(plain_measure, measured_amps, sizeof measured_amps), 0);
    EXPECT_EQ(std::memcmp(plain_measure + MEASURED_PERIODS, harmonic_sums, sizeof harmonic_sums), 0);
    stability_shown = measured_shown = true;
    draw_frame();
    expect_layer_marks(read_back(), true, true, "both layers");
}

// One layer alone, turned on each way there is: its flag, its function key, and its option
// on the command line (the program's snapshot, to the pixel).
TEST(Frame, EachLayerAloneDrawsItsOwnMarksOnly)
{
    constexpr long FRAMES = 400;
    const struct {
        const char* option;
        int key;
        bool stability;
    } layers[] = {{"--stability", GLUT_KEY_F3, true}, {"--measured", GLUT_KEY_F4, false}};
    for (const auto& layer : layers) {
        start_program(LAYERS_INPUT);
        advance_frames(FRAMES - 1);
        (layer.stability ? stability_shown : measured_shown) = true;
        draw_next_frame();
        const Image by_flag = read_back();
        expect_layer_marks(by_flag, layer.stability, !layer.stability, layer.option);

        start_program(LAYERS_INPUT);
        advance_frames(FRAMES - 1);
        on_special_key(layer.key, 0, 0);
        EXPECT_EQ(stability_shown, layer.stability) << layer.option;
        EXPECT_EQ(measured_shown, !layer.stability) << layer.option;
        draw_frame();   // the frame the key showed, into the buffer that can be read
        EXPECT_EQ(compare_frames(read_back(), by_flag).pixels, 0) << layer.option << "'s key";

        const std::string options = "--eps 0.5 --force 0.2 --z 1 --frames " +
                                    std::to_string(FRAMES - 1) + " " + layer.option;
        Image written;
        ASSERT_TRUE(program_snapshot(VDP_PROGRAM, options, &written));
        EXPECT_EQ(compare_frames(written, by_flag).pixels, 0) << options;
    }
    stability_shown = measured_shown = false;
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
