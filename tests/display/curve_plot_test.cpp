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

void plot_computed(double eps, double force)
{
    static ResponsePoint curve[CURVE_CAPACITY];
    static ResponsePoint folds[FOLD_CAPACITY];
    int fold_count = 0;
    epsilon = eps;
    force_amp = force;
    compute_amplitude_curve(0.005, 800, curve, &fold_count, folds);
    clear_to_white();
    const Vec2 origin = {0.01, 0.0};
    draw_amplitude_curve(&origin, 0.5, 0.25, 800, curve, &RED);
    settle_drawing_state();
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
