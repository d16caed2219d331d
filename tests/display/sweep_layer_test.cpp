// The sweep's trail, its strip and the state line, drawn by the real composition over records
// put in by hand, and read back. z lies at x = 0.01 + 0.5 z, amplitude R at y = 0.25 R; the
// strip (F4 off) from y = -0.98 to -0.79, rotation 0 ... 1.5.
#include "display/sweep_layer.h"

#include "app/sweep.h"
#include "core/state.h"
#include "display/frame.h"
#include "tests/support/gl_window.h"

namespace {

constexpr Rgb DOWN_PX = {51, 153, 255};   // 0.2, 0.6, 1.0
constexpr Rgb BAND_PX = {217, 217, 217};

int zx(double z) { return px(0.01 + 0.5 * z); }
int ry(double r) { return px(0.25 * r); }
int rho_row(double rho) { return px(-0.98 + 0.19 * rho / 1.5); }

TEST(SweepLayer, TrailStripAndBandDrawEachRecordInItsStyle)
{
    start_program("0.1\n0.2 1\n0 0\n");   // harmonic balance: stable 1:1 for 0.94 < z < 1.06
    using enum MotionState;
    const struct {
        bool up;
        double z;
        MotionState state;
        double r, rho;
    } records[] = {{true, 0.30, locked, 3.003, 1.0}, {true, 0.36, locked, 3.003, 1.0},   // joined
                   {true, 0.42, locked, 3.6, 1.0},                                        // a jump
                   {true, 0.60, drifting, 3.0, 0.5}, {false, 1.70, locked, 3.0, 1.0},
                   {false, 1.80, drifting, 3.0, 0.5}};
    sweep_record_count = 0;
    for (const auto& r : records)
        sweep_records[sweep_record_count++] = {
            r.up, r.z, {r.state, r.state == locked ? 1 : 0, r.rho, 0.0, 0.0}, r.r, -1};
    draw_frame();
    const Image im = read_back();
    const struct {
        int x, y;
        Rgb c;
        const char* what;
    } probes[] = {
        {zx(0.30), ry(3.003), BLACK_PX, "up, locked: filled"},
        {zx(0.30), ry(3.003) + 3, BLACK_PX, "up: the larger mark"},
        {zx(0.60), ry(3.0), WHITE_PX, "up, drifting: open"},
        {zx(0.60) + 3, ry(3.0), BLACK_PX, "up, drifting: its rim"},
        {zx(1.70), ry(3.0), DOWN_PX, "down, locked: filled"},
        {zx(1.70), ry(3.0) + 3, WHITE_PX, "down: the smaller mark"},
        {zx(1.80), ry(3.0), WHITE_PX, "down, drifting: open"},
        {zx(0.33), ry(3.003), BLACK_PX, "a branch joined"},
        {zx(0.30), rho_row(1.0), BLACK_PX, "strip, up at its rotation"},
        {zx(1.70), rho_row(1.0), DOWN_PX, "strip, down at its rotation"},
        {zx(0.97), rho_row(1.3), BAND_PX, "within the band"},
        {zx(0.90), rho_row(1.3), WHITE_PX, "below the band"},
        {zx(1.30), rho_row(1.3), WHITE_PX, "above the band"},
    };
    for (const auto& p : probes)
        EXPECT_TRUE(PixelIs(im, p.x, p.y, p.c)) << p.what;
    EXPECT_GT(im.count(DOWN_PX, zx(1.80) - 5, ry(3.0) - 5, zx(1.80) + 5, ry(3.0) + 5), 6) << "a rim";
    EXPECT_EQ(im.count(BLACK_PX, zx(0.39) - 3, ry(3.3) - 3, zx(0.39) + 3, ry(3.3) + 3), 0) << "a jump";
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
    const auto text_in = [](double x0, double y0, double x1, double y1) {
        return read_back().count(TEXT_PX, px(x0), px(y0), px(x1), px(y1));
    };
    start_program("0.1\n0.2 1\n0 0\n");
    measured_shown = true;
    draw_next_frame();
    EXPECT_EQ(text_in(-0.1, -0.652, 0.9, -0.625), 0);
    change_forcing_ratio(1.005);
    draw_next_frame();
    EXPECT_GT(text_in(-0.1, -0.652, 0.9, -0.625), 100);
    measured_shown = false;
    draw_frame();
    EXPECT_EQ(text_in(-0.1, -0.652, 0.9, -0.625), 0);

    ASSERT_TRUE(start_sweep(1.0, 1.1, SWEEP_DEFAULT_STEP));
    draw_next_frame();
    EXPECT_GT(text_in(0.0, 0.92, 0.99, 0.99), 100);
    stop_sweep();
    draw_frame();
    EXPECT_EQ(text_in(0.0, 0.92, 0.99, 0.99), 0);
}

}  // namespace
