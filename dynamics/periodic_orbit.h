#pragma once
// The periodic orbit of the forcing period T = 2 pi / z near a given motion: Newton's method on
// the once-per-period (stroboscopic) map by multiple shooting, with the program's own
// integrator (rkg_step over vdp_rhs) at a step that divides T, and the map's two eigenvalues
// (Floquet multipliers) at the orbit. Headless, for the window's key and for vdp-validate.
#include "core/types.h"

constexpr int ORBIT_SEGMENT_CAPACITY = 32;   // shooting segments per period at most
// Integrator steps per period at most (z >= about 0.016): bounds the time one search takes.
constexpr int ORBIT_STEP_CAPACITY = 20000;

// Where the first segment starts of Newton's method come from, given a state (y, v) at t.
enum class OrbitGuess {
    // The motion itself from that state, carried to the next t = 0 mod T: right for a motion
    // that has settled on (or near) the orbit.
    motion,
    // The harmonic motion of frequency z through that state: right near a harmonic-balance
    // response, and for strongly unstable orbits, which the motion itself leaves at once.
    harmonic,
};


// Integrator steps per forcing period: the fewest that keep the step at or below the window's
// (FRAME_TIME_STEP), so that every stroboscopic instant falls on a step. z > 0.
int strobe_steps(double z);

// Advances s by the integrator steps j = from ... to - 1 of length h, step j starting at
// t0 + j h: the time is taken from the step index, so that it does not drift.
void advance_steps(double t0, double h, int from, int to, double s[2]);

// The periodic orbit of period 2 pi / z of the model with eps, force and z, near the state s
// (y, v) at time t, by Newton's method on all segment starts together. The segments are short
// enough that no deviation grows by more than a few e-folds across one (at most
// ORBIT_SEGMENT_CAPACITY); where that fails, the count is halved down to single shooting.
// segments > 0 sets the count instead, with no other tries (1: single shooting). The
// multipliers come from the product of the segments' derivatives. Not found when z is not
// positive or so small that a period needs more than ORBIT_STEP_CAPACITY steps, when an
// argument or an iterate is not finite, or when no try converges within its iterations and
// the search's budget of integrator steps (a fraction of a second). Borrows the model
// parameters (epsilon, force_amp, freq_ratio) and the forcing's phase (theta = z t, whatever
// anchor a change of z left) and gives them back as they were; no other program state is read
// or written.
PeriodicOrbit find_periodic_orbit(double eps, double force, double z, double t, const double s[2],
                                  OrbitGuess guess, int segments = 0);
