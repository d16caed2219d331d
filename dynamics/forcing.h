#pragma once
// The phase of the forcing F sin(theta). theta' = z, with z = freq_ratio: until z changes
// within a run theta is z t, computed as the model always has (a plain run stays bit for bit
// what it was); a change of z while the motion runs advances theta piecewise from where it
// stood, so the force stays continuous. Every evaluation of the forcing goes through here.
#include <numbers>

#include "core/state.h"

// theta at time t for ratio z, anchored at (anchor_time, anchor_phase) once z has changed.
inline double anchored_phase(bool changed, double anchor_time, double anchor_phase, double z,
                             double t)
{
    if (!changed)
        return z * t;
    return (t - anchor_time) * z + anchor_phase;
}

// theta at time t. Inline: the model evaluates it in every stage of every step.
inline double forcing_phase(double t)
{
    return anchored_phase(forcing_ratio_changed, forcing_anchor_time, forcing_anchor_phase,
                          freq_ratio, t);
}

// The instant at which theta = 2 pi k: the start of forcing period k. Computed from k, never
// accumulated, so that the instants of a long run keep their place to the last bits.
double forcing_instant(long k);

// forcing_instant for theta = z t, z unchanged since t = 0 (a plain run, a locking map's cell).
inline double plain_forcing_instant(long k, double z)
{
    return k * (2.0 * std::numbers::pi / z);
}

// The forcing period in progress at t: floor(theta / 2 pi).
long forcing_period_at(double t);

// z becomes z_new at sim_time, theta continuing from its value there.
void set_forcing_ratio(double z_new);

// theta = z t again, as at the beginning of every run.
void reset_forcing_phase();
