// The entrainment measures: windows built by hand, interpolation against polynomials it must
// reproduce, the collected points against our own Runge-Kutta whose steps end at the forcing
// instants, and a change of z against our own integration of the phase-continuous force.
#include "dynamics/entrainment_measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "app/dialog.h"
#include "app/run.h"
#include "app/sweep.h"
#include "core/state.h"
#include "dynamics/forcing.h"
#include "dynamics/harmonic_measure.h"
#include "dynamics/simulation_step.h"
#include "response/crossings.h"
#include "tests/support/program_run.h"
#include "tests/support/reference_motion.h"

namespace {

constexpr double PI = std::numbers::pi;

// Frames until `count` points are in.
void run_until_points(long count)
{
    while (strobe_count < count)
        advance_frame();
}

std::vector<StrobePoint> cycle(int n, int length, double jitter = 0.0)
{
    std::vector<StrobePoint> p;
    for (int k = 0; k < length; ++k)
        p.push_back({k, k * 1.0, std::cos(2.0 * PI * (k % n) / n) + (k % 2 ? jitter : 0.0),
                     std::sin(2.0 * PI * (k % n) / n)});
    return p;
}

TEST(MeasureWindow, ClassesOfHandBuiltWindows)
{
    std::vector<StrobePoint> ring;   // an irrational turn a period: never repeats
    for (int k = 0; k < 40; ++k)
        ring.push_back({k, 1.0 * k, 2.0 * std::cos(k * 0.5), 2.0 * std::sin(k * 0.5)});
    std::vector<StrobePoint> spiral;   // 3e-5 from its fixed point, a turn in 15 periods
    for (int k = 0; k < 40; ++k)
        spiral.push_back({k, 1.0 * k, 1.0 + 3e-5 * std::pow(0.99, k) * std::cos(2.0 * PI * k / 15),
                          3e-5 * std::pow(0.99, k) * std::sin(2.0 * PI * k / 15)});
    std::vector<StrobePoint> lost = cycle(1, 40);
    lost[17].v = NAN;
    const struct {
        const char* name;
        std::vector<StrobePoint> points;
        MotionState state;
        int period;
    } cases[] = {
        {"still within the tolerance", cycle(1, 40, 0.99e-5), MotionState::locked, 1},
        {"just outside it, all within 1e-3: closing in", cycle(1, 40, 1.01e-5),
         MotionState::settling, 0},
        {"three points", cycle(3, 40), MotionState::periodic, 3},
        {"period 20 shows twice in 40", cycle(20, 40), MotionState::periodic, 20},
        {"period 21 does not", cycle(21, 40), MotionState::drifting, 0},
        {"a ring", ring, MotionState::drifting, 0},
        {"a spiral closing in: not period 15", spiral, MotionState::settling, 0},
        {"one point", cycle(1, 1), MotionState::settling, 0},
        {"a point no longer finite", lost, MotionState::settling, 0},
    };
    for (const auto& c : cases) {
        const EntrainmentMeasure m = measure_window(c.points, {}, 1.0);
        EXPECT_EQ(m.state, c.state) << c.name;
        EXPECT_EQ(m.strobe_period, c.period) << c.name;
    }
    // The ring's widest chord joins points 19 apart: 9.5 rad, 0.07 short of three half turns.
    EXPECT_NEAR(strobe_spread(ring), 4.0 * std::fabs(std::sin(19 * 0.5 / 2.0)), 1e-12);
    EXPECT_TRUE(std::isnan(strobe_spread({})));
}

// Crossings of a response whose phase lags the force by phi(t) = 2 pi (1 - rho) z t / 2 pi
// plus a modulation within the beat, as a slipping motion's do: solved for each crossing.
std::vector<double> slipping_crossings(double z, double rho, double modulation, int count)
{
    const double beat = z * (1.0 - rho);
    std::vector<double> c;
    double t = 0.0;
    for (int j = 0; j < count; ++j) {
        // psi(t) = z t - beat t + modulation sin(beat t) = 2 pi j, by Newton from the last.
        for (int i = 0; i < 50; ++i) {
            const double psi = z * t - beat * t + modulation * std::sin(beat * t) - 2.0 * PI * j;
            t -= psi / (z - beat + modulation * beat * std::cos(beat * t));
        }
        c.push_back(t);
    }
    return c;
}

TEST(RotationNumber, CountsWholeBeatsAndRefusesTooFewCrossings)
{
    const double z = 1.1;
    const double T = 2.0 * PI / z;
    std::vector<double> locked, third;
    for (int j = 0; j < 40; ++j) {
        locked.push_back(3.0 + j * T);
        third.push_back(3.0 + 3 * j * T);
    }
    EXPECT_NEAR(rotation_number(locked, z), 1.0, 1e-13);
    EXPECT_NEAR(rotation_number(third, z), 1.0 / 3.0, 1e-13);
    // 2.6 beats of a slip every 100 periods, the slips bunched: from the first crossing to the
    // last the count is off by a third of a cycle in 260, an error of 1.3e-3; over whole
    // beats it is a hundredth of that.
    const std::vector<double> slipping = slipping_crossings(z, 0.99, 1.5, 260);
    EXPECT_NEAR(rotation_number(slipping, z), 0.99, 2e-5);
    EXPECT_TRUE(std::isnan(rotation_number(std::vector<double>{1.0}, z)));
    EXPECT_TRUE(std::isnan(rotation_number(locked, 0.0)));
}

TEST(JudgeMotion, WaitsWhileConvergingAndDecidesADriftOnceABeatCloses)
{
    const double z = 1.0;
    const double T = 2.0 * PI / z;
    // A drift: the points go round a ring, a turn in 25.13 periods, and the crossings slip.
    std::vector<StrobePoint> ring, spiral;
    for (int k = 0; k < 120; ++k) {
        const double a = 0.25 * k;
        ring.push_back({k, k * T, 2.0 * std::cos(a), 2.0 * std::sin(a)});
        // Closing in on (1, 0) by 0.97 a period, a turn in 7: 0.97^80 = 0.09 of the way.
        const double r = 0.1 * std::pow(0.97, k);
        const double b = 2.0 * PI * k / 7.0;
        spiral.push_back({k, k * T, 1.0 + r * std::cos(b), r * std::sin(b)});
    }
    const std::vector<double> slipping = slipping_crossings(z, 0.96, 0.5, 115);
    const std::vector<double> slow = slipping_crossings(z, 0.996, 0.0, 119);   // half a beat
    std::vector<double> steady;   // as many crossings as periods: no slip
    for (int j = 0; j < 120; ++j)
        steady.push_back(j * T + 0.3);
    const struct {
        const char* name;
        std::span<const StrobePoint> points;
        std::span<const double> upcrossings;
        long limit;
        bool decided;
        MotionState state;
    } cases[] = {
        {"too few points yet", std::span(ring).first(69), slipping, 2000, false, MotionState::settling},
        {"a beat closes: drifting", ring, slipping, 2000, true, MotionState::drifting},
        {"half a beat: measured on", ring, slow, 2000, false, MotionState::settling},
        {"converging: measured on", spiral, steady, 2000, false, MotionState::settling},
        {"converging at the limit", spiral, steady, 120, true, MotionState::settling},
    };
    for (const auto& c : cases) {
        EntrainmentMeasure m = {MotionState::settling, 0, NAN, NAN, NAN};
        EXPECT_EQ(judge_motion(c.points, c.upcrossings, z, c.limit, &m), c.decided) << c.name;
        if (c.decided) {
            EXPECT_EQ(m.state, c.state) << c.name;
        }
    }
}

TEST(Interpolation, ReproducesQuinticsAndFindsTheirRoot)
{
    // y = (t - r) q(t) with q > 0 near r, and v any quintic: the quintic interpolant is exact.
    const double r = 0.3;
    auto q = [](double t, int d) {
        return d == 0   ? 1.0 + 2.0 * t + t * t - t * t * t + 2.0 * t * t * t * t
               : d == 1 ? 2.0 + 2.0 * t - 3.0 * t * t + 8.0 * t * t * t
                        : 2.0 - 6.0 * t + 24.0 * t * t;
    };
    auto y = [&](double t, int d) { return d * q(t, d - 1) + (t - r) * q(t, d); };
    auto v = [](double t, int d) {
        return d == 0 ? std::pow(t, 5) - t : d == 1 ? 5.0 * std::pow(t, 4) - 1.0 : 20.0 * t * t * t;
    };
    auto end = [&](double t) {
        return StepEnd{t, {y(t, 0), v(t, 0)}, {y(t, 1), v(t, 1)}, {y(t, 2), v(t, 2)}};
    };
    const StepEnd a = end(0.29);
    const StepEnd b = end(0.31);
    for (double t : {0.29, 0.2937, 0.3, 0.3089, 0.31}) {
        double s[2];
        interpolate_step(a, b, t, s);
        EXPECT_NEAR(s[0], y(t, 0), 1e-15) << t;
        EXPECT_NEAR(s[1], v(t, 0), 1e-15) << t;
    }
    ASSERT_LT(a.s[0], 0.0);
    EXPECT_NEAR(upcrossing_time(a, b), r, 1e-15);
    // A crossing that ends the step exactly.
    EXPECT_NEAR(upcrossing_time(end(0.28), end(r)), r, 1e-15);
}

TEST(Collection, PointsAtTheForcingInstantsAsOurOwnIntegrationHasThem)
{
    // eps = 0.1, F = 0.2, z = 1: locked. Our steps end at every instant; the program's are
    // 0.02 apart and its points interpolated within them.
    const double z = 1.0;
    start_program_run(0.1, 0.2, z, 0.0);
    run_until_points(150);
    const std::span<const StrobePoint> points = recent_strobe_points(150);
    ASSERT_EQ(points.size(), 150u);
    std::vector<ReferencePoint> reference;
    double s[2] = {0.0, 0.0};
    reference.push_back({s[0], s[1]});
    reference_periods({0.1, 0.2, z}, 0, 149, s, &reference);
    for (long k = 0; k < 150; ++k) {
        // Each instant from k, to the bit: a time accumulated period by period is not.
        EXPECT_EQ(points[k].k, k);
        EXPECT_EQ(points[k].t, k * (2.0 * PI / z)) << k;
        // Two fourth-order integrators at h = 0.02 differ by about 1e-7 here.
        EXPECT_NEAR(points[k].y, reference[k].y, 1e-6) << k;
        EXPECT_NEAR(points[k].v, reference[k].v, 1e-6) << k;
    }
    // Locked: the last 40 repeat far within the tolerance (linear interpolation: 5e-5).
    EXPECT_LT(strobe_move(points.last(40), 1), 1e-7);
    EXPECT_EQ(motion_measure.state, MotionState::locked);
    EXPECT_NEAR(motion_measure.rotation, 1.0, 1e-6);
    // A frame drawn again from its kept state takes its steps again: no crossing and no
    // point is taken twice.
    for (int taken = 0; taken < 2;) {
        const long held[2] = {upcrossing_count, strobe_count};
        const double kept[3] = {state[0], state[1], sim_time};
        advance_simulation();
        if (upcrossing_count == held[0] && strobe_count == held[1])
            continue;
        ++taken;
        const long now[2] = {upcrossing_count, strobe_count};
        state[0] = kept[0];
        state[1] = kept[1];
        sim_time = kept[2];
        advance_simulation();
        EXPECT_EQ(upcrossing_count, now[0]);
        EXPECT_EQ(strobe_count, now[1]);
    }
}

TEST(RatioChange, TheForceContinuesInPhaseAndTheMeasuresStartAgain)
{
    const double eps = 0.1, force = 0.2, z_old = 1.0, z_new = 1.05;
    start_program_run(eps, force, z_old, 0.0);
    advance_frames(1003);
    const double t_change = sim_time;
    const double theta = z_old * t_change;
    const double force_before = std::sin(forcing_phase(t_change)) * force_amp;
    change_forcing_ratio(z_new);
    EXPECT_EQ(std::sin(forcing_phase(t_change)) * force_amp, force_before);
    EXPECT_EQ(crossing_count, find_crossings(z_new, std::vector<double>(CROSSING_CAPACITY).data()));
    EXPECT_EQ(strobe_count, 0);
    EXPECT_EQ(motion_measure.state, MotionState::settling);
    double r = 0.0;
    EXPECT_FALSE(last_measured_amplitude(&r));

    // 50 time units on, against our own integration of sin(theta + z_new (t - t_change)).
    double s[2] = {state[0], state[1]};
    double t = t_change;
    reference_steps({eps, force, z_new, t_change, theta}, &t, 0.02, 2500, s);
    advance_frames(500);
    EXPECT_NEAR(state[0], s[0], 1e-6);
    EXPECT_NEAR(state[1], s[1], 1e-6);
    // The first point after the change sits where the phase is a whole number of turns.
    const StrobePoint first = recent_strobe_points(strobe_count)[0];
    EXPECT_GT(first.t, t_change);
    EXPECT_LE(first.t, t_change + 2.0 * PI / z_new);
    EXPECT_NEAR(z_new * (first.t - t_change) + theta, 2.0 * PI * first.k, 1e-9);
    // The first-harmonic measure over whole periods of the new z only.
    EXPECT_TRUE(last_measured_amplitude(&r));
    EXPECT_EQ(measured_count, strobe_count - 1);   // the partial period summed, not kept
    restart_run();
    EXPECT_FALSE(forcing_ratio_changed);
}

TEST(RatioChange, ToTheSameRatioLeavesTheRunBitForBit)
{
    start_program_run(0.5, 0.2, 1.0, 0.0);
    advance_frames(1000);
    const double plain[2] = {state[0], state[1]};
    start_program_run(0.5, 0.2, 1.0, 0.0);
    advance_frames(400);
    change_forcing_ratio(1.0);
    advance_frames(600);
    EXPECT_EQ(std::memcmp(plain, state, sizeof plain), 0);
}

}  // namespace
