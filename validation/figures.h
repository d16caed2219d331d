#pragma once
// The settings behind the figures that docs/guide.md quotes from vdp-validate, and the
// published figures it compares with: vdp-validate and the validation tests both take them
// from here, so that a change shows in both.

// The free limit cycle at eps = 1 as published (period and amplitude, ten decimals).
constexpr double PUBLISHED_PERIOD_EPS1 = 6.6632868593;
constexpr double PUBLISHED_AMPLITUDE_EPS1 = 2.0086198609;

constexpr double FINE_STEP = 0.005;          // the free cycle's second, finer integrator step
constexpr double FREE_SETTLE_TIME = 200.0;   // time units before the free cycle's crossings
constexpr int SETTLE_PERIODS = 300;          // forcing periods before a forced case is judged

// The locking band for F = BAND_FORCE on the grid BAND_Z_FROM, + BAND_DZ, ... BAND_Z_TO.
// Next to an edge the motion locks slowly (z = 1.06 at eps = 0.1 still moves by 2e-5 per
// period after 200 periods, by 3e-9 after 400): each ratio is judged after 400.
constexpr double BAND_FORCE = 0.2;
constexpr double BAND_Z_FROM = 0.25;
constexpr double BAND_Z_TO = 1.20;
constexpr double BAND_DZ = 0.01;
constexpr int BAND_SETTLE_PERIODS = 400;

// The stability check's grid (vdp-validate --stability): every eps with every F, z from
// STABILITY_Z_FROM to STABILITY_Z_TO in steps of STABILITY_DZ.
constexpr double STABILITY_EPSILONS[] = {0.05, 0.1, 0.2};
constexpr double STABILITY_FORCES[] = {0.05, 0.1, 0.2, 0.5};
constexpr double STABILITY_Z_FROM = 0.8;
constexpr double STABILITY_Z_TO = 1.2;
constexpr double STABILITY_DZ = 0.02;
