// The forcing's phase, anchored where z last changed.
#include "dynamics/forcing.h"

#include <cmath>
#include <numbers>

double forcing_instant(long k)
{
    // The same product as the first-harmonic measure has always formed in a plain run.
    if (!forcing_ratio_changed)
        return plain_forcing_instant(k, freq_ratio);
    return (k * (2.0 * std::numbers::pi) - forcing_anchor_phase) / freq_ratio +
           forcing_anchor_time;
}

long forcing_period_at(double t)
{
    return static_cast<long>(std::floor(forcing_phase(t) / (2.0 * std::numbers::pi)));
}

void set_forcing_ratio(double z_new)
{
    forcing_anchor_phase = forcing_phase(sim_time);
    forcing_anchor_time = sim_time;
    forcing_ratio_changed = true;
    freq_ratio = z_new;
}

void reset_forcing_phase()
{
    forcing_ratio_changed = false;
    forcing_anchor_time = 0.0;
    forcing_anchor_phase = 0.0;
}
