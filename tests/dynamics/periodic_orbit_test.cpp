// Periodic orbits against references built here: classical Runge-Kutta at a small step with
// the variational equations beside the motion, so that the once-per-period map and its
// derivative (whose eigenvalues are the multipliers) come from this file alone.
#include "dynamics/periodic_orbit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "core/state.h"
#include "dynamics/forcing.h"
#include "dynamics/rkg_step.h"

namespace {

struct Model {
    double eps, force, z;
};

// (y, v) and the derivative of the flow d(y, v)/d(y0, v0) column by column:
//   y' = v,  v' = eps (1 - y^2) v - y + F sin(z t),
//   J' = [[0, 1], [-1 - 2 eps y v, eps (1 - y^2)]] J.
void field(const Model& m, double t, const double s[6], double d[6])
{
    d[0] = s[1];
    d[1] = m.eps * (1.0 - s[0] * s[0]) * s[1] - s[0] + m.force * std::sin(m.z * t);
    for (int c = 2; c < 6; c += 2) {
        d[c] = s[c + 1];
        d[c + 1] = (-1.0 - 2.0 * m.eps * s[0] * s[1]) * s[c] + m.eps * (1.0 - s[0] * s[0]) * s[c + 1];
    }
}

// From x at t0 to t1 in steps; out gets (y, v), jac the flow's derivative.
void flow(const Model& m, double t0, double t1, int steps, const double x[2], double out[2],
          double jac[2][2])
{
    double s[6] = {x[0], x[1], 1.0, 0.0, 0.0, 1.0};
    const double h = (t1 - t0) / steps;
    for (int j = 0; j < steps; ++j) {
        const double t = t0 + j * h;
        double k[4][6], w[6];
        field(m, t, s, k[0]);
        for (int q = 1; q < 4; ++q) {
            const double at = q == 3 ? h : 0.5 * h;
            for (int i = 0; i < 6; ++i)
                w[i] = s[i] + at * k[q - 1][i];
            field(m, t + at, w, k[q]);
        }
        for (int i = 0; i < 6; ++i)
            s[i] += h / 6.0 * (k[0][i] + 2.0 * k[1][i] + 2.0 * k[2][i] + k[3][i]);
    }
    out[0] = s[0], out[1] = s[1];
    jac[0][0] = s[2], jac[1][0] = s[3], jac[0][1] = s[4], jac[1][1] = s[5];
}

// The moduli of the eigenvalues of a 2 x 2 matrix of determinant det, the larger first.
void moduli(const double a[2][2], double det, double out[2])
{
    const std::complex<double> half = 0.5 * (a[0][0] + a[1][1]);
    const std::complex<double> root = std::sqrt(half * half - det);
    out[0] = std::fmax(std::abs(half + root), std::abs(half - root));
    out[1] = std::fabs(det) / out[0];
}

// The orbit checked piece by piece between its samples (an unstable orbit cannot be followed
// for a whole period): each sample carried to the next (the last to the first) lands within
// tol, and the product of the pieces' derivatives gives the multipliers' moduli into mult
// (its determinant as the product of theirs: the product's own entries are too large).
void check_samples(const Model& m, const PeriodicOrbit& o, double tol, double mult[2])
{
    const double piece = 2.0 * std::numbers::pi / m.z / ORBIT_SAMPLES;
    double p[2][2] = {{1.0, 0.0}, {0.0, 1.0}}, det = 1.0;
    for (int k = 0; k < ORBIT_SAMPLES; ++k) {
        double end[2], j[2][2];
        flow(m, k * piece, (k + 1) * piece, 16, o.samples[k], end, j);
        const double* next = o.samples[(k + 1) % ORBIT_SAMPLES];
        ASSERT_LT(std::hypot(end[0] - next[0], end[1] - next[1]), tol) << "sample " << k;
        const double q[2][2] = {{j[0][0] * p[0][0] + j[0][1] * p[1][0], j[0][0] * p[0][1] + j[0][1] * p[1][1]},
                                {j[1][0] * p[0][0] + j[1][1] * p[1][0], j[1][0] * p[0][1] + j[1][1] * p[1][1]}};
        for (int r = 0; r < 4; ++r)
            p[r / 2][r % 2] = q[r / 2][r % 2];
        det *= j[0][0] * j[1][1] - j[0][1] * j[1][0];
    }
    moduli(p, det, mult);
}

TEST(PeriodicOrbit, LockedMotionGivesAFixedPointOfTheIndependentMapAndLeavesTheRunAlone)
{
    const Model m{0.1, 0.5, 1.0};
    const double period = 2.0 * std::numbers::pi / m.z;
    // The motion from rest after 200 periods, caught between two strobe instants.
    double s[2] = {0.0, 0.0}, j[2][2];
    const double t = 200.0 * period + 1.234;
    flow(m, 0.0, t, 200 * 400, s, s, j);

    // The run's own state, as the window holds it when the key is pressed, stays as it is.
    epsilon = 0.7, force_amp = 0.3, freq_ratio = 1.3, state[0] = 0.25, state[1] = -0.5;
    sim_time = 12.5;
    const PeriodicOrbit o = find_periodic_orbit(m.eps, m.force, m.z, t, s, OrbitGuess::motion);
    const double run[6] = {epsilon, force_amp, freq_ratio, state[0], state[1], sim_time};
    const double kept[6] = {0.7, 0.3, 1.3, 0.25, -0.5, 12.5};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(run[i], kept[i]) << i;

    ASSERT_TRUE(o.found);
    EXPECT_LE(o.iterations, 2);   // carried to the strobe instant, the settled motion is on it
    // A fixed point of the once-per-period map as far as the program's integrator, at the
    // window's step, follows the equation: its error over one period is 3.1e-8 here.
    double back[2], mult[2];
    flow(m, 0.0, period, 8000, o.start, back, j);
    EXPECT_LT(std::hypot(back[0] - o.start[0], back[1] - o.start[1]), 4e-8);
    moduli(j, j[0][0] * j[1][1] - j[0][1] * j[1][0], mult);
    EXPECT_LT(mult[0], 1.0);
    EXPECT_NEAR(std::abs(o.multipliers[0]), mult[0], 1e-6);
    EXPECT_NEAR(std::abs(o.multipliers[1]), mult[1], 1e-6);
    EXPECT_EQ(o.stability, ResponseClass::stable);
    EXPECT_EQ(o.samples[0][0], o.start[0]);
    EXPECT_EQ(o.samples[0][1], o.start[1]);
    check_samples(m, o, 1e-8, mult);
    // The first harmonic from the samples, checked above: (2 / S) |sum y_k e^{-i z t_k}|.
    std::complex<double> sum = 0.0;
    for (int k = 0; k < ORBIT_SAMPLES; ++k)
        sum += o.samples[k][0] * std::polar(1.0, -2.0 * std::numbers::pi * k / ORBIT_SAMPLES);
    EXPECT_NEAR(o.first_harmonic, 2.0 * std::abs(sum) / ORBIT_SAMPLES, 1e-9);

    // The run's motion (the integrator at the window's step from rest) settles on it: after
    // 600 periods, carried to the strobe instant by one shortened step, 1.7e-9 away.
    epsilon = m.eps, force_amp = m.force, freq_ratio = m.z;
    double y[2] = {0.0, 0.0}, at[2];
    long i = 0;
    for (; (i + 1) * FRAME_TIME_STEP < 600.0 * period; ++i)
        rkg_step(i * FRAME_TIME_STEP, FRAME_TIME_STEP, y, y, 2);
    rkg_step(i * FRAME_TIME_STEP, 600.0 * period - i * FRAME_TIME_STEP, y, at, 2);
    EXPECT_LT(std::hypot(at[0] - o.start[0], at[1] - o.start[1]), 1e-8);
}

TEST(PeriodicOrbit, StronglyUnstableOrbitNeedsMultipleShooting)
{
    // eps = 5, z = 0.8: near y = 0 deviations grow by e^37 per period, so one Newton
    // correction over the whole period means nothing; the small orbit is found by segments.
    // The guess: the linear response y'' - eps y' + y = F sin(z t), y = (F / D)(m cos + k sin),
    // k = 1 - z^2, m = eps z, D = k^2 + m^2.
    const Model m{5.0, 0.5, 0.8};
    const double k = 1.0 - m.z * m.z, e = m.eps * m.z, d = k * k + e * e;
    const double guess[2] = {m.force * e / d, m.z * m.force * k / d};
    const PeriodicOrbit single = find_periodic_orbit(m.eps, m.force, m.z, 0.0, guess,
                                                     OrbitGuess::harmonic, 1);
    EXPECT_FALSE(single.found);
    EXPECT_EQ(single.segments, 1);
    const PeriodicOrbit o = find_periodic_orbit(m.eps, m.force, m.z, 0.0, guess,
                                                OrbitGuess::harmonic);
    ASSERT_TRUE(o.found);
    EXPECT_GT(o.segments, 1);
    EXPECT_EQ(o.stability, ResponseClass::unstable);
    double mult[2];
    check_samples(m, o, 1e-8, mult);
    EXPECT_GT(mult[0], 1e15);
    EXPECT_NEAR(std::abs(o.multipliers[0]) / mult[0], 1.0, 1e-4);
    EXPECT_NEAR(std::abs(o.multipliers[1]) / mult[1], 1.0, 1e-6);
}

TEST(PeriodicOrbit, EndsWithNotFoundAndTheModelGivenBack)
{
    const double nan = std::nan(""), inf = INFINITY;
    const struct {
        double eps, force, z, y;
        OrbitGuess guess;
    } cases[] = {
        {0.1, 0.5, 0.0, 0.0, OrbitGuess::motion},      // no forcing period
        {0.1, 0.5, -1.0, 0.0, OrbitGuess::motion},
        {0.1, 0.5, nan, 0.0, OrbitGuess::motion},
        {0.1, 0.5, inf, 0.0, OrbitGuess::motion},
        {0.1, 0.5, 0.015, 0.0, OrbitGuess::motion},    // a period of more steps than allowed
        {inf, 0.5, 1.0, 0.0, OrbitGuess::motion},
        {0.1, 0.5, 1.0, nan, OrbitGuess::harmonic},
        {0.1, 0.5, 1.0, 1e200, OrbitGuess::motion},    // the motion overflows
        // eps = 5 at z = 1 locks nowhere near the relaxation cycle: no orbit of period 2 pi
        // there, whatever the segments.
        {5.0, 0.2, 1.0, 2.0, OrbitGuess::motion},
    };
    epsilon = 0.25;
    for (const auto& c : cases) {
        const double s[2] = {c.y, 0.0};
        const PeriodicOrbit o = find_periodic_orbit(c.eps, c.force, c.z, 0.0, s, c.guess);
        EXPECT_FALSE(o.found) << "eps " << c.eps << " z " << c.z << " y " << c.y;
        EXPECT_EQ(o.multipliers[0], 0.0);
        EXPECT_EQ(o.first_harmonic, 0.0);
        EXPECT_EQ(epsilon, 0.25);
    }
}

TEST(PeriodicOrbit, TheSameOrbitAfterZChangedWithinTheRun)
{
    // A change of z anchors the forcing's phase where it stood; the orbit of the new z is still
    // the orbit of F sin(z t), whatever the anchor, and the anchor stays as it was.
    const double s[2] = {-3.2, 0.14};
    const PeriodicOrbit plain = find_periodic_orbit(0.1, 0.5, 1.0, 0.0, s, OrbitGuess::motion);
    freq_ratio = 0.9;
    sim_time = 7.3;
    set_forcing_ratio(1.0);
    const PeriodicOrbit anchored = find_periodic_orbit(0.1, 0.5, 1.0, 0.0, s, OrbitGuess::motion);
    EXPECT_TRUE(forcing_ratio_changed);
    EXPECT_EQ(forcing_anchor_time, 7.3);
    reset_forcing_phase();
    sim_time = 0.0;
    ASSERT_TRUE(plain.found && anchored.found);
    EXPECT_EQ(anchored.start[0], plain.start[0]);
    EXPECT_EQ(anchored.start[1], plain.start[1]);
}

}  // namespace
