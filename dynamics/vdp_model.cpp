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
    return vdp_acceleration(epsilon, force_amp, std::sin(forcing_phase(t)), y, v);
}

double vdp_jerk(double t, const double state_vector[], double a)
{
    return vdp_jerk_of(epsilon, force_amp, freq_ratio, std::cos(forcing_phase(t)),
                       state_vector[0], state_vector[1], a);
}
