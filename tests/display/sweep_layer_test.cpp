// The sweep's trail, its strip and the state line, drawn by the real composition over records
// put in by hand, and read back. z lies at x = 0.01 + 0.5 z, amplitude R at y = 0.25 R; the
// strip (F4 off) from y = -0.98 to -0.79, rotation 0 ... 1.5.
#include "display/sweep_layer.h"

#include <cmath>

#include "app/sweep.h"
#include "core/state.h"
#include "display/frame.h"
#include "tests/support/gl_window.h"

namespace {

constexpr Rgb DOWN_PX = {51, 153, 255};   // 0.2, 0.6, 1.0
constexpr Rgb BAND_PX = {217, 217, 217};

int zx(double z)
{
    return px(0.01 + 0.5 * z);
}

int ry(double r)
{
    return px(0.25 * r);
}

int rho_row(double rho)
{
    return px(-0.98 + 0.19 * rho / 1.5);
}

SweepRecord record(bool up, double z, MotionState state, double r, double rho)
{
    return {up, z, {state, state == MotionState::locked ? 1 : 0, rho, NAN, NAN}, r, -1};
}

// Pixels of colour c within d pixels of (x, y).
int around(const Image& im, int x, int y, Rgb c, int d = 5)
{
    return im.count(c, x - d, y - d, x + d, y + d);
}

TEST(SweepLayer, TrailStripAndBandDrawEachRecordInItsStyle)
{
    start_program("0.1\n0.2 1\n0 0\n");   // harmonic balance: stable 1:1 for 0.94 < z < 1.06
    draw_next_frame();
    EXPECT_EQ(read_back().count(DOWN_PX) + read_back().count(BAND_PX), 0) << "no sweep, no layer";
    using enum MotionState;
    const SweepRecord records[] = {
        record(true, 0.30, locked, 3.003, 1.0),   // joined to the next: one level
        record(true, 0.36, locked, 3.003, 1.0),
        record(true, 0.42, locked, 3.6, 1.0),     // a jump of 0.6: no join
        record(true, 0.60, drifting, 3.0, 0.5),
        record(false, 1.70, locked, 3.0, 1.0),
        record(false, 1.80, drifting, 3.0, 0.5),
    };
    std::copy(std::begin(records), std::end(records), sweep_records);
    sweep_record_count = static_cast<int>(std::size(records));
    draw_frame();
    const Image im = read_back();
    // Locked marks filled, the others open: the way up black, the way down light blue.
    EXPECT_TRUE(PixelIs(im, zx(0.30), ry(3.003), BLACK_PX));
    EXPECT_TRUE(PixelIs(im, zx(0.60), ry(3.0), WHITE_PX));
    EXPECT_GT(around(im, zx(0.60), ry(3.0), BLACK_PX), 12);
    EXPECT_TRUE(PixelIs(im, zx(1.70), ry(3.0), DOWN_PX));
    EXPECT_TRUE(PixelIs(im, zx(1.80), ry(3.0), WHITE_PX));
    EXPECT_GT(around(im, zx(1.80), ry(3.0), DOWN_PX), 6);
    // The way down's marks are the smaller: three pixels above the centre, nothing of them.
    EXPECT_TRUE(PixelIs(im, zx(0.30), ry(3.003) + 3, BLACK_PX));
    EXPECT_TRUE(PixelIs(im, zx(1.70), ry(3.0) + 3, WHITE_PX));
    // A branch is joined, a jump is a gap.
    EXPECT_TRUE(PixelIs(im, zx(0.33), ry(3.003), BLACK_PX));
    EXPECT_EQ(around(im, zx(0.39), ry(3.3), BLACK_PX, 3), 0);
    // The strip: each record at its rotation, in its style and half the size.
    EXPECT_TRUE(PixelIs(im, zx(0.30), rho_row(1.0), BLACK_PX));
    EXPECT_TRUE(PixelIs(im, zx(1.70), rho_row(1.0), DOWN_PX));
    EXPECT_GT(around(im, zx(0.60), rho_row(0.5), BLACK_PX, 3), 4);
    EXPECT_TRUE(PixelIs(im, zx(0.60), rho_row(0.5), WHITE_PX));   // open
    EXPECT_GT(around(im, zx(1.80), rho_row(0.5), DOWN_PX, 2), 0);
    // Shaded within the band only, over the strip's height and nowhere else.
    EXPECT_TRUE(PixelIs(im, zx(0.97), rho_row(1.3), BAND_PX));
    EXPECT_TRUE(PixelIs(im, zx(0.97), rho_row(0.1), BAND_PX));
    EXPECT_TRUE(PixelIs(im, zx(0.90), rho_row(1.3), WHITE_PX));
    EXPECT_TRUE(PixelIs(im, zx(1.30), rho_row(1.3), WHITE_PX));
    EXPECT_TRUE(PixelIs(im, zx(0.97), px(-0.995), WHITE_PX));
    const Box grey = bounding_box(im, BAND_PX);
    EXPECT_NEAR(grey.x0, zx(0.94), 2);
    EXPECT_NEAR(grey.x1, zx(1.06), 2);
    sweep_record_count = 0;
}

// F4's state line comes once there is something to say: not at a fixed z while the motion
// settles (F4's layer then is what it always was), at once after a change of z, and never
// without F4. The sweep's own line shows only while it runs.
TEST(SweepLayer, StateLineWithFourOnceDecidedOrZChangedAndTheRunningLine)
{
    const auto state_text = [] {
        return read_back().count(TEXT_PX, px(-0.1), px(-0.652), px(0.9), px(-0.625));
    };
    const auto running_text = [] {
        return read_back().count(TEXT_PX, px(0.0), px(0.92), px(0.99), px(0.99));
    };
    start_program("0.1\n0.2 1\n0 0\n");
    measured_shown = true;
    draw_next_frame();
    EXPECT_EQ(state_text(), 0);
    change_forcing_ratio(1.005);
    draw_next_frame();
    EXPECT_GT(state_text(), 100);
    measured_shown = false;
    draw_frame();
    EXPECT_EQ(state_text(), 0);

    start_program("0.1\n0.2 1\n0 0\n");
    ASSERT_TRUE(start_sweep(1.0, 1.1, SWEEP_DEFAULT_STEP));
    draw_next_frame();
    EXPECT_GT(running_text(), 100);
    stop_sweep();
    draw_frame();
    EXPECT_EQ(running_text(), 0);
}

}  // namespace
