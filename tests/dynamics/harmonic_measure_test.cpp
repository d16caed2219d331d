// The measured first-harmonic amplitude against references built here on their own: the
// motion by classical Runge-Kutta at a step a hundred times finer than the window's, each
// period's harmonic by Simpson's rule, the predicted amplitude by bisection of the balance.
#include "dynamics/harmonic_measure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/state.h"
#include "dynamics/simulation_step.h"

namespace {

constexpr int FINE_STEPS_PER_PERIOD = 8000;   // even, for Simpson's rule
constexpr long FRAMES = 2000;

struct Case {
    double eps, force, z;
};

// The program's motion from rest for FRAMES frames; returns the measured amplitudes of the
// last MEASURED_PERIODS whole periods, oldest first, and leaves the last period's index in *k.
std::vector<double> program_measure(const Case& c, long* k)
{
    epsilon = c.eps;
    force_amp = c.force;
    freq_ratio = c.z;
    state[0] = 0.0;
    state[1] = 0.0;
    sim_time = 0.0;
    time_step = FRAME_TIME_STEP;
    steps_per_frame = FRAME_STEPS;
    reset_harmonic_measure();
    for (long i = 0; i < FRAMES; ++i)
        advance_simulation();
    *k = harmonic_period - 1;
    std::vector<double> r;
    for (long p = harmonic_period - MEASURED_PERIODS; p < harmonic_period; ++p)
        r.push_back(measured_amps[p % MEASURED_PERIODS]);
    return r;
}

void rhs(const Case& c, double t, const double s[2], double out[2])
{
    out[0] = s[1];
    out[1] = c.eps * (1.0 - s[0] * s[0]) * s[1] - s[0] + c.force * std::sin(c.z * t);
}

// The reference: periods 0 ... last from rest, each period's first harmonic by Simpson.
std::vector<double> reference_measure(const Case& c, long last)
{
    const double period = 2.0 * std::numbers::pi / c.z;
    const double h = period / FINE_STEPS_PER_PERIOD;
    double s[2] = {0.0, 0.0};
    std::vector<double> r;
    for (long p = 0; p <= last; ++p) {
        double ca = 0.0, sb = 0.0;
        for (int j = 0; j <= FINE_STEPS_PER_PERIOD; ++j) {
            const double t = p * period + j * h;
            const double w = (j == 0 || j == FINE_STEPS_PER_PERIOD) ? 1.0 : (j % 2 ? 4.0 : 2.0);
            ca += w * s[0] * std::cos(c.z * t);
            sb += w * s[0] * std::sin(c.z * t);
            if (j == FINE_STEPS_PER_PERIOD)
                break;
            double k1[2], k2[2], k3[2], k4[2], m[2];
            rhs(c, t, s, k1);
            for (int i = 0; i < 2; ++i) m[i] = s[i] + 0.5 * h * k1[i];
            rhs(c, t + 0.5 * h, m, k2);
            for (int i = 0; i < 2; ++i) m[i] = s[i] + 0.5 * h * k2[i];
            rhs(c, t + 0.5 * h, m, k3);
            for (int i = 0; i < 2; ++i) m[i] = s[i] + h * k3[i];
            rhs(c, t + h, m, k4);
            for (int i = 0; i < 2; ++i) s[i] += h / 6.0 * (k1[i] + 2.0 * k2[i] + 2.0 * k3[i] + k4[i]);
        }
        const double scale = c.z / std::numbers::pi * h / 3.0;
        if (p > last - MEASURED_PERIODS)
            r.push_back(std::hypot(scale * ca, scale * sb));
    }
    return r;
}

// The largest amplitude of the balance relation at z = 1: R (R^2/4 - 1) = F / eps.
double stable_amplitude_at_one(const Case& c)
{
    double lo = 2.0, hi = 10.0;
    for (int i = 0; i < 80; ++i) {
        const double mid = 0.5 * (lo + hi);
        (mid * (mid * mid / 4.0 - 1.0) < c.force / c.eps ? lo : hi) = mid;
    }
    return lo;
}

TEST(HarmonicMeasure, LockedAndBeatingMotionsGiveTheIndependentFigures)
{
    // Locked: the marker on the stable crossing, a short bar.
    const Case locked = {0.1, 0.5, 1.0};
    long k = 0;
    const std::vector<double> got = program_measure(locked, &k);
    const std::vector<double> want = reference_measure(locked, k);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], want[i], 1e-4 * want[i]) << "period " << k - 9 + static_cast<long>(i);
    const double crossing = stable_amplitude_at_one(locked);
    EXPECT_NEAR(got.back(), crossing, 0.005 * crossing);
    const auto [low, high] = std::minmax_element(got.begin(), got.end());
    EXPECT_LT(*high - *low, 0.01 * crossing);
    double r = 0.0, bar_low = 0.0, bar_high = 0.0;
    ASSERT_TRUE(last_measured_amplitude(&r));
    EXPECT_EQ(r, got.back());
    ASSERT_EQ(measured_range(&bar_low, &bar_high), MEASURED_PERIODS);
    EXPECT_EQ(bar_low, *low);
    EXPECT_EQ(bar_high, *high);

    // Outside the locking band the motion beats: a long bar.
    const Case beating = {0.1, 0.1, 1.2};
    const std::vector<double> beat = program_measure(beating, &k);
    const std::vector<double> beat_want = reference_measure(beating, k);
    for (std::size_t i = 0; i < beat.size(); ++i)
        EXPECT_NEAR(beat[i], beat_want[i], 1e-3 * beat_want[i]) << "period " << i;
    const auto [b_low, b_high] = std::minmax_element(beat_want.begin(), beat_want.end());
    double mean = 0.0;
    for (double v : beat_want)
        mean += v / static_cast<double>(beat_want.size());
    EXPECT_GT(*b_high - *b_low, 0.2 * mean);
}

TEST(HarmonicMeasure, NothingUntilAWholePeriodAndNothingWithoutForcingFrequency)
{
    for (const double z : {1.0, 0.0, -1.0, 1e6}) {
        epsilon = 0.1;
        force_amp = 0.5;
        freq_ratio = z;
        state[0] = 1.0;
        state[1] = 0.0;
        sim_time = 0.0;
        reset_harmonic_measure();
        double r = -1.0, low = -1.0, high = -1.0;
        for (int i = 0; i < 62; ++i)   // t = 6.2, short of 2 pi
            advance_simulation();
        EXPECT_FALSE(last_measured_amplitude(&r)) << "z " << z;
        EXPECT_EQ(measured_range(&low, &high), 0) << "z " << z;
        advance_simulation();
        EXPECT_EQ(last_measured_amplitude(&r), z == 1.0) << "z " << z;
    }
}

}  // namespace
