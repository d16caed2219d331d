// The stability classes against the averaged equations built here on their own: the slow
// field of y = a cos(z t) + b sin(z t), averaged over one forcing period by quadrature of the
// model's right-hand side, differentiated by central differences at each response.
#include "response/stability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

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
    // One root, three (unstable, saddle, stable, smallest first), both sides of sqrt 2.
    const struct {
        double eps, force, z;
        const char* expected;
    } cases[] = {
        {0.5, 0.2, 1.0, "unstable saddle stable"},   // the guide's Floquet case
        {0.1, 0.5, 1.0, "stable"},
        {0.1, 0.5, 0.5, "unstable"},
        {0.2, 0.1, 1.02, "unstable saddle stable"},
        {0.1, 0.5, 1.3, "unstable"},
        {2.0, 0.5, 0.9, "unstable saddle stable"},
    };
    for (const auto& c : cases) {
        const double k = 1.0 - c.z * c.z;
        auto balance = [&](double q) {   // the balance relation in q = R^2
            const double m = c.eps * c.z * (1.0 - q / 4.0);
            return q * (k * k + m * m) - c.force * c.force;
        };
        std::string classes;
        for (double q = 1e-3; q < 16.0; q += 1e-3) {
            if ((balance(q - 1e-3) < 0.0) == (balance(q) < 0.0))
                continue;
            double lo = q - 1e-3, hi = q;
            for (int i = 0; i < 60; ++i)
                ((balance(lo) < 0.0) == (balance(0.5 * (lo + hi)) < 0.0) ? lo : hi) = 0.5 * (lo + hi);
            const double r = std::sqrt(lo);
            const double m = c.eps * c.z * (1.0 - lo / 4.0);
            const double a = c.force * m / (m * m + k * k), b = c.force * k / (m * m + k * k);
            double f[2], j[2][2];
            slow_field(c.eps, c.force, c.z, a, b, f);
            EXPECT_LT(std::hypot(f[0], f[1]), 1e-9) << "not a rest point, R " << r;
            for (int col = 0; col < 2; ++col) {
                double plus[2], minus[2];
                const double d[2] = {col == 0 ? DIFFERENCE : 0.0, col == 1 ? DIFFERENCE : 0.0};
                slow_field(c.eps, c.force, c.z, a + d[0], b + d[1], plus);
                slow_field(c.eps, c.force, c.z, a - d[0], b - d[1], minus);
                for (int row = 0; row < 2; ++row)
                    j[row][col] = (plus[row] - minus[row]) / (2.0 * DIFFERENCE);
            }
            const double trace = j[0][0] + j[1][1];
            const double det = j[0][0] * j[1][1] - j[0][1] * j[1][0];
            EXPECT_NEAR(trace, response_trace(c.eps, r), 1e-8) << "R " << r;
            EXPECT_NEAR(det, response_delta(c.eps, c.z, r) / (4.0 * c.z * c.z), 1e-8) << "R " << r;
            const char* by_jacobian = det < 0.0 ? "saddle" : trace < 0.0 ? "stable" : "unstable";
            EXPECT_STREQ(response_class_name(classify_response(c.eps, c.z, r)), by_jacobian);
            classes += (classes.empty() ? "" : " ") + std::string(by_jacobian);
        }
        EXPECT_EQ(classes, c.expected) << "eps " << c.eps << " F " << c.force << " z " << c.z;
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
