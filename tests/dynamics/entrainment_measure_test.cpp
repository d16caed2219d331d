// The entrainment measures: windows and crossings built by hand, the collected points against
// our own Runge-Kutta whose steps end at the forcing instants, and a change of z against our
// own integration of the phase-continuous force. (The interpolation's order shows in the
// figures: linear fails Collection, cubic the period 3 of eps = F = 5, z = 2.)
#include "dynamics/entrainment_measure.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <vector>

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

// Points at t = k 2 pi for k < count, at (y, v) = at(k).
std::vector<StrobePoint> points(int count, const std::function<std::array<double, 2>(int)>& at)
{
    std::vector<StrobePoint> p;
    for (int k = 0; k < count; ++k)
        p.push_back({k, 2.0 * PI * k, at(k)[0], at(k)[1]});
    return p;
}

// A cycle of n points on the unit circle, every other point's y off by jitter.
std::vector<StrobePoint> cycle(int n, int count, double jitter = 0.0)
{
    return points(count, [=](int k) {
        return std::array{std::cos(2.0 * PI * (k % n) / n) + (k % 2) * jitter,
                          std::sin(2.0 * PI * (k % n) / n)};
    });
}

// (1, 0) + r q^k (cos, sin)(2 pi k / turn): a ring for q = 1, a spiral closing in for q < 1.
std::vector<StrobePoint> spiral(int count, double r, double q, double turn)
{
    return points(count, [=](int k) {
        const double a = 2.0 * PI * k / turn, d = r * std::pow(q, k);
        return std::array{1.0 + d * std::cos(a), d * std::sin(a)};
    });
}

TEST(MeasureWindow, ClassesOfHandBuiltWindows)
{
    std::vector<StrobePoint> lost = cycle(1, 40);
    lost[17].v = NAN;
    const struct {
        const char* name;
        std::vector<StrobePoint> points;
        MotionState state;
        int period;
    } cases[] = {
        {"within the tolerance", cycle(1, 40, 0.99e-5), MotionState::locked, 1},
        {"just outside it, within 1e-3: closing in", cycle(1, 40, 1.01e-5), MotionState::settling, 0},
        {"three points", cycle(3, 40), MotionState::periodic, 3},
        {"period 20 shows twice in 40", cycle(20, 40), MotionState::periodic, 20},
        {"period 21 does not", cycle(21, 40), MotionState::drifting, 0},
        {"a ring, an irrational turn", spiral(40, 2.0, 1.0, 4.0 * PI), MotionState::drifting, 0},
        {"3e-5 from its point: not period 15", spiral(40, 3e-5, 0.99, 15), MotionState::settling, 0},
        {"one point", cycle(1, 1), MotionState::settling, 0},
        {"a point no longer finite", lost, MotionState::settling, 0},
    };
    for (const auto& c : cases) {
        const EntrainmentMeasure m = measure_window(c.points, {}, 1.0);
        EXPECT_EQ(static_cast<int>(m.state), static_cast<int>(c.state)) << c.name;
        EXPECT_EQ(m.strobe_period, c.period) << c.name;
    }
    // The ring's widest chord joins points 19 apart: 9.5 rad, 0.07 short of three half turns.
    EXPECT_NEAR(strobe_spread(spiral(40, 2.0, 1.0, 4.0 * PI)), 4.0 * std::fabs(std::sin(4.75)),
                1e-12);
    EXPECT_TRUE(std::isnan(strobe_spread({})));
}

// Crossings of a response whose phase slips behind the force's at the beat z (1 - rho), the
// slip bunched by `bunching` within the beat: psi(t) = z t - beat t + bunching sin(beat t)
// = 2 pi j, solved by Newton's method.
std::vector<double> slipping_crossings(double z, double rho, double bunching, int count)
{
    const double beat = z * (1.0 - rho);
    std::vector<double> c;
    for (double t = 0.0; static_cast<int>(c.size()) < count; c.push_back(t))
        for (int i = 0; i < 50; ++i)
            t -= (z * t - beat * t + bunching * std::sin(beat * t) - 2.0 * PI * c.size()) /
                 (z - beat + bunching * beat * std::cos(beat * t));
    return c;
}

TEST(RotationNumber, CountsWholeBeatsAndRefusesTooFewCrossings)
{
    const double z = 1.1, T = 2.0 * PI / z;
    std::vector<double> locked, third;
    for (int j = 0; j < 40; ++j) {
        locked.push_back(3.0 + j * T);
        third.push_back(3.0 + 3 * j * T);
    }
    EXPECT_NEAR(rotation_number(locked, z), 1.0, 1e-13);
    EXPECT_NEAR(rotation_number(third, z), 1.0 / 3.0, 1e-13);
    // 2.6 beats of a slip every 100 periods, bunched: from the first crossing to the last the
    // count is off by 1.3e-3; over whole beats by a hundredth of that.
    EXPECT_NEAR(rotation_number(slipping_crossings(z, 0.99, 1.5, 260), z), 0.99, 2e-5);
    EXPECT_TRUE(std::isnan(rotation_number(std::vector<double>{1.0}, z)));
    EXPECT_TRUE(std::isnan(rotation_number(locked, 0.0)));
}

