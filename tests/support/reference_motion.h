#pragma once
// An independent reference for the measured motion: classical Runge-Kutta (none of the
// program's code) for y'' - eps (1 - y^2) y' + y = F sin(theta0 + z (t - t0)), its points
// taken where steps of T / round(T / 0.02) end exactly at the forcing instants.
#include <vector>

struct ReferenceForcing {
    double eps, force, z;
    double t0 = 0.0, theta0 = 0.0;   // the phase's anchor
};

struct ReferencePoint {
    double y, v;
};

// n steps of h from (t, s), t advanced; returns the upward zero crossings at step ends.
long reference_steps(const ReferenceForcing& f, double* t, double h, long n, double s[2]);

// `periods` forcing periods from s at the instant of phase 2 pi k0, each period's end state
// appended to *points; returns the upward zero crossings.
long reference_periods(const ReferenceForcing& f, long k0, long periods, double s[2],
                       std::vector<ReferencePoint>* points);

// The smallest n <= 20 at which the last `window` points repeat within tol in y and v; 0 none.
int reference_period(const std::vector<ReferencePoint>& points, int window, double tol);

// From (y0, 0) at rest: whether the last 40 points repeat every period within 1e-5 before
// `limit` periods have passed (stopping as soon as they do).
bool reference_locks(double eps, double force, double z, double y0, long limit);
