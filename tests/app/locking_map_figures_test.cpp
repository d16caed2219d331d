// The locking map's figures, each beside our own reference: classical Runge-Kutta whose steps
// end at the forcing instants (tests/support/reference_motion.h), the linear motion in closed
// form, and the program's own motion judged as its sweep judges one ratio. Labelled
// validation; VDP_MAP_AGREEMENT_STRIDE=1 (scripts/soak.sh) compares every cell of the
// benchmark's map instead of a sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "app/locking_map.h"
#include "app/sweep.h"
#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "tests/support/program_run.h"
#include "tests/support/reference_motion.h"

namespace {

constexpr double PI = std::numbers::pi;

// The map's verdicts over `z` at one F from (y0, v0), computed on this thread.
std::vector<MapVerdict> map_row(double eps, double force, MapAxis z, double y0, double v0 = 0.0)
{
    map_z_axis = z;
    map_force_axis = {force, force, 1};
    begin_map_job({eps, y0, v0, MAP_DEFAULT_TRANSIENT, MAP_DEFAULT_WINDOW, MAP_DEFAULT_PERIODS},
                  false, true);
    MapEngine engine;
    compute_map_share(&engine);
    std::vector<MapVerdict> row(map_stream.begin(), map_stream.begin() + z.count);
    map_z_axis = MAP_DEFAULT_Z;
    map_force_axis = MAP_DEFAULT_FORCE;
    return row;
}

MapVerdict map_cell(double eps, double force, double z, double y0, double v0 = 0.0)
{
    return map_row(eps, force, {z, z, 1}, y0, v0)[0];
}

// The first and the last z of the row's cells of class c with rotation near `rotation`.
void span_of(const std::vector<MapVerdict>& row, const MapAxis& z, MapClass c, double rotation,
             double* first, double* last)
{
    *first = INFINITY;
    *last = -INFINITY;
    for (int i = 0; i < z.count; ++i) {
        if (row[i].map_class != c || !(std::fabs(row[i].measure.rotation - rotation) < 1e-6))
            continue;
        *first = std::min(*first, map_axis_value(z, i));
        *last = std::max(*last, map_axis_value(z, i));
    }
}

TEST(LockingMapFigures, TheOneToOneBandAtSmallEpsilonRowByRow)
{
    // eps = 0.1 from rest, rows at z steps of 0.002: the locked cells span the band within
    // 0.003 and every cell between them is locked or still settling; our own runs lock just
    // inside the ends the map found and not just outside them.
    const struct {
        double force, low, high;
        MapAxis z;
    } bands[] = {{0.2, 0.932, 1.062, {0.92, 1.08, 81}}, {0.05, 0.987, 1.011, {0.98, 1.02, 21}}};
    for (const auto& b : bands) {
        const std::vector<MapVerdict> row = map_row(0.1, b.force, b.z, 0.0);
        double first = 0.0, last = 0.0;
        span_of(row, b.z, MapClass::locked, 1.0, &first, &last);
        EXPECT_NEAR(first, b.low, 0.003 + 1e-9) << b.force;
        EXPECT_NEAR(last, b.high, 0.003 + 1e-9) << b.force;
        for (int i = 0; i < b.z.count; ++i) {
            const double z = map_axis_value(b.z, i);
            if (z > first && z < last) {
                EXPECT_TRUE(row[i].map_class == MapClass::locked || row[i].map_class == MapClass::settling) << z;
            }
        }
        EXPECT_TRUE(reference_locks(0.1, b.force, first, 0.0, 2000)) << first;
        EXPECT_FALSE(reference_locks(0.1, b.force, first - 0.004, 0.0, 1000)) << first;
        EXPECT_FALSE(reference_locks(0.1, b.force, last + 0.004, 0.0, 1000)) << last;
    }
}

// Upward crossings per period of our own motion from (y0, 0), over 300 periods after 200.
double reference_rotation(double eps, double force, double z, double y0)
{
    double s[2] = {y0, 0.0};
    std::vector<ReferencePoint> unused;
    reference_periods({eps, force, z}, 0, 200, s, &unused);
    return reference_periods({eps, force, z}, 200, 300, s, &unused) / 300.0;
}

TEST(LockingMapFigures, RelaxationLocksOneToOneAndOneToThreeOnItsPlateau)
{
    // eps = F = 5 from (0.1, 0).
    for (const double z : {1.0, 2.0}) {
        const MapVerdict v = map_cell(5.0, 5.0, z, 0.1);
        const double expected = reference_rotation(5.0, 5.0, z, 0.1);
        EXPECT_EQ(expected, z == 1.0 ? 1.0 : 1.0 / 3.0);
        EXPECT_NEAR(v.measure.rotation, expected, 1e-6) << z;
        EXPECT_TRUE(v.map_class == (z == 1.0 ? MapClass::locked : MapClass::periodic)) << z;
    }
    // The 1:3 plateau about [1.45, 2.42]: within 0.02 of both ends, and our own motion has
    // period 3 just inside them and another just outside.
    const MapAxis z = {1.35, 2.55, 121};
    double first = 0.0, last = 0.0;
    span_of(map_row(5.0, 5.0, z, 0.1), z, MapClass::periodic, 1.0 / 3.0, &first, &last);
    EXPECT_NEAR(first, 1.45, 0.02);
    EXPECT_NEAR(last, 2.42, 0.02);
    for (const auto& [at, period3] : {std::pair{first, true}, std::pair{last, true},
                                      std::pair{first - 0.02, false}, std::pair{last + 0.02, false}}) {
        double s[2] = {0.1, 0.0};
        std::vector<ReferencePoint> points;
        reference_periods({5.0, 5.0, at}, 0, 300, s, &points);
        EXPECT_EQ(reference_period(points, 60, 1e-5) == 3, period3) << at;
    }
}

TEST(LockingMapFigures, AnUnforcedCellIsNeverLockedEvenWhereItsPointsRepeat)
{
    // eps = 0.3, F = 0: our own free oscillation's frequency w, measured from its period once
    // settled. At z = w its points repeat every period (our own window says period 1), yet
    // nothing forces it: drifting. From rest it stays at rest.
    const double eps = 0.3;
    ReferenceForcing free = {eps, 0.0, 1.0};
    double s[2] = {2.0, 0.0}, t = 0.0;
    reference_steps(free, &t, 0.001, 200000, s);
    std::vector<double> ups;
    for (int i = 0; i < 40000 && ups.size() < 6; ++i) {
        const double before = s[0];
        reference_steps(free, &t, 0.001, 1, s);
        if (before < 0.0 && s[0] >= 0.0)
            ups.push_back(t - 0.001 * s[0] / (s[0] - before));
    }
    ASSERT_EQ(ups.size(), 6u);
    const double w = 2.0 * PI * 5.0 / (ups[5] - ups[0]);
    EXPECT_NEAR(w, 1.0 - eps * eps / 16.0, 1e-3);
    double r[2] = {0.1, 0.0};
    std::vector<ReferencePoint> points;
    reference_periods({eps, 0.0, w}, 0, 300, r, &points);
    EXPECT_EQ(reference_period(points, 40, 1e-5), 1);
    for (const double z : {0.5, w, 1.0, 2.0}) {
        EXPECT_EQ(static_cast<int>(map_cell(eps, 0.0, z, 0.1).map_class), static_cast<int>(MapClass::drifting)) << z;
        EXPECT_EQ(static_cast<int>(map_cell(eps, 0.0, z, 0.0).map_class), static_cast<int>(MapClass::rest)) << z;
    }
}

TEST(LockingMapFigures, WithoutDampingTheMapShowsTheLinearMotionsPeriod)
{
    // eps = 0, F = 0.2 from rest: y = P (sin z t - z sin t), P = F / (1 - z^2), in closed form.
    // Its points turn about the forced response's by 2 pi / z a period: they come back after n
    // periods where z = m / n, so the map says locked (n = 1), period n (up to 20) or drifting.
    const double force = 0.2;
    for (const double z : {0.5, 0.75, 0.7, 1.3, 0.61, 1.5}) {
        const double P = force / (1.0 - z * z);
        std::vector<ReferencePoint> points;
        for (int k = 0; k < 120; ++k) {
            const double t = 2.0 * PI * k / z;
            points.push_back({P * (std::sin(z * t) - z * std::sin(t)), P * z * (std::cos(z * t) - std::cos(t))});
        }
        const int n = reference_period(points, 40, 1e-5);
        const MapVerdict v = map_cell(0.0, force, z, 0.0);
        const MapClass expected = n == 1 ? MapClass::locked : n > 1 ? MapClass::periodic : MapClass::drifting;
        EXPECT_EQ(static_cast<int>(v.map_class), static_cast<int>(expected)) << z << " n " << n;
        EXPECT_EQ(v.measure.strobe_period, n) << z;
    }
}

// The program's own class of a cell: its motion from the start, judged as its sweep judges
// one ratio.
MapClass program_class(double eps, double force, double z, double y0)
{
    start_program_run(eps, force, z, y0);
    start_sweep(z, z, SWEEP_DEFAULT_STEP);
    run_sweep();
    return map_class_of(sweep_records[0].measure, recent_strobe_points(MAP_DEFAULT_WINDOW), force);
}

TEST(LockingMapFigures, CellsAwayFromAClassBoundaryAgreeWithTheProgramsOwnMotion)
{
    // The benchmark's map (eps = 0.3, z 0.5 ... 1.5, F 0 ... 1, from (0.1, 0)) and one at
    // eps = 5: every stride-th cell that lies 0.005 in z from the nearest other class (the
    // map's own cells at z +- 0.005 share its class).
    const char* given = std::getenv("VDP_MAP_AGREEMENT_STRIDE");
    const long stride = given != nullptr ? std::max(1L, std::atol(given)) : 97;
    const struct {
        double eps;
        MapAxis z, force;
    } maps[] = {{0.3, {0.5, 1.5, 101}, {0.0, 1.0, 41}}, {5.0, {0.2, 3.0, 141}, {0.0, 6.0, 61}}};
    long compared = 0, agreed = 0;
    for (const auto& m : maps) {
        const long cells = static_cast<long>(m.z.count) * m.force.count;
        for (long i = stride / 2; i < cells; i += stride) {
            const double z = map_axis_value(m.z, static_cast<int>(i % m.z.count));
            const double force = map_axis_value(m.force, static_cast<int>(i / m.z.count));
            if (z - 0.005 <= 0.0)
                continue;
            const std::vector<MapVerdict> near = map_row(m.eps, force, {z - 0.005, z + 0.005, 3}, 0.1);
            if (near[0].map_class != near[1].map_class || near[2].map_class != near[1].map_class)
                continue;
            ++compared;
            const MapClass own = program_class(m.eps, force, z, 0.1);
            agreed += own == near[1].map_class;
            if (own != near[1].map_class)
                std::printf("eps %g F %.17g z %.17g: the map %d, the program %d\n", m.eps, force, z,
                            static_cast<int>(near[1].map_class), static_cast<int>(own));
        }
    }
    std::printf("agreement: %ld/%ld cells away from a class boundary\n", agreed, compared);
    EXPECT_GE(agreed, 0.99 * compared);
    EXPECT_GT(compared, 20);
}

}  // namespace
