// The stability classes against the averaged equations built here on their own: the slow
// field of y = a cos(z t) + b sin(z t), averaged over one forcing period by quadrature of the
// model's right-hand side, differentiated by central differences at each response.
#include "response/stability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr int POINTS = 64;   // exact for the trigonometric polynomials averaged here
constexpr double DIFFERENCE = 1e-5;

// (a', b') = (-<G sin>, <G cos>) / z, G = (z^2 - 1) y + eps (1 - y^2) y' + F sin(z t).
void slow_field(double eps, double force, double z, double a, double b, double out[2])
{
    out[0] = out[1] = 0.0;
    for (int i = 0; i < POINTS; ++i) {
        const double c = std::cos(2.0 * std::numbers::pi * i / POINTS);
        const double s = std::sin(2.0 * std::numbers::pi * i / POINTS);
        const double y = a * c + b * s;
        const double g = (z * z - 1.0) * y + eps * (1.0 - y * y) * z * (b * c - a * s) + force * s;
        out[0] -= g * s / POINTS / z;
        out[1] += g * c / POINTS / z;
    }
}

TEST(Stability, ClassesAndFormulasMatchTheFiniteDifferenceJacobian)
{
    // Responses of amplitude R at (eps, z), each with the F that makes it one: the guide's
    // three at eps = 0.5, z = 1, a saddle above sqrt 2 at z = 1 and off it, both sides of sqrt 2.
    const struct {
        double eps, z, r;
        const char* expected;
    } cases[] = {
        {0.5, 1.0, 0.41821, "unstable"}, {0.5, 1.0, 1.7578, "saddle"}, {0.5, 1.0, 2.1765, "stable"},
        {0.1, 1.0, 1.5, "saddle"},       {0.2, 1.02, 1.8045, "saddle"}, {0.2, 1.02, 2.1166, "stable"},
        {0.1, 1.3, 1.0, "unstable"},     {2.0, 0.9, 2.3, "stable"},     {1.0, 0.6, 1.2, "unstable"},
    };
    for (const auto& c : cases) {
        const double k = 1.0 - c.z * c.z;
        const double m = c.eps * c.z * (1.0 - c.r * c.r / 4.0);
        const double force = c.r * std::sqrt(k * k + m * m);   // the balance relation
        const double a = force * m / (m * m + k * k), b = force * k / (m * m + k * k);
        double f[2], j[2][2];
        slow_field(c.eps, force, c.z, a, b, f);
        EXPECT_LT(std::hypot(f[0], f[1]), 1e-12) << "not a rest point, R " << c.r;
        for (int col = 0; col < 2; ++col) {
            double plus[2], minus[2];
            const double d[2] = {col == 0 ? DIFFERENCE : 0.0, col == 1 ? DIFFERENCE : 0.0};
            slow_field(c.eps, force, c.z, a + d[0], b + d[1], plus);
            slow_field(c.eps, force, c.z, a - d[0], b - d[1], minus);
            for (int row = 0; row < 2; ++row)
                j[row][col] = (plus[row] - minus[row]) / (2.0 * DIFFERENCE);
        }
        const double trace = j[0][0] + j[1][1];
        const double det = j[0][0] * j[1][1] - j[0][1] * j[1][0];
        EXPECT_NEAR(trace, response_trace(c.eps, c.r), 1e-8) << "R " << c.r;
        EXPECT_NEAR(det, response_delta(c.eps, c.z, c.r) / (4.0 * c.z * c.z), 1e-8) << "R " << c.r;
        const char* by_jacobian = det < 0.0 ? "saddle" : trace < 0.0 ? "stable" : "unstable";
        EXPECT_STREQ(by_jacobian, c.expected) << "R " << c.r;
        EXPECT_STREQ(response_class_name(classify_response(c.eps, c.z, c.r)), c.expected);
    }
}

TEST(Stability, BoundariesAreClassedOnTheirSafeSide)
{
    // eps = 0: no trace, neutral wherever the determinant is positive; Delta = 0 exactly
    // (z = 1, R = 2) or a NaN is never called stable.
    EXPECT_EQ(classify_response(0.0, 0.9, 1.0), ResponseClass::neutral);
    EXPECT_EQ(classify_response(0.3, 1.0, 2.0), ResponseClass::saddle);
    EXPECT_EQ(classify_response(NAN, 1.0, 2.0), ResponseClass::saddle);
}

}  // namespace
