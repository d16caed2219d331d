// Classical fourth-order Runge-Kutta on the forced oscillator, for references.
#include "reference_motion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

long reference_steps(const ReferenceForcing& f, double* t, double h, long n, double s[2])
{
    auto rates = [&f](double at, const double x[2], double k[2]) {
        k[0] = x[1];
        k[1] = f.eps * (1.0 - x[0] * x[0]) * x[1] - x[0] +
               f.force * std::sin(f.theta0 + f.z * (at - f.t0));
    };
    long up = 0;
    for (long j = 0; j < n; ++j) {
        const double tj = *t + j * h, y_before = s[0];
        double k[4][2], m[2];
        rates(tj, s, k[0]);
        for (int q = 1; q < 4; ++q) {
            for (int i = 0; i < 2; ++i)
                m[i] = s[i] + (q == 3 ? 1.0 : 0.5) * h * k[q - 1][i];
            rates(tj + (q == 3 ? 1.0 : 0.5) * h, m, k[q]);
        }
        for (int i = 0; i < 2; ++i)
            s[i] += h / 6.0 * (k[0][i] + 2.0 * k[1][i] + 2.0 * k[2][i] + k[3][i]);
        up += y_before < 0.0 && s[0] >= 0.0;
    }
    *t += n * h;
    return up;
}

long reference_periods(const ReferenceForcing& f, long k0, long periods, double s[2],
                       std::vector<ReferencePoint>* points)
{
    const double T = 2.0 * std::numbers::pi / f.z;
    const long n = std::lround(T / 0.02);
    long up = 0;
    for (long k = k0; k < k0 + periods; ++k) {
        double t = f.t0 + (2.0 * std::numbers::pi * k - f.theta0) / f.z;
        up += reference_steps(f, &t, T / n, n, s);
        points->push_back({s[0], s[1]});
    }
    return up;
}

int reference_period(const std::vector<ReferencePoint>& points, int window, double tol)
{
    const std::size_t first = points.size() - std::min<std::size_t>(points.size(), window);
    for (int n = 1; n <= 20; ++n) {
        bool same = first + n < points.size();
        for (std::size_t k = first + n; k < points.size() && same; ++k)
            same = std::fabs(points[k].y - points[k - n].y) <= tol &&
                   std::fabs(points[k].v - points[k - n].v) <= tol;
        if (same)
            return n;
    }
    return 0;
}

bool reference_locks(double eps, double force, double z, double y0, long limit)
{
    double s[2] = {y0, 0.0};
    std::vector<ReferencePoint> points;
    for (long k = 0; k < limit; k += 10) {
        reference_periods({eps, force, z}, k, 10, s, &points);
        if (points.size() >= 40 && reference_period(points, 40, 1e-5) == 1)
            return true;
    }
    return false;
}
