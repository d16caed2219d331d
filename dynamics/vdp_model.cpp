// The forced Van der Pol model, evaluated one component at a time.
#include "dynamics/vdp_model.h"

#include <cmath>

#include "core/state.h"
#include "dynamics/forcing.h"

double vdp_rhs(int component, double t, const double state_vector[])
{
    const double y = state_vector[0];
    const double v = state_vector[1];
    if (component == 0)
        return v;
    // Evaluated in exactly this order; long runs are compared bit for bit.
    const double a = forcing_phase(t);
    const double s = std::sin(a);
    const double f = s * force_amp;
    double b = y * y;
    b = 1.0 - b;
    b = b * epsilon;
    b = b * v;
    b = b + f;
    return b - y;
}

double vdp_jerk(double t, const double state_vector[], double a)
{
    const double y = state_vector[0];
    const double v = state_vector[1];
    const double theta = forcing_phase(t);
    return epsilon * ((1.0 - y * y) * a - 2.0 * y * v * v) +
           force_amp * freq_ratio * std::cos(theta) - v;
}
