#pragma once
// Stability of a first-harmonic response y = a cos(z t) + b sin(z t), from the slow equations
// that averaging over one forcing period gives for a and b. At a response of amplitude R
// their Jacobian has
//   trace        T = eps (1 - R^2/2)
//   determinant  Delta / (4 z^2),  Delta = (1 - z^2)^2 + eps^2 z^2 (1 - R^2/4)(1 - 3 R^2/4)
// and Delta is the derivative of the balance relation by R^2, so it vanishes at the folds.

#include "core/types.h"

// T and Delta of the response of amplitude r at ratio z.
double response_trace(double eps, double r);
double response_delta(double eps, double z, double r);

// saddle where Delta <= 0 (a fold itself counts as one), else neutral where T = 0, else
// stable where T < 0 and unstable where T > 0.
ResponseClass classify_response(double eps, double z, double r);

// The CSV word of a class: "stable", "saddle", "unstable", "neutral".
const char* response_class_name(ResponseClass c);

// Whether some response at ratio z (response_amplitudes) is classed stable: the F3 layer's
// filled disc.
bool has_stable_response(double eps, double force, double z);

// The z-intervals within [z_lo, z_hi] (0 <= z_lo < z_hi) where harmonic balance predicts a
// stable 1:1 response for eps and F: some root of response_amplitudes classed stable. The
// edges are where a stable root meets a fold (a saddle-node: two roots merge, Delta = 0) or
// the level R^2 = 2 (T = 0), each solved for on its own, so they hold to rounding; z_lo and
// z_hi bound the first and last interval. Writes intervals[0 ... count - 1] ([0] the lower
// edge, [1] the upper), ascending and disjoint, and returns count, at most capacity (further
// intervals are dropped).
int stable_band(double eps, double force, double z_lo, double z_hi, double intervals[][2],
                int capacity);
