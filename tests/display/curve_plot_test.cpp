// Amplitude curve plotting: the branch lists of real curves and the connectors on screen.
#include "display/curve_plot.h"

#include <GL/gl.h>
#include <vector>

#include "core/state.h"
#include "display/primitives.h"
#include "response/amplitude_curve.h"
#include "tests/support/gl_window.h"

namespace {

std::vector<int> ends()
{
    return std::vector<int>(branch_ends, branch_ends + branch_end_count);
}

std::vector<int> starts()
{
    return std::vector<int>(branch_starts, branch_starts + branch_start_count);
}

const Vec2 ORIGIN = {0.01, 0.0};   // the plot's, with z 0.5 and amplitude 0.25 per unit

// The curve for eps and force, drawn plain in red; returned for drawing again.
const ResponsePoint* plot_computed(double eps, double force)
{
    static ResponsePoint curve[CURVE_CAPACITY];
    static ResponsePoint folds[FOLD_CAPACITY];
    int fold_count = 0;
    epsilon = eps;
    force_amp = force;
    compute_amplitude_curve(0.005, 800, curve, &fold_count, folds);
    clear_to_white();
    draw_amplitude_curve(&ORIGIN, 0.5, 0.25, 800, curve, &RED);
    settle_drawing_state();
    return curve;
}

TEST(AmplitudeCurvePlot, BranchListsOfComputedCurves)
{
    plot_computed(0.1, 0.5);
    EXPECT_EQ(ends(), (std::vector<int>{646}));
    EXPECT_EQ(starts(), (std::vector<int>{101}));

    plot_computed(0.5, 0.2);
    EXPECT_EQ(ends(), (std::vector<int>{90, 437}));
    EXPECT_EQ(starts(), (std::vector<int>{41, 352}));

    plot_computed(2.0, 0.5);
    EXPECT_EQ(ends(), (std::vector<int>{424}));
    EXPECT_EQ(starts(), (std::vector<int>{372}));

    plot_computed(0.0, 4.0);   // no lower root anywhere
    EXPECT_TRUE(ends().empty());
    EXPECT_TRUE(starts().empty());
}

// The stability layer's curve at eps = 0.5, F = 0.2, which z = 1 meets three times. At z = 1
// the determinant is eps^2 (1 - R^2/4)(1 - 3 R^2/4) and the trace eps (1 - R^2/2): R = 0.418
// is unstable (both factors and the trace positive), R = 1.758 a saddle (factors of opposite
// signs), R = 2.1765 stable (both factors and the trace negative). Around each, the curve
// drawn plain is drawn in that class's colour and no other: dotted, dashed, or solid.
TEST(ClassifiedCurvePlot, AroundEachRootTheStyleOfItsClass)
{
    set_line_width(1.0f);
    const ResponsePoint* curve = plot_computed(0.5, 0.2);
    const Image plain = read_back();
    clear_to_white();
    draw_classified_curve(&ORIGIN, 0.5, 0.25, 800, curve, 0.5);
    const Image styled = read_back();
    constexpr Rgb MAGENTA = {204, 0, 204};
    constexpr Rgb ORANGE = {204, 102, 0};
    const struct {
        double R;
        Rgb colour;
        bool broken;
    } roots[] = {{0.418208, ORANGE, true}, {1.757804, MAGENTA, true}, {2.1765, RED_PX, false}};
    for (const auto& root : roots) {
        const int x0 = px(0.51) - 10, y0 = px(0.25 * root.R) - 10, x1 = x0 + 20, y1 = y0 + 20;
        const int drawn = plain.count(RED_PX, x0, y0, x1, y1);
        ASSERT_GT(drawn, 15) << "R = " << root.R;
        // Every pixel of the box is the class's colour or the background.
        const int own = styled.count(root.colour, x0, y0, x1, y1);
        EXPECT_EQ(own + styled.count(WHITE_PX, x0, y0, x1, y1), 21 * 21) << "R = " << root.R;
        if (root.broken) {
            EXPECT_GT(own, 2) << "R = " << root.R;
            EXPECT_LT(own, drawn - 2) << "R = " << root.R;
        } else {
            EXPECT_EQ(own, drawn) << "R = " << root.R;
        }
    }
}

// Upper branch at z = 1.5 and lower branch at z = 0.5 for amplitudes 0.5 i: a connector is
// the only thing that can reach z = 1.
constexpr double Z_UP = 1.5;
constexpr double Z_DOWN = 0.5;

ResponsePoint sample(int i, bool lower)
{
    return ResponsePoint{Z_UP, lower ? Z_DOWN : NO_ROOT, 0.1 * i};
}

int connector_row(int i)
{
    return px(-0.9 + 0.1 * i);
}

TEST(AmplitudeCurvePlot, ConnectorsCloseEveryFoldButTheFirstStart)
{
    // Lower branch present at 2 ... 4, 7 ... 9 and 12 ... 13.
    std::vector<ResponsePoint> curve;
    for (int i = 0; i <= 14; ++i)
        curve.push_back(sample(i, (i >= 2 && i <= 4) || (i >= 7 && i <= 9) || (i >= 12 && i <= 13)));
    curve[0] = ResponsePoint{100.0, NO_ROOT, 0.0};
    clear_to_white();
    glLineWidth(2.0f);
    const Vec2 origin = {-0.5, -0.9};
    draw_amplitude_curve(&origin, 0.5, 1.0, 14, curve.data(), &BLUE);
    const Image im = read_back();
    EXPECT_EQ(ends(), (std::vector<int>{4, 9, 13}));
    EXPECT_EQ(starts(), (std::vector<int>{2, 7, 12}));
    const int mid = px(-0.5 + 0.5 * 1.0);
    for (int i = 0; i <= 14; ++i) {
        const bool connected = i == 4 || i == 9 || i == 13 || i == 7 || i == 12;
        const bool drawn = im.is(mid, connector_row(i), BLUE_PX) || im.is(mid, connector_row(i) - 1, BLUE_PX);
        EXPECT_EQ(drawn, connected) << "sample " << i;
    }
    // Both branches run as polylines: lower between samples 2 and 4, upper from sample 1 on.
    EXPECT_TRUE(PixelIs(im, px(-0.5 + 0.5 * Z_DOWN), px(-0.9 + 0.25), BLUE_PX) ||
                PixelIs(im, px(-0.5 + 0.5 * Z_DOWN) - 1, px(-0.9 + 0.25), BLUE_PX));
    EXPECT_FALSE(im.is(px(-0.5 + 0.5 * Z_DOWN), px(-0.9 + 0.55), BLUE_PX) ||
                 im.is(px(-0.5 + 0.5 * Z_DOWN) - 1, px(-0.9 + 0.55), BLUE_PX));
    EXPECT_TRUE(PixelIs(im, px(-0.5 + 0.5 * Z_UP), px(-0.9 + 1.05), BLUE_PX) ||
                PixelIs(im, px(-0.5 + 0.5 * Z_UP) - 1, px(-0.9 + 1.05), BLUE_PX));
}

TEST(AmplitudeCurvePlot, ListsStopAtTheirCapacity)
{
    // Twelve runs of one present sample each: twelve starts and twelve ends.
    std::vector<ResponsePoint> curve;
    for (int i = 0; i <= 24; ++i)
        curve.push_back(sample(i, i % 2 == 1));
    clear_to_white();
    const Vec2 origin = {-0.5, -0.9};
    draw_amplitude_curve(&origin, 0.5, 0.25, 24, curve.data(), &BLUE);
    settle_drawing_state();
    EXPECT_EQ(ends(), (std::vector<int>{1, 3, 5, 7}));
    EXPECT_EQ(starts(), (std::vector<int>{1, 3, 5, 7}));
}

TEST(AmplitudeCurvePlot, ZeroRatioNeitherStartsNorEndsARun)
{
    std::vector<ResponsePoint> curve;
    for (int i = 0; i <= 6; ++i)
        curve.push_back(sample(i, true));
    curve[3].z_low = 0.0;
    clear_to_white();
    const Vec2 origin = {-0.5, -0.9};
    draw_amplitude_curve(&origin, 0.5, 0.25, 6, curve.data(), &BLUE);
    settle_drawing_state();
    EXPECT_TRUE(ends().empty());
    EXPECT_TRUE(starts().empty());
}

}  // namespace
