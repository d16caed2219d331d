// The locking map's grid, its job and its stream: what the desktop's threads, the page's
// workers and the CSV writer rely on.
#include "app/locking_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "core/state.h"
#include "response/balance_roots.h"
#include "response/stability.h"
#include "tests/support/csv.h"
#include "tests/support/dialog_io.h"

namespace {

constexpr MapRun RUN = {0.3, 0.1, 0.0, 30, 40, 2000};

MapVerdict verdict(MapClass c, int period = 0, double rotation = NAN)
{
    return {c, {MotionState::settling, period, rotation, NAN, NAN}, NAN, 0};
}

void use_grid(MapAxis z, MapAxis force)
{
    map_z_axis = z;
    map_force_axis = force;
}

TEST(LockingMapGrid, BothEndsAreTheGivenValuesAndTooManyCellsAreRefused)
{
    MapAxis a = {};
    ASSERT_TRUE(read_map_axis("0.5:1.5:101", true, &a));
    EXPECT_EQ(map_axis_value(a, 0), 0.5);
    EXPECT_EQ(map_axis_value(a, 100), 1.5);
    EXPECT_EQ(map_axis_value(a, 50), 1.0);
    ASSERT_TRUE(read_map_axis("0.1:0.7:3", false, &a));
    EXPECT_EQ(map_axis_value(a, 2), 0.7);   // not 0.1 + 0.6, which rounds above it
    ASSERT_TRUE(read_map_axis("-0.7:-0.7:1", false, &a));
    EXPECT_EQ(map_axis_value(a, 0), -0.7);
    EXPECT_EQ(map_cell_half_width(a), 0.005);
    EXPECT_FALSE(read_map_axis("-0.7:-0.7:1", true, &a));   // z must be above 0

    // 1,000,000 cells and no more, named by both values (a default named as such).
    const struct {
        const char* z;
        const char* force;
        const char* message_has;
    } cases[] = {{"0.5:1.5:1000", "0:1:1000", ""},
                 {"0.5:1.5:1001", "0:1:1000", "--map-z '0.5:1.5:1001' and --map-force '0:1:1000' make 1001000 cells"},
                 {"", "0:1:10000", "--map-z 0.5:1.5:101 (the default) and --map-force '0:1:10000'"}};
    for (const auto& c : cases) {
        Options options;
        options.map_z = c.z;
        options.map_force = c.force;
        const std::string problem = map_grid_problem(options);
        EXPECT_EQ(problem.empty(), *c.message_has == '\0') << problem;
        EXPECT_NE(problem.find(c.message_has), std::string::npos) << problem;
    }
}

TEST(LockingMapGrid, TheOutlineIsWhereTheStabilityLayerFillsADisc)
{
    // Each row's band, as the picture outlines it, against F3's classes of the exact responses
    // (the layer's filled discs) on a fine grid of z, weak forces and large eps among them.
    const struct {
        double eps, force;
    } rows[] = {{0.3, 0.025}, {0.3, 0.1}, {0.3, 0.5}, {0.3, 1.0}, {5.0, 0.5}, {5.0, 3.0}, {0.1, 0.2}};
    for (const auto& r : rows) {
        use_grid({0.5, 1.5, 11}, {r.force, r.force, 1});
        begin_map_job({r.eps, 0.0, 0.0, 30, 40, 2000}, true, false);
        for (long i = 0; i < 11; ++i)
            store_map_verdict(i, verdict(MapClass::drifting));
        ASSERT_TRUE(map_row_finished(0));
        const std::array<double, 2>* band = map_band_edges.data();
        int disagree = 0;
        for (double z = 0.45; z < 1.55; z += 1e-3) {
            bool inside = false, near_edge = false;
            for (int i = 0; i < map_band_counts[0]; ++i) {
                inside = inside || (z > band[i][0] && z < band[i][1]);
                near_edge = near_edge || std::fabs(z - band[i][0]) < 1e-7 || std::fabs(z - band[i][1]) < 1e-7;
            }
            double roots[RESPONSE_ROOT_CAPACITY];
            bool disc_filled = false;
            for (int k = 0; k < response_amplitudes(r.eps, r.force, z, roots); ++k)
                disc_filled = disc_filled || classify_response(r.eps, z, roots[k]) == ResponseClass::stable;
            disagree += !near_edge && inside != disc_filled;
        }
        EXPECT_EQ(disagree, 0) << "eps " << r.eps << " F " << r.force;
    }
    use_grid(MAP_DEFAULT_Z, MAP_DEFAULT_FORCE);
}

TEST(LockingMapJob, ARowIsReadOnceItsLastCellIsInAndAStoppedJobTakesNothing)
{
    use_grid({0.5, 1.5, 3}, {0.0, 0.4, 2});
    begin_map_job(RUN, true, false);
    std::vector<long> claimed;
    for (long i = 0; claim_map_cell(&i);)
        claimed.push_back(i);
    EXPECT_EQ(claimed, (std::vector<long>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(map_cell_z(4), 1.0);
    EXPECT_EQ(map_cell_force(4), 0.4);
    for (const long i : {5L, 3L})
        store_map_verdict(i, verdict(MapClass::drifting));
    EXPECT_FALSE(map_row_finished(1));
    store_map_verdict(4, verdict(MapClass::periodic, 3, 1.0 / 3.0));
    EXPECT_TRUE(map_row_finished(1));
    EXPECT_FALSE(map_row_finished(0) || map_finished());
    EXPECT_EQ(map_rows_done.load(), 1);
    // Its band, over the cells' span of z: [0.25, 1.75].
    double band[MAP_BAND_CAPACITY][2];
    const int n = stable_band(0.3, 0.4, 0.25, 1.75, band, MAP_BAND_CAPACITY);
    ASSERT_EQ(map_band_counts[1], n);
    EXPECT_EQ(map_band_edges[MAP_BAND_CAPACITY][0], band[0][0]);
    EXPECT_TRUE(map_cells[4].map_class == MapClass::periodic && map_cells[4].period == 3 &&
                map_cells[4].turns == 1);
    for (const long i : {0L, 1L, 2L})
        store_map_verdict(i, verdict(MapClass::locked, 1, 1.0));
    EXPECT_TRUE(map_finished());
    // Held for the run it was begun for, and no other.
    epsilon = RUN.eps;
    y_init = RUN.y0;
    v_init = RUN.v0;
    EXPECT_TRUE(map_held_is_current());
    v_init = 0.01;
    EXPECT_FALSE(map_held_is_current());

    // A finished map outlives a dialog; one under way is given up, and takes no more.
    stop_map_job();
    EXPECT_TRUE(map_finished());
    begin_map_job(RUN, true, false);
    map_shown = true;
    long first = -1;
    ASSERT_TRUE(claim_map_cell(&first));
    run_dialog('j', "0 0\n");
    EXPECT_FALSE(map_shown);
    EXPECT_FALSE(claim_map_cell(&first));
    store_map_verdict(0, verdict(MapClass::locked, 1, 1.0));
    EXPECT_TRUE(map_cells[0].map_class == MapClass::pending);
    EXPECT_FALSE(map_held_is_current() || map_finished());
}

TEST(LockingMapJob, AStreamHoldsItsCapacityAheadAndWritesItsRowsInOrder)
{
    use_grid({0.5, 1.5, 5000}, {0.4, 0.4, 1});
    begin_map_job(RUN, false, true);
    long claimed = 0;
    for (long i = 0; claim_map_cell(&i);)
        claimed = i + 1;
    EXPECT_EQ(claimed, MAP_STREAM_CAPACITY);
    for (long i = claimed - 1; i >= 1; --i)
        store_map_verdict(i, verdict(MapClass::drifting));
    std::string rows;
    EXPECT_FALSE(append_streamed_map_rows(&rows));
    EXPECT_TRUE(rows.empty());   // the first cell is still out
    const MapVerdict words[] = {verdict(MapClass::periodic, 3, 1.0 / 3.0)};
    store_map_verdict(0, words[0]);
    append_streamed_map_rows(&rows);
    EXPECT_LE(rows.size(), MAP_BLOCK_BYTES + 256);
    std::stringstream lines(rows);
    long written = 0;
    for (std::string line; std::getline(lines, line); ++written) {
        const std::vector<std::string> f = csv_fields(line);
        ASSERT_EQ(f.size(), 10u) << line;
        EXPECT_EQ(std::strtod(f[2].c_str(), nullptr), map_cell_z(written)) << line;
        EXPECT_EQ(f[3], written == 0 ? "period 3" : "drifting");
        EXPECT_EQ(f[4], written == 0 ? "3" : "");
    }
    // The first row in full: 17 digits, and F = 0.4 at z = 0.5 outside the stable band.
    EXPECT_EQ(rows.substr(0, rows.find('\n')),
              "0.29999999999999999,0.40000000000000002,0.5,period 3,3,0.33333333333333331,,,,");
    EXPECT_EQ(map_streamed.load(), written);
    long next = 0;
    EXPECT_TRUE(claim_map_cell(&next));
    EXPECT_EQ(next, MAP_STREAM_CAPACITY);
    // Inside the band: stable.
    use_grid({1.0, 1.0, 1}, {0.4, 0.4, 1});
    begin_map_job(RUN, false, true);
    store_map_verdict(0, verdict(MapClass::rest));
    rows.clear();
    EXPECT_TRUE(append_streamed_map_rows(&rows));
    EXPECT_EQ(rows, "0.29999999999999999,0.40000000000000002,1,rest,,,,,,stable\n");
    use_grid(MAP_DEFAULT_Z, MAP_DEFAULT_FORCE);
}

}  // namespace
