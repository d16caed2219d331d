// The stability classes against the averaged equations built here on their own: the slow
// field of y = a cos(z t) + b sin(z t), averaged over one forcing period by quadrature of the
// model's right-hand side, differentiated by central differences at each response.
#include "response/stability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr int AVERAGE_POINTS = 64;   // exact for the trigonometric polynomials met here
constexpr double DIFFERENCE = 1e-5;

struct Model {
    double eps, force, z;
};

// (a', b') by the averaged variation of constants: a' = -<G sin>/z, b' = <G cos>/z with
// G = (z^2 - 1) y + eps (1 - y^2) y' + F sin(z t).
void slow_field(const Model& m, double a, double b, double out[2])
{
    double gs = 0.0;
    double gc = 0.0;
    for (int i = 0; i < AVERAGE_POINTS; ++i) {
        const double phase = 2.0 * std::numbers::pi * i / AVERAGE_POINTS;
        const double c = std::cos(phase);
        const double s = std::sin(phase);
        const double y = a * c + b * s;
        const double v = m.z * (b * c - a * s);
        const double g = (m.z * m.z - 1.0) * y + m.eps * (1.0 - y * y) * v + m.force * s;
        gs += g * s / AVERAGE_POINTS;
        gc += g * c / AVERAGE_POINTS;
    }
    out[0] = -gs / m.z;
    out[1] = gc / m.z;
}

// The rest point of amplitude r (one that satisfies the balance relation).
void rest_point(const Model& m, double r, double* a, double* b)
{
    const double mu = m.eps * m.z * (1.0 - r * r / 4.0);
    const double sigma = 1.0 - m.z * m.z;
    const double w = mu * mu + sigma * sigma;
    *a = m.force * mu / w;
    *b = m.force * sigma / w;
}

// The largest-to-smallest roots R of the balance relation at z, by bisection in R^2 on a
// fine grid: (1 - z^2)^2 R^2 + eps^2 z^2 R^2 (1 - R^2/4)^2 = F^2.
int balance_roots(const Model& m, double roots[3])
{
    auto h = [&](double q) {
        const double k = 1.0 - m.z * m.z;
        const double s = 1.0 - q / 4.0;
        return q * (k * k + m.eps * m.eps * m.z * m.z * s * s) - m.force * m.force;
    };
    int n = 0;
    const double dq = 1e-3;
    for (double q = dq; q < 16.0 && n < 3; q += dq) {
        if ((h(q - dq) < 0.0) == (h(q) < 0.0))
            continue;
        double lo = q - dq, hi = q;
        for (int i = 0; i < 60; ++i) {
            const double mid = 0.5 * (lo + hi);
            ((h(lo) < 0.0) == (h(mid) < 0.0) ? lo : hi) = mid;
        }
        roots[n++] = std::sqrt(0.5 * (lo + hi));
    }
    return n;
}

TEST(Stability, ClassesAndFormulasMatchTheFiniteDifferenceJacobian)
{
    // Cases with one root, three (stable, saddle, unstable), and responses on both sides of
    // sqrt 2; 'expected' names the classes from the smallest root up.
    const struct {
        Model m;
        const char* expected;
    } cases[] = {
        {{0.5, 0.2, 1.0}, "unstable saddle stable"},   // the guide's Floquet case
        {{0.1, 0.5, 1.0}, "stable"},
        {{0.1, 0.5, 0.5}, "unstable"},
        {{0.2, 0.1, 1.02}, "unstable saddle stable"},
        {{0.1, 0.5, 1.3}, "unstable"},
        {{2.0, 0.5, 0.9}, "unstable saddle stable"},
    };
    for (const auto& c : cases) {
        double roots[3];
        const int n = balance_roots(c.m, roots);
        std::string classes;
        for (int k = 0; k < n; ++k) {
            double a, b;
            rest_point(c.m, roots[k], &a, &b);
            double f[2], pa[2], ma[2], pb[2], mb[2];
            slow_field(c.m, a, b, f);
            EXPECT_LT(std::hypot(f[0], f[1]), 1e-12) << "not a rest point";
            slow_field(c.m, a + DIFFERENCE, b, pa);
            slow_field(c.m, a - DIFFERENCE, b, ma);
            slow_field(c.m, a, b + DIFFERENCE, pb);
            slow_field(c.m, a, b - DIFFERENCE, mb);
            const double j00 = (pa[0] - ma[0]) / (2 * DIFFERENCE), j10 = (pa[1] - ma[1]) / (2 * DIFFERENCE);
            const double j01 = (pb[0] - mb[0]) / (2 * DIFFERENCE), j11 = (pb[1] - mb[1]) / (2 * DIFFERENCE);
            const double trace = j00 + j11;
            const double det = j00 * j11 - j01 * j10;
            const double r = roots[k];
            EXPECT_NEAR(trace, response_trace(c.m.eps, r), 1e-8) << "R " << r;
            EXPECT_NEAR(det, response_delta(c.m.eps, c.m.z, r) / (4 * c.m.z * c.m.z), 1e-8) << "R " << r;
            const char* by_jacobian = det < 0.0 ? "saddle" : trace < 0.0 ? "stable" : "unstable";
            EXPECT_STREQ(response_class_name(classify_response(c.m.eps, c.m.z, r)), by_jacobian);
            classes += (k > 0 ? " " : "") + std::string(by_jacobian);
        }
        EXPECT_EQ(classes, c.expected) << "eps " << c.m.eps << " F " << c.m.force << " z " << c.m.z;
    }
}

TEST(Stability, BoundariesAreClassedOnTheirSafeSide)
{
    // eps = 0: no trace, neutral wherever the determinant is positive.
    EXPECT_EQ(classify_response(0.0, 0.9, 1.0), ResponseClass::neutral);
    // Delta = 0 exactly (z = 1, R = 2) or a NaN is never called stable.
    EXPECT_EQ(classify_response(0.3, 1.0, 2.0), ResponseClass::saddle);
    EXPECT_EQ(classify_response(NAN, 1.0, 2.0), ResponseClass::saddle);
}

}  // namespace
