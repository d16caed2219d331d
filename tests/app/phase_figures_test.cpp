// The phase plane's figures on the program's own stroboscopic points, each against a reference
// computed here: the fixed point by Newton's method on our own Runge-Kutta-Gill map, the
// drift and the periods from our own Runge-Kutta's section, our own Lyapunov exponent. Long
// runs: labelled validation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "app/run.h"
#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/phase_record.h"
#include "tests/support/program_run.h"
#include "tests/support/reference_motion.h"

namespace {

constexpr double TURN = 2.0 * std::numbers::pi;

// Every point of `periods` forcing periods of the program's motion from (y0, 0) (the ring
// holds fewer), and the second start's beside them where one is given.
std::vector<ReferencePoint> program_points(double eps, double force, double z, double y0,
                                           long periods,
                                           std::vector<ReferencePoint>* second = nullptr)
{
    start_program_run(eps, force, z, y0);
    std::vector<ReferencePoint> p;
    for (long seen = 0; seen < periods; seen = strobe_count) {
        advance_frames(1);
        for (const StrobePoint& q : recent_strobe_points(strobe_count - seen))
            p.push_back({q.y, q.v});
        if (second != nullptr)
            for (const StrobePoint& q : recent_second_points(strobe_count - seen))
                second->push_back({q.y, q.v});
    }
    return p;
}

// One period of our own Runge-Kutta-Gill at the window's step 0.02 and a short last step,
// Gill's constants as the program stores them: the map the program's points sample.
void gill_period(double s[2])
{
    const double w[3] = {0.292893219, 1.70710678, 0.16666667}, T = TURN;   // eps 0.1, F 0.5, z 1
    for (int j = 0; j <= 314; ++j) {
        const double t = j * 0.02, h = j < 314 ? 0.02 : T - 314 * 0.02;
        double q[2] = {0.0, 0.0}, y[2] = {s[0], s[1]};
        for (int stage = 0; stage < 4; ++stage) {
            const double at = t + (stage == 0 ? 0.0 : stage == 3 ? h : 0.5 * h);
            const double k[2] = {h * y[1],
                                 h * (0.1 * (1.0 - y[0] * y[0]) * y[1] - y[0] + 0.5 * std::sin(at))};
            for (int i = 0; i < 2; ++i) {
                // r = a (k - b q), q' = q + 3 r - a k: (a, b) = (1/2, 0), (w0, 1), (w1, 1), (w2, 2).
                const double a = stage == 0 ? 0.5 : w[stage - 1];
                const double r = a * (k[i] - (stage == 3 ? 2.0 : stage > 0) * q[i]);
                y[i] += r, q[i] += 3.0 * r - a * k[i];
            }
        }
        s[0] = y[0], s[1] = y[1];
    }
}

TEST(PhaseFigures, LockedPointsSitOnTheFixedPointOfTheMap)
{
    // Newton's method on our map, its derivative J by central differences.
    double x[2] = {-3.0, 0.0}, J[2][2];
    for (int iteration = 0; iteration < 12; ++iteration) {
        double p[2] = {x[0], x[1]};
        gill_period(p);
        for (int c = 0; c < 2; ++c) {
            double up[2] = {x[0], x[1]}, down[2] = {x[0], x[1]};
            up[c] += 1e-6, down[c] -= 1e-6;
            gill_period(up), gill_period(down);
            J[0][c] = (up[0] - down[0]) / 2e-6, J[1][c] = (up[1] - down[1]) / 2e-6;
        }
        const double a = J[0][0] - 1.0, b = J[0][1], c = J[1][0], d = J[1][1] - 1.0;
        const double g0 = p[0] - x[0], g1 = p[1] - x[1], det = a * d - b * c;
        x[0] -= (d * g0 - b * g1) / det, x[1] -= (a * g1 - c * g0) / det;
    }
    // Both multipliers inside the unit circle: |det J| < 1 and |trace J| < 1 + det J.
    const double det = J[0][0] * J[1][1] - J[0][1] * J[1][0];
    EXPECT_LT(std::fabs(J[0][0] + J[1][1]), 1.0 + det);
    EXPECT_LT(std::fabs(det), 1.0);
    // 10,000 periods, to t = 62,832: a section sampled at an accumulated time (t += 2 pi / z)
    // is 3e-8 off by then. The points' own wander stays below 6.3e-9: past t = 32,768 the
    // window's sum of steps rounds each 0.02 alike, a forcing detuned by 2e-10.
    const std::vector<ReferencePoint> p = program_points(0.1, 0.5, 1.0, 0.0, 10000);
    double worst = 0.0;
    for (std::size_t k = 300; k < p.size(); ++k)
        worst = std::max({worst, std::fabs(p[k].y - x[0]), std::fabs(p[k].v - x[1])});
    EXPECT_LT(worst, 1e-8) << "fixed point " << x[0] << ", " << x[1];
}

// Points seen from their centre: the angle turned per period (0 where a step turns back), the
// widest gap in angle once sorted, the least distance from the centre.
struct Ring {
    double turn, gap, radius;
};

Ring ring_of(const std::vector<ReferencePoint>& p)
{
    double cy = 0.0, cv = 0.0;
    for (const ReferencePoint& q : p)
        cy += q.y / p.size(), cv += q.v / p.size();
    std::vector<double> angles;
    Ring r = {0.0, 0.0, INFINITY};
    for (const ReferencePoint& q : p) {
        angles.push_back(std::atan2(q.v - cv, q.y - cy));
        r.radius = std::min(r.radius, std::hypot(q.v - cv, q.y - cy));
        const std::size_t n = angles.size();
        const double step = n > 1 ? std::remainder(angles[n - 1] - angles[n - 2], TURN) : 0.0;
        r.turn = r.turn * step < 0.0 ? -INFINITY : r.turn + step / (p.size() - 1);
    }
    std::sort(angles.begin(), angles.end());
    r.gap = angles.front() + TURN - angles.back();
    for (std::size_t i = 1; i < angles.size(); ++i)
        r.gap = std::max(r.gap, angles[i] - angles[i - 1]);
    return r;
}

TEST(PhaseFigures, DriftingPointsGoRoundAClosedRingAtTheDriftFrequency)
{
    // 600 periods after 300, the program's and our own Runge-Kutta's: every step turns the
    // same way round the centre, no gap in angle, a ring and not a cloud. The angle per period
    // over the period is the drift's angular frequency; Adler's law beside it. (Whole zero
    // crossings would count it only to 1.2 / 600.)
    const double eps = 0.1, force = 0.1, z = 1.2;
    std::vector<ReferencePoint> p = program_points(eps, force, z, 0.0, 900), ours;
    p.erase(p.begin(), p.begin() + 300);
    double s[2] = {0.0, 0.0};
    reference_periods({eps, force, z}, 0, 300, s, &ours);
    ours.clear();
    reference_periods({eps, force, z}, 300, 600, s, &ours);
    const Ring program = ring_of(p), reference = ring_of(ours);
    EXPECT_LT(program.gap, 0.05);
    EXPECT_GT(program.radius, 1.0);
    const double drift = std::fabs(program.turn) * z / TURN;
    const double w = 1.0 - eps * eps / 16.0;
    const double adler = std::sqrt((z - w) * (z - w) - force * force / (16.0 * z * z));
    EXPECT_NEAR(drift / (std::fabs(reference.turn) * z / TURN), 1.0, 0.01) << drift;
    EXPECT_NEAR(drift / adler, 1.0, 0.01) << drift << " against Adler's " << adler;
}

TEST(PhaseFigures, RelaxationGivesOneOrThreePointsAndBothInOneRun)
{
    // eps = F = 5, the second start from (1, 0): at z = 2 both repeat every three periods (one
    // point in the fast jump, v near -9, only within 8e-6); at z = 1.42 the motion from rest
    // repeats every period and the second start every three, two attractors in one run.
    const struct {
        double z;
        int first, second;
    } cases[] = {{2.0, 3, 3}, {1.42, 1, 3}};
    for (const auto& c : cases) {
        second_start_given = true;
        second_init[0] = 1.0, second_init[1] = 0.0;
        std::vector<ReferencePoint> second, ours;
        const std::vector<ReferencePoint> first = program_points(5.0, 5.0, c.z, 0.0, 300, &second);
        second_start_given = false;
        double s[2] = {1.0, 0.0};
        reference_periods({5.0, 5.0, c.z}, 0, 300, s, &ours);
        EXPECT_EQ(reference_period(first, 60, 1e-5), c.first) << c.z;
        EXPECT_EQ(reference_period(second, 60, 1e-5), c.second) << c.z;
        EXPECT_EQ(reference_period(ours, 60, 1e-5), c.second) << c.z;
    }
}

TEST(PhaseFigures, ChaosHasNoPeriodAndNearbyStartsSeparate)
{
    // eps = 8.53, F = 1.2, z = 2 pi / 10: 2,000 periods after 100 repeat at no period up to 64;
    // the largest Lyapunov exponent of the stroboscopic map, a neighbour 1e-8 away set back
    // every period, by our own Runge-Kutta (0.0070 per time unit over 10,000 periods at T/500
    // and T/2000 alike) and by the program with its second start as the neighbour.
    const double eps = 8.53, force = 1.2, z = TURN / 10.0, d0 = 1e-8;
    std::vector<ReferencePoint> p = program_points(eps, force, z, 0.0, 2100);
    p.erase(p.begin(), p.begin() + 100);
    for (int n = 1; n <= 64; ++n) {
        double moved = 0.0;
        for (std::size_t k = n; k < p.size(); ++k)
            moved = std::max(moved, std::fabs(p[k].y - p[k - n].y));
        EXPECT_GT(moved, 1e-3) << "period " << n;
    }
    double a[2] = {0.0, 0.0}, t = 0.0, ours = 0.0, program = 0.0;
    reference_steps({eps, force, z}, &t, 0.02, 100 * 500, a);
    double b[2] = {a[0] + d0, a[1]};
    second_start_given = true;
    start_program_run(eps, force, z, 0.0);
    advance_frames(100 * 100);
    second_state[0] = state[0] + d0;
    for (int k = 0; k < 2000; ++k) {
        double tb = t;
        reference_steps({eps, force, z}, &t, 0.02, 500, a);
        reference_steps({eps, force, z}, &tb, 0.02, 500, b);
        advance_frames(100);
        double* pairs[2][2] = {{a, b}, {state, second_state}};
        for (int m = 0; m < 2; ++m) {
            double* u = pairs[m][0];
            double* w = pairs[m][1];
            const double d = std::hypot(w[0] - u[0], w[1] - u[1]);
            (m == 0 ? ours : program) += std::log(d / d0) / (2000 * 10.0);
            w[0] = u[0] + (w[0] - u[0]) * d0 / d, w[1] = u[1] + (w[1] - u[1]) * d0 / d;
        }
    }
    second_start_given = false;
    EXPECT_GT(ours, 0.004);
    EXPECT_GT(program, 0.004);
    EXPECT_NEAR(program / ours, 1.0, 0.3) << program << " against " << ours;
}

}  // namespace