TEST(JudgeMotion, WaitsWhileConvergingAndDecidesADriftOnceABeatCloses)
{
    const std::vector<StrobePoint> ring = spiral(120, 1.0, 1.0, 25.13);
    // Closing in by 0.97 a period, a turn in 7: 0.97^80 = 0.09 of the way.
    const std::vector<StrobePoint> closing = spiral(120, 0.1, 0.97, 7.0);
    const std::vector<double> slipping = slipping_crossings(1.0, 0.96, 0.5, 115);
    const std::vector<double> half_beat = slipping_crossings(1.0, 0.996, 0.0, 119);
    const std::vector<double> steady = slipping_crossings(1.0, 1.0, 0.0, 119);
    const struct {
        const char* name;
        std::span<const StrobePoint> points;
        const std::vector<double>& upcrossings;
        long limit;
        bool decided;
    } cases[] = {
        {"too few points yet", std::span(ring).first(69), slipping, 2000, false},
        {"a beat closes: drifting", ring, slipping, 2000, true},
        {"half a beat: measured on", ring, half_beat, 2000, false},
        {"converging: measured on", closing, steady, 2000, false},
        {"converging at the limit: settling", closing, steady, 120, true},
    };
    for (const auto& c : cases) {
        EntrainmentMeasure m = {MotionState::locked, 0, NAN, NAN, NAN};
        EXPECT_EQ(judge_motion(c.points, c.upcrossings, 1.0, c.limit, &m), c.decided) << c.name;
        EXPECT_TRUE(!c.decided || m.state == (c.limit == 120 ? MotionState::settling
                                                             : MotionState::drifting))
            << c.name;
    }
}

TEST(Collection, PointsAtTheForcingInstantsAsOurOwnIntegrationHasThem)
{
    // eps = 0.1, F = 0.2, z = 1: locked. Our steps end at every instant; the program's are
    // 0.02 apart and its points interpolated within them.
    start_program_run(0.1, 0.2, 1.0, 0.0);
    while (strobe_count < 150)
        advance_frame();
    const std::span<const StrobePoint> held = recent_strobe_points(150);
    std::vector<ReferencePoint> reference = {{0.0, 0.0}};
    double s[2] = {0.0, 0.0};
    reference_periods({0.1, 0.2, 1.0}, 0, 149, s, &reference);
    for (long k = 0; k < 150; ++k) {
        // Each instant from k, to the bit: a time accumulated period by period is not.
        EXPECT_EQ(held[k].k, k);
        EXPECT_EQ(held[k].t, k * (2.0 * PI / 1.0)) << k;
        // Two fourth-order integrators at h = 0.02 differ by about 1e-7 here.
        EXPECT_NEAR(held[k].y, reference[k].y, 1e-6) << k;
        EXPECT_NEAR(held[k].v, reference[k].v, 1e-6) << k;
    }
    // Locked: the last 40 repeat far within the tolerance (linear interpolation: 7e-5).
    EXPECT_LT(strobe_move(held.last(40), 1), 1e-7);
    EXPECT_EQ(static_cast<int>(motion_measure.state), static_cast<int>(MotionState::locked));
    EXPECT_NEAR(motion_measure.rotation, 1.0, 1e-6);
    // Frames drawn again from their kept state, one that took a crossing, one that took a
    // point: nothing is taken twice.
    for (int again = 0; again < 2;) {
        const double kept[3] = {state[0], state[1], sim_time};
        const long before[2] = {upcrossing_count, strobe_count};
        advance_simulation();
        const long after[2] = {upcrossing_count, strobe_count};
        if (after[again] == before[again])
            continue;
        std::memcpy(state, kept, sizeof state);
        sim_time = kept[2];
        advance_simulation();
        EXPECT_EQ(upcrossing_count, after[0]);
        EXPECT_EQ(strobe_count, after[1]);
        ++again;
    }
}

TEST(RatioChange, TheForceContinuesInPhaseAndTheMeasuresStartAgain)
{
    const double eps = 0.1, force = 0.2, z = 1.05;
    start_program_run(eps, force, 1.0, 0.0);
    advance_frames(1003);
    const double t_change = sim_time, theta = sim_time * 1.0;
    const double force_before = std::sin(forcing_phase(t_change)) * force_amp;
    change_forcing_ratio(z);
    EXPECT_EQ(std::sin(forcing_phase(t_change)) * force_amp, force_before);
    double found[CROSSING_CAPACITY], r = 0.0;
    EXPECT_EQ(crossing_count, find_crossings(z, found));
    EXPECT_EQ(strobe_count, 0);
    EXPECT_FALSE(last_measured_amplitude(&r));

    // 50 time units on, against our own integration of sin(theta + z (t - t_change)).
    double s[2] = {state[0], state[1]}, t = t_change;
    reference_steps({eps, force, z, t_change, theta}, &t, 0.02, 2500, s);
    advance_frames(500);
    EXPECT_NEAR(state[0], s[0], 1e-6);
    EXPECT_NEAR(state[1], s[1], 1e-6);
    // The first point after the change where the phase is a whole number of turns.
    const StrobePoint first = recent_strobe_points(strobe_count)[0];
    EXPECT_GT(first.t, t_change);
    EXPECT_LE(first.t, t_change + 2.0 * PI / z);
    EXPECT_NEAR(z * (first.t - t_change) + theta, 2.0 * PI * first.k, 1e-9);
    // The first-harmonic measure over whole periods of the new z: the partial one not kept.
    EXPECT_TRUE(last_measured_amplitude(&r));
    EXPECT_EQ(measured_count, strobe_count - 1);
    start_program_run(eps, force, 1.0, 0.0);
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
