#pragma once
// Measurements of the simulated motion, headless, with the simulator's own integrator, set
// beside what first-harmonic balance predicts. Every function here but orbit_at_crossing
// overwrites the model parameters (epsilon, force_amp, freq_ratio); the free cycle also the
// simulation state (state, sim_time, time_step, steps_per_frame), and the harmonic-balance
// functions main_curve, its folds, amp_step and amp_steps.

#include "dynamics/periodic_orbit.h"
#include "response/stability.h"

constexpr int STROBE_SAMPLES = 40;      // stroboscopic samples judged for locking
constexpr double LOCK_TOLERANCE = 1e-6; // largest move between successive samples of a locked run

// The free limit cycle (F = 0), measured after the transient.
struct FreeCycle {
    double period;         // time between the last two upward zero crossings
    double amplitude;      // largest displacement over the last period
    double period_change;  // last period minus the one before: what is left of the transient
};

// The forced motion after the transient, sampled once per forcing period 2 pi / z.
struct ForcedResponse {
    bool   locked;          // the stroboscopic samples stand still: period-one entrainment
    double strobe_move;     // largest distance between successive stroboscopic samples
    double first_harmonic;  // amplitude of the component at the forcing frequency, last period
    double peak;            // largest |y| over the last forcing period
    double strobe[2];       // last stroboscopic sample (y, v), at a whole number of periods
};

// The forcing ratios, on a grid, at which the motion locks (or harmonic balance has a stable
// solution), from the first such ratio to the last.
struct LockingBand {
    double z_first;  // first ratio of the grid with locking; 0 when there is none
    double z_last;   // last such ratio
    int    gaps;     // ratios between the two without locking: 0 for one unbroken band
};

// How first-harmonic balance itself judges one of its solutions.
enum HbVerdict {
    HB_STABLE,         // both conditions hold
    HB_BELOW_LEVEL,    // amplitude below sqrt 2: the trace condition fails
    HB_SADDLE,         // amplitude above sqrt 2 but the determinant condition fails
};

// Free oscillator with the integrator step h, from (2, 0), settling for settle_time first.
FreeCycle measure_free_cycle(double eps, double h, double settle_time);

// Forced oscillator from (y0, v0): settle_periods forcing periods, then STROBE_SAMPLES more.
// The step is the largest not above the window's step that divides the forcing period, so
// every stroboscopic sample falls on a step.
ForcedResponse measure_forced_response(double eps, double force, double z, double y0, double v0,
                                       int settle_periods);

// The periodic orbit near the harmonic-balance solution of amplitude r (its harmonic motion
// as the guess).
PeriodicOrbit orbit_at_crossing(double eps, double force, double z, double r);

// How many ratios z_from, z_from + dz, ... up to z_to (within half a step) are.
int grid_size(double z_from, double z_to, double dz);

// Scans z = z_from, z_from + dz, ... up to z_to, each run from rest.
LockingBand scan_locking_band(double eps, double force, double z_from, double z_to, double dz,
                              int settle_periods);

// The same grid, judged by harmonic balance: a ratio counts when one of its crossings is
// HB_STABLE.
LockingBand scan_hb_band(double eps, double force, double z_from, double z_to, double dz);

// The amplitudes where the line z meets the curve for eps and force, as the window marks them.
// found must hold CROSSING_CAPACITY entries; returns the count.
int hb_crossings(double eps, double force, double z, double found[]);

// The stability that harmonic balance gives a solution of amplitude r at ratio z.
HbVerdict hb_verdict(double eps, double z, double r);

// The harmonic-balance solution y = a sin(z t) + b cos(z t) of amplitude r, as (y, v) at t = 0.
void hb_start_state(double eps, double force, double z, double r, double out[2]);

// Crossings closer than this share of their amplitude to a fold (Delta = 0 at their z) or to
// sqrt 2 are near a stability boundary, where the motion and harmonic balance may well
// disagree.
constexpr double BOUNDARY_SHARE = 0.01;
// Newton's method counts as having found the orbit near a crossing when the orbit's first
// harmonic lies within this share of the crossing's amplitude, and no other crossing at that
// z lies closer to it.
constexpr double ORBIT_NEAR_SHARE = 0.1;

// One crossing of the curve for eps and force at z, judged by the stability layer and by
// the periodic orbit found from it.
struct StabilityCheck {
    double r;                   // the crossing's amplitude
    ResponseClass predicted;    // the layer's class
    bool near_boundary;         // within BOUNDARY_SHARE of a fold or of sqrt 2
    bool found;                 // an orbit that belongs to the crossing was found
    ResponseClass measured;     // its class by the multipliers, when found
    PeriodicOrbit orbit;
};

// The crossings at z (at most CROSSING_CAPACITY into checks); returns their count.
int check_stability(double eps, double force, double z, StabilityCheck checks[]);
