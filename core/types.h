#pragma once
// Record types shared by every subsystem: plain data, no behaviour.
#include <complex>
#include <cstddef>

// A point of the scene in scene units (the window spans -1 ... 1 on both axes).
struct Vec2 {
    double x;
    double y;
};

// A colour as handed unchanged to the current-colour call: red, green, blue, alpha.
struct Color4 {
    float r;
    float g;
    float b;
    float a;
};

// Marks a harmonic-balance root that does not exist; the only non-positive ratio ever stored.
constexpr double NO_ROOT = -1.0;

// One sample of an amplitude curve, or one fold record. A ratio is present when > 0.
struct ResponsePoint {
    double z_high;     // forcing ratio of the higher root, or NO_ROOT
    double z_low;      // forcing ratio of the lower root, or NO_ROOT
    double amplitude;  // response amplitude R of the sample
};

// What a response is to the slow equations of harmonic balance (response/stability), or a
// periodic orbit by its multipliers (dynamics/periodic_orbit). The order is that of the
// curves' CSV words; neutral stays last, where RESPONSE_CLASS_COUNT counts to.
enum class ResponseClass { stable, saddle, unstable, neutral };
constexpr int RESPONSE_CLASS_COUNT = static_cast<int>(ResponseClass::neutral) + 1;

// Whether rows, a table indexed by the class, holds one row for each class in the enum's
// order: row i's member `response` is class i. For a static_assert beside each such table.
template <typename Row, std::size_t N>
constexpr bool one_row_per_class(const Row (&rows)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        if (static_cast<std::size_t>(rows[i].response) != i)
            return false;
    return N == RESPONSE_CLASS_COUNT;
}

// One stroboscopic point: the state at the start of forcing period k, where the forcing's
// phase is 2 pi k.
struct StrobePoint {
    long k;       // forcing periods since the run began (the phase over 2 pi)
    double t;     // time of the instant
    double y;
    double v;
};

// What a window of the motion is doing, by its stroboscopic points.
enum class MotionState {
    settling,   // not enough periods since the last change, or not decided within the limit
    locked,     // the points repeat every forcing period
    periodic,   // the points repeat every n > 1 periods
    drifting,   // no period found in the window
};

// The measures of one window of the motion. A measure that the window cannot give is NaN.
struct EntrainmentMeasure {
    MotionState state;
    int strobe_period;   // smallest n at which the points repeat; 0 for none
    double rotation;     // upward zero crossings of y per forcing period
    double drift;        // z |1 - rotation|: the beat's angular frequency near 1:1
    double spread;       // largest distance between two points of the window
};

// One ratio visited by a sweep, as measured when the sweep left it.
struct SweepRecord {
    bool up;                    // on the way up (z growing), else down
    double z;
    EntrainmentMeasure measure;
    double harmonic_amplitude;  // first harmonic of the last whole period; NaN before one
    int hb_class;               // ResponseClass of the crossing nearest it; -1 for none
};

// The motion as sound: an integration of the model of its own (dynamics/voice.h), the step it
// stands in, and the clock of its samples.
struct Voice {
    double t0, s0[2];          // the step being sampled runs from (t0, s0: y, v) ...
    double t1, s1[2];          // ... to (t1, s1), one integrator step later
    double origin;             // time of sample 0
    long sample;               // index of the next sample; it lies at origin + sample * spacing
    double spacing;            // time units between samples: 2 pi 220 / the sample rate
    // The forcing as the voice last took it: a change of z is followed in phase.
    bool forcing_changed;
    double anchor_time, anchor_phase, ratio;
};

constexpr int ORBIT_SAMPLES = 256;   // (y, v) samples kept over one period, for drawing

// A periodic orbit of the forcing period T = 2 pi / z and its Floquet multipliers, as Newton's
// method on the once-per-period map finds it (dynamics/periodic_orbit.h).
struct PeriodicOrbit {
    bool found;                 // converged, with finite multipliers; when false, only
                                // segments and iterations below mean anything (the rest is 0)
    double start[2];            // (y, v) on the orbit at t = 0 mod T
    // Eigenvalues of the once-per-period map's derivative at start, the larger modulus first;
    // a complex pair is conjugate, imaginary part positive first.
    std::complex<double> multipliers[2];
    ResponseClass stability;    // stable: both inside the unit circle; saddle: the first
                                // outside (or on it), the second inside; unstable: neither inside
    double first_harmonic;      // amplitude of y's component at the forcing frequency
    int segments;               // shooting segments per period of the last try
    int iterations;             // Newton steps taken in the last try
    // (y, v) at t = k T / ORBIT_SAMPLES, k = 0 ... ORBIT_SAMPLES - 1; samples[0] is start.
    double samples[ORBIT_SAMPLES][2];
};

// One integrator step's end in the phase plane: the time, the motion's state and the second
// start's (NaN where none runs).
struct PhaseSample {
    double t;
    double s[2];
    double second[2];
};

// The locking map (F8, --locking-map): a grid of z and F at one eps.
// One axis of its grid: `count` values from `from` to `to`, evenly spaced, both ends included
// (a single value when count is 1).
struct MapAxis {
    double from;
    double to;
    int count;
};

// What a cell of the map came to, as the picture keeps it. pending: not computed yet.
enum class MapClass : unsigned char { pending, rest, locked, periodic, drifting, settling };
struct MapCell {
    MapClass map_class;
    unsigned char period;   // strobe period n of a periodic cell, 0 otherwise
    unsigned char turns;    // its rotation times n: the p of p:n; 0 otherwise
};

// What every cell of one map shares.
struct MapRun {
    double eps;
    double y0, v0;     // the start of every cell, at t = 0
    long transient;    // periods left to settle before the motion is judged
    long window;       // periods searched for a strobe period: n up to window / 2
    long periods;      // most periods a cell runs; still undecided, it is settling
};

// What one cell came to.
struct MapVerdict {
    MapClass map_class;
    EntrainmentMeasure measure;   // the sweep's measures of the judged window
    double harmonic_amplitude;    // first harmonic of the last whole period; NaN before one
    long periods;                 // forcing periods run (stroboscopic points taken)
};
