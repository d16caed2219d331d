// The sweep's bookkeeping and its table: what it refuses, the ratios it visits and in which
// order, and the CSV read back to the records held.
#include "app/sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/export.h"
#include "app/run.h"
#include "core/state.h"
#include "tests/support/csv.h"
#include "tests/support/program_run.h"

namespace {

TEST(Sweep, RefusesWhatItCannotMeasureOrHold)
{
    const struct {
        double from, to, step;
        bool started;
    } cases[] = {
        {1.2, 0.8, 0.005, true},       // down first
        {1.0, 1.0, 0.005, true},       // one ratio
        {0.0, 1.0, 0.005, false},      // z = 0 has no period
        {1.0, 79.0, 0.1, false},       // a period of 0.0795: under four steps
        {1.0, 78.0, 0.1, true},        // 0.0806: four steps
        {1.0, 1.2, 0.0, false},
        {1.0, 1.2, NAN, false},
        {1.0, 1.0 + 2000 * 0.005, 0.005, true},    // 4,001 records: as many as are held
        {1.0, 1.0 + 2001 * 0.005, 0.005, false},
    };
    for (const auto& c : cases) {
        start_program_run(0.1, 0.2, 1.0, 0.0);
        advance_frames(10);
        EXPECT_EQ(start_sweep(c.from, c.to, c.step), c.started) << c.from << " " << c.to;
        EXPECT_EQ(sweep_running, c.started);
        // Refused, the run goes on as it was; started, it is at the start ratio.
        EXPECT_EQ(freq_ratio, c.started ? c.from : 1.0);
    }
    start_program_run(0.1, 0.2, 1.0, 0.0);
    EXPECT_FALSE(sweep_running);
}

TEST(Sweep, VisitsEachRatioOnceEachWayAndWritesItsRecords)
{
    // eps = F = 5 locks within a few periods: the least each ratio is given.
    start_program_run(5.0, 5.0, 1.40, 0.0);
    ASSERT_TRUE(start_sweep(1.40, 1.44, 0.004));
    run_sweep();
    EXPECT_FALSE(sweep_running);
    EXPECT_EQ(freq_ratio, 1.40);
    ASSERT_EQ(sweep_record_count, 21);
    for (int i = 0; i < 21; ++i) {
        // z_i = from + i step, each from its index: steps added one by one stray by then.
        EXPECT_EQ(sweep_records[i].z, 1.40 + (i <= 10 ? i : 20 - i) * 0.004) << i;
        EXPECT_EQ(sweep_records[i].up, i <= 10) << i;
    }

    // Five about the turn, one made settling with what cannot be known left out, one period 3.
    std::copy(sweep_records + 8, sweep_records + 13, sweep_records);
    sweep_record_count = 5;
    sweep_records[3] = {false, 1.42, {MotionState::settling, 0, NAN, NAN, NAN}, NAN, -1};
    sweep_records[4].measure.state = MotionState::periodic;
    sweep_records[4].measure.strobe_period = 3;
    const std::vector<std::vector<std::string>> rows = csv_rows(sweep_csv());
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"direction", "z", "state", "strobe_period",
                                                 "rotation", "drift", "spread",
                                                 "harmonic_amplitude", "hb_class"}));
    for (int i = 0; i < 5; ++i) {
        const SweepRecord& r = sweep_records[i];
        const std::vector<std::string>& f = rows[i + 1];
        ASSERT_EQ(f.size(), 9u) << i;
        EXPECT_EQ(f[0], i < 3 ? "up" : "down");
        const double numbers[] = {r.z, r.measure.rotation, r.measure.drift, r.measure.spread,
                                  r.harmonic_amplitude};
        for (int c = 0; c < 5; ++c) {
            const std::string& field = f[c == 0 ? 1 : c + 3];
            // 17 digits read back to the double held; what is not known, empty.
            EXPECT_TRUE(std::isnan(numbers[c]) ? field.empty()
                                               : std::strtod(field.c_str(), nullptr) == numbers[c])
                << i << " column " << c << ": " << field;
        }
    }
    EXPECT_EQ(rows[1][2] + rows[1][3], "locked1");
    EXPECT_NE(rows[1][8], "");
    EXPECT_EQ(rows[4][2] + rows[4][3] + rows[4][8], "settling");
    EXPECT_EQ(rows[5][2] + rows[5][3], "period 33");
    start_program_run(0.1, 0.2, 1.0, 0.0);
}

// F7's sweep: from z up SWEEP_HALF_RANGE, back down as far below z and home, each end moved in
// where a ratio could not be measured (above 2 pi / (4 x 0.02) = 78.54 the period holds fewer
// than four steps: 17 steps up from 78.45). At rest without a force every ratio is locked at
// once, so the path alone is looked at.
TEST(Sweep, KeyedSweepGoesUpDownPastItsStartAndHome)
{
    start_program_run(0.1, 0.0, 78.45, 0.0);
    ASSERT_TRUE(toggle_sweep());
    run_sweep();
    // Steps from 78.45: 0 ... 17 up, 16 ... -40 down, -39 ... 0 up.
    ASSERT_EQ(sweep_record_count, 18 + 57 + 40);
    for (int i = 0; i < sweep_record_count; ++i) {
        const int k = i <= 17 ? i : i <= 74 ? 34 - i : i - 114;
        EXPECT_EQ(sweep_records[i].z, 78.45 + k * 0.005) << i;
        EXPECT_EQ(sweep_records[i].up, i <= 17 || i >= 75) << i;
    }
    EXPECT_EQ(freq_ratio, 78.45);
    EXPECT_FALSE(sweep_running);

    // Pressed again while it runs, it stops there and keeps what it recorded; z = 0 has no
    // period to sweep around.
    ASSERT_TRUE(toggle_sweep());
    while (sweep_record_count < 3)
        advance_frames(1);
    EXPECT_FALSE(toggle_sweep());
    EXPECT_FALSE(sweep_running);
    EXPECT_EQ(sweep_record_count, 3);
    start_program_run(0.1, 0.2, 0.0, 0.0);
    EXPECT_FALSE(toggle_sweep());
    EXPECT_EQ(sweep_record_count, 0);
}

}  // namespace
