#pragma once
// The motion as sound: a voice integrates the model on its own, with the program's integrator
// and step (rkg_step, time_step, t advanced as the frames advance it), so that from the same
// start it is the window's motion to the last bit, and yet it can run ahead of the picture at
// the pace of sound. Angular frequency 1 sounds at VOICE_HERTZ: a second of sound is
// 2 pi 220 = 1382.3 time units, 69,115 integrator steps.
//
// Samples fall between the ends of a step (1.57 steps per sample at 44.1 kHz). Within a step y
// is taken as the cubic Hermite interpolant of y and y' = v at both ends: the model's own
// slope, no extra evaluation, and an error of at most h^4/384 max|y''''|, 4e-10 of the
// amplitude for a sinusoid at angular frequency 1, far below a step of 16-bit sound (3e-5 of
// full scale).
#include "core/types.h"

constexpr double VOICE_HERTZ = 220.0;   // the pitch of angular frequency 1

// Starts voice at time t in state s (y, v), its sample 0 at t, `rate` samples a second. The
// forcing is taken as it stands (dynamics/forcing.h).
void start_voice(Voice* voice, double t, const double s[2], double rate);

// The next count samples: y into y[0 ... count - 1] and, unless force is nullptr, the forcing's
// sin(theta) into force[]. A change of z since the voice last took the forcing (a change of
// freq_ratio or of the forcing's anchor) is followed in phase: the voice's clock moves so that
// theta goes on from where it stood and only its rate changes, as the window's motion meets
// such a change.
void voice_samples(Voice* voice, int count, double y[], double force[]);
