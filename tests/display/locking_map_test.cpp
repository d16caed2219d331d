// The locking map drawn for real: each class's colour, the 1:1 hatch, the harmonic-balance
// outline, the axes, rows drawn only once finished; --map-snapshot against the window's map
// and its stored image; F8, a click and a dialog through the window's own callbacks.
#include <GL/freeglut.h>

#include <chrono>
#include <cmath>
#include <string>

#include "app/keyboard.h"
#include "app/locking_map.h"
#include "core/state.h"
#include "display/frame.h"
#include "display/locking_map.h"
#include "dynamics/locking_map.h"
#include "platform/desktop/function_keys.h"
#include "platform/desktop/map_threads.h"
#include "response/stability.h"
#include "tests/support/gl_window.h"

namespace {

constexpr const char* INPUT = "0.3\n0.5 1\n0.1 0\n";
// The stored map: eps = 0.3 from (0.1, 0), a small grid over the tip of the 1:1 tongue.
constexpr const char* GOLDEN_OPTIONS = "--eps 0.3 --y0 0.1 --v0 0 --map-z 0.8:1.2:21 --map-force 0:0.5:11";
constexpr MapAxis GOLDEN_Z = {0.8, 1.2, 21};
constexpr MapAxis GOLDEN_FORCE = {0.0, 0.5, 11};

Rgb pixel_of(const Color4& c)
{
    return {static_cast<int>(std::lround(c.r * 255.0f)), static_cast<int>(std::lround(c.g * 255.0f)),
            static_cast<int>(std::lround(c.b * 255.0f))};
}

// Pixel column and row (from the bottom) of a point of the plot: z across, F up, each cell
// as wide as the axis's step.
int column_of(const MapAxis& z, double at)
{
    const double half = 0.5 * (z.to - z.from) / (z.count - 1);
    return px(MAP_PLOT_LEFT + (at - z.from + half) / (z.to - z.from + 2.0 * half) * (MAP_PLOT_RIGHT - MAP_PLOT_LEFT));
}

int row_of(const MapAxis& force, double at)
{
    const double half = 0.5 * (force.to - force.from) / (force.count - 1);
    return px(MAP_PLOT_BOTTOM + (at - force.from + half) / (force.to - force.from + 2.0 * half) *
                                    (MAP_PLOT_TOP - MAP_PLOT_BOTTOM));
}

void use_grid(MapAxis z, MapAxis force)
{
    map_z_axis = z;
    map_force_axis = force;
}

void leave_map()
{
    map_shown = false;
    use_grid(MAP_DEFAULT_Z, MAP_DEFAULT_FORCE);
}

MapVerdict verdict(MapClass c, int period, double rotation)
{
    return {c, {MotionState::settling, period, rotation, NAN, NAN}, NAN, 0};
}

TEST(LockingMapPicture, EachClassItsColourTheHatchTheOutlineAndOnlyFinishedRows)
{
    start_program(INPUT);
    const MapAxis z = {0.8, 1.3, 6}, force = {0.0, 0.4, 5};
    use_grid(z, force);
    begin_map_job(current_map_run(), true, false);
    // Columns by class: drifting, 1:1, 1:3, settling, rest, 2:1; the top row not computed.
    const MapVerdict columns[] = {verdict(MapClass::drifting, 0, NAN), verdict(MapClass::locked, 1, 1.0),
                                  verdict(MapClass::periodic, 3, 1.0 / 3.0),
                                  verdict(MapClass::settling, 0, NAN), verdict(MapClass::rest, 0, NAN),
                                  verdict(MapClass::locked, 1, 2.0)};
    for (long i = 0; i < 24; ++i)
        store_map_verdict(i, columns[i % 6]);
    map_shown = true;
    draw_frame();
    const Image unfinished = read_back();
    const int y = row_of(force, 0.2), top = row_of(force, 0.4);
    const int x[6] = {column_of(z, 0.8), column_of(z, 0.9), column_of(z, 1.0), column_of(z, 1.1),
                      column_of(z, 1.2), column_of(z, 1.3)};
    EXPECT_TRUE(PixelIs(unfinished, x[0], y, pixel_of(MAP_DRIFTING_COLOUR)));
    EXPECT_TRUE(PixelIs(unfinished, x[2] + 12, y + 12, pixel_of(MAP_PERIOD_COLOUR[1])));
    EXPECT_TRUE(PixelIs(unfinished, x[3], y, BLACK_PX));                        // the dot
    EXPECT_TRUE(PixelIs(unfinished, x[3] + 12, y + 12, pixel_of(MAP_SETTLING_COLOUR)));
    EXPECT_TRUE(PixelIs(unfinished, x[4], y, pixel_of(MAP_REST_COLOUR)));
    // Locked: its colour and, across it, the hatch's white lines, falling to the right for 1:1
    // and rising for 2:1.
    const int cell = 30;
    for (const int at : {x[1], x[5]}) {
        EXPECT_GT(unfinished.count(pixel_of(MAP_LOCKED_COLOUR), at - cell, y - cell, at + cell, y + cell), 1000);
        int rising = 0, falling = 0;
        for (int i = at - cell; i < at + cell; ++i)
            for (int j = y - cell; j < y + cell; ++j)
                if (unfinished.is(i, j, WHITE_PX)) {
                    rising += unfinished.is(i + 1, j + 1, WHITE_PX);
                    falling += unfinished.is(i + 1, j - 1, WHITE_PX);
                }
        EXPECT_GT(at == x[1] ? rising : falling, 100) << at;
        EXPECT_EQ(at == x[1] ? falling : rising, 0) << at;
    }
    for (const int at : x)
        EXPECT_TRUE(PixelIs(unfinished, at, top, WHITE_PX));                    // not computed
    // The outline: black across each finished row at its band's edges, as stable_band has them.
    double band[MAP_BAND_CAPACITY][2];
    ASSERT_EQ(stable_band(0.3, 0.2, 0.75, 1.35, band, MAP_BAND_CAPACITY), 1);
    for (const double edge : band[0]) {
        EXPECT_TRUE(PixelIs(unfinished, column_of(z, edge), y, BLACK_PX)) << edge;
        EXPECT_FALSE(unfinished.is(column_of(z, edge) + 5, y, BLACK_PX)) << edge;
    }
    // Axes: the frame, and the label under the tick at z = 1.
    EXPECT_TRUE(PixelIs(unfinished, px(MAP_PLOT_LEFT), row_of(force, 0.1), BLACK_PX));
    EXPECT_GT(unfinished.count(TEXT_PX, x[2] - 20, px(MAP_PLOT_BOTTOM) - 40, x[2] + 20, px(MAP_PLOT_BOTTOM) - 15), 20);

    // The last row in: drawn, and the progress line gives way to the line on clicking.
    for (long i = 24; i < 30; ++i)
        store_map_verdict(i, columns[i % 6]);
    draw_frame();
    const Image finished = read_back();
    EXPECT_TRUE(PixelIs(finished, x[0], top, pixel_of(MAP_DRIFTING_COLOUR)));
    const int status = px(0.86);
    EXPECT_NE(finished.count(TEXT_PX, 0, status - 5, FRAME_SIZE - 1, status + 20),
              unfinished.count(TEXT_PX, 0, status - 5, FRAME_SIZE - 1, status + 20));
    leave_map();
}

TEST(LockingMapPicture, TheSnapshotIsTheWindowsMapAndItsStoredImage)
{
    start_program(INPUT);
    use_grid(GOLDEN_Z, GOLDEN_FORCE);
    begin_map_job({0.3, 0.1, 0.0, MAP_DEFAULT_TRANSIENT, MAP_DEFAULT_WINDOW, MAP_DEFAULT_PERIODS}, true, false);
    MapEngine engine;
    compute_map_share(&engine);
    ASSERT_TRUE(map_finished());
    map_shown = true;
    draw_frame();
    const Image window = read_back();
    leave_map();
    Image snapshot;
    ASSERT_TRUE(program_snapshot(VDP_PROGRAM, GOLDEN_OPTIONS, &snapshot, "--map-snapshot"));
    EXPECT_EQ(compare_frames(snapshot, window).pixels, 0);
    const std::string golden = std::string(VDP_TEST_SOURCE_DIR) + "/display/golden/locking_map.png";
    // VDP_WRITE_GOLDEN=1 stores it anew, for a deliberate change of the picture.
    if (std::getenv("VDP_WRITE_GOLDEN") != nullptr) {
        ASSERT_EQ(save_png(window, golden), "");
    }
    Image stored;
    ASSERT_TRUE(load_png(golden, &stored));
    EXPECT_EQ(compare_frames(window, stored).pixels, 0) << dump_image(window, "locking-map");
}

TEST(LockingMapWindow, F8ShowsTheMapWithoutAFrameAndAClickRunsTheCell)
{
    start_program(INPUT);
    draw_next_frame();
    const Image picture = read_back();
    const double t = sim_time;
    // A grid of its own: the job is begun and computed by the threads.
    const MapAxis z = {0.85, 1.15, 13}, force = {0.0, 0.4, 9};
    use_grid(z, force);
    on_special_key(GLUT_KEY_F8, 0, 0);
    EXPECT_TRUE(map_shown && !map_finished());
    join_map_threads();
    ASSERT_TRUE(map_finished());
    draw_frame();
    EXPECT_GT(read_back().count(pixel_of(MAP_LOCKED_COLOUR)), 1000);
    // F8 again: the picture as it was, the motion where it was.
    on_special_key(GLUT_KEY_F8, 0, 0);
    EXPECT_FALSE(map_shown);
    draw_frame();
    EXPECT_EQ(compare_frames(read_back(), picture).pixels, 0);
    EXPECT_EQ(sim_time, t);
    // The map held comes back at once; a click on cell (z 0.9, F 0.3) runs it from (0.1, 0).
    on_special_key(GLUT_KEY_F8, 0, 0);
    EXPECT_TRUE(map_shown && map_finished());
    on_map_click(GLUT_LEFT_BUTTON, GLUT_DOWN, column_of(z, 0.9), FRAME_SIZE - 1 - row_of(force, 0.3));
    EXPECT_FALSE(map_shown);
    EXPECT_NEAR(freq_ratio, 0.9, 1e-15);
    EXPECT_NEAR(force_amp, 0.3, 1e-15);
    EXPECT_NEAR(sim_time, 0.1, 1e-12);   // the new run's first frame
    // A click off the map's cells, or with the picture shown, does nothing.
    on_special_key(GLUT_KEY_F8, 0, 0);
    on_map_click(GLUT_LEFT_BUTTON, GLUT_DOWN, 5, 5);
    EXPECT_TRUE(map_shown);
    on_keyboard('s', 0, 0);   // a drawing key: the picture again, and its frame
    EXPECT_FALSE(map_shown);
    EXPECT_NEAR(sim_time, 0.2, 1e-12);
    leave_map();
}

TEST(LockingMapWindow, ADialogGivesUpTheMapUnderWay)
{
    start_program(INPUT);
    use_grid({0.2, 3.0, 141}, {0.0, 6.0, 61});
    on_special_key(GLUT_KEY_F8, 0, 0);
    const auto asked = std::chrono::steady_clock::now();
    run_with_console("0.1 0\n", [] { on_keyboard('j', 0, 0); });
    join_map_threads();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count(), 2.0);
    EXPECT_TRUE(map_stopped.load() && !map_finished() && !map_shown);
    leave_map();
}

}  // namespace
