// Periodic orbits of the forcing period by multiple shooting. The period's n integrator steps
// are split into m segments; the unknowns are the m segment starts x_i, the equations
//   g_i = phi_i(x_i) - x_{i+1} = 0,  i = 0 ... m - 1,  x_m = x_0,
// with phi_i the integrator across segment i. Newton's step solves
//   J_i dx_i - dx_{i+1} = -g_i
// for all segments at once; the once-per-period map's derivative is J_{m-1} ... J_0.
#include "dynamics/periodic_orbit.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "core/state.h"
#include "dynamics/rkg_step.h"

namespace {

constexpr int ORBIT_ITERATIONS = 40;      // Newton steps at most
constexpr int NEWTON_HALVINGS = 6;        // a step shortened to 1/64 at most
// Integrator steps one search may take, all tries together (about 0.4 s here): bounds the
// time of a key press whatever z and the guess.
constexpr long ORBIT_STEP_BUDGET = 2000000;
// Segment mismatches, each relative to max(1, |x_{i+1}|), at which an orbit counts as found:
// their root sum of squares.
constexpr double ORBIT_TOLERANCE = 1e-11;
constexpr double JACOBIAN_DELTA = 1e-7;   // finite-difference offset in y and v
// e-folds a deviation may grow by across one segment, reckoned as |eps| t: near y = 0 the
// model stretches at a rate just below |eps|, and a segment stretched much more would make
// its finite differences and its Newton correction meaningless.
constexpr double SEGMENT_GROWTH = 2.0;
constexpr int UNKNOWNS = 2 * ORBIT_SEGMENT_CAPACITY;

struct Shooting {
    double z;
    int n;                                   // integrator steps per period
    int m;                                   // segments
    double h;                                // integrator step, T / n
    long spent;                              // integrator steps taken so far in this search
    int first[ORBIT_SEGMENT_CAPACITY + 1];   // step index where segment i begins; first[m] = n
    double x[ORBIT_SEGMENT_CAPACITY][2];     // segment starts
    double g[ORBIT_SEGMENT_CAPACITY][2];     // mismatch at the end of segment i
    double jac[ORBIT_SEGMENT_CAPACITY][2][2];  // derivative of segment i, [row][column]
};

// The integrator across segment i from `from` into out.
void carry_segment(Shooting* s, int i, const double from[2], double out[2])
{
    out[0] = from[0];
    out[1] = from[1];
    advance_steps(0.0, s->h, s->first[i], s->first[i + 1], out);
    s->spent = s->spent + (s->first[i + 1] - s->first[i]);
}

// Fills g and returns the root sum of squares of the relative mismatches (the Newton step
// is a descent direction for it); infinity when any state is not finite.
double measure_mismatch(Shooting* s)
{
    double sum = 0.0;
    for (int i = 0; i < s->m; ++i) {
        const double* next = s->x[(i + 1) % s->m];
        double end[2];
        carry_segment(s, i, s->x[i], end);
        s->g[i][0] = end[0] - next[0];
        s->g[i][1] = end[1] - next[1];
        const double size = std::fmax(1.0, std::hypot(next[0], next[1]));
        const double miss = std::hypot(s->g[i][0], s->g[i][1]) / size;
        if (!std::isfinite(miss))
            return INFINITY;
        sum = sum + miss * miss;
    }
    return std::sqrt(sum);
}

// Each segment's derivative by central differences.
void measure_jacobians(Shooting* s)
{
    for (int i = 0; i < s->m; ++i) {
        for (int c = 0; c < 2; ++c) {
            double plus[2] = {s->x[i][0], s->x[i][1]};
            double minus[2] = {s->x[i][0], s->x[i][1]};
            plus[c] = plus[c] + JACOBIAN_DELTA;
            minus[c] = minus[c] - JACOBIAN_DELTA;
            double p[2];
            double q[2];
            carry_segment(s, i, plus, p);
            carry_segment(s, i, minus, q);
            s->jac[i][0][c] = (p[0] - q[0]) / (2.0 * JACOBIAN_DELTA);
            s->jac[i][1][c] = (p[1] - q[1]) / (2.0 * JACOBIAN_DELTA);
        }
    }
}

// Solves a d = b in place (d into b) by Gaussian elimination with partial pivoting; false
// when a is singular or the result not finite.
bool solve_dense(int size, double a[][UNKNOWNS], double b[])
{
    for (int col = 0; col < size; ++col) {
        int pivot = col;
        for (int row = col + 1; row < size; ++row) {
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col]))
                pivot = row;
        }
        if (!(a[pivot][col] != 0.0))
            return false;
        std::swap(a[pivot], a[col]);
        std::swap(b[pivot], b[col]);
        for (int row = col + 1; row < size; ++row) {
            const double f = a[row][col] / a[col][col];
            for (int k = col; k < size; ++k)
                a[row][k] = a[row][k] - f * a[col][k];
            b[row] = b[row] - f * b[col];
        }
    }
    for (int row = size - 1; row >= 0; --row) {
        double sum = b[row];
        for (int k = row + 1; k < size; ++k)
            sum = sum - a[row][k] * b[k];
        b[row] = sum / a[row][row];
        if (!std::isfinite(b[row]))
            return false;
    }
    return true;
}

// One Newton step on all segment starts together, shortened by halves until the mismatch
// *miss falls (far from the orbit the full step can overshoot into a worse guess); *miss and
// g then hold the new mismatch. False when the system is singular or no length helps.
bool take_newton_step(Shooting* s, double* miss)
{
    const int size = 2 * s->m;
    double a[UNKNOWNS][UNKNOWNS] = {};
    double d[UNKNOWNS];
    for (int i = 0; i < s->m; ++i) {
        const int next = (i + 1) % s->m;
        for (int r = 0; r < 2; ++r) {
            for (int c = 0; c < 2; ++c)
                a[2 * i + r][2 * i + c] = s->jac[i][r][c];
            a[2 * i + r][2 * next + r] = a[2 * i + r][2 * next + r] - 1.0;
            d[2 * i + r] = -s->g[i][r];
        }
    }
    if (!solve_dense(size, a, d))
        return false;
    double from[ORBIT_SEGMENT_CAPACITY][2];
    std::copy(&s->x[0][0], &s->x[0][0] + size, &from[0][0]);
    double length = 1.0;
    for (int halving = 0; halving <= NEWTON_HALVINGS; ++halving, length = 0.5 * length) {
        for (int k = 0; k < size; ++k)
            s->x[k / 2][k % 2] = from[k / 2][k % 2] + length * d[k];
        const double trial = measure_mismatch(s);
        if (trial < *miss) {
            *miss = trial;
            return true;
        }
    }
    return false;
}

// The eigenvalues of J_{m-1} ... J_0, the larger modulus first. The determinant is the
// product of the segments' own, and a real pair's smaller root is det / larger: the
// difference of trace and root would lose it when the larger is huge.
void store_multipliers(const Shooting& s, PeriodicOrbit* orbit)
{
    double p[2][2] = {{1.0, 0.0}, {0.0, 1.0}};
    double det = 1.0;
    for (int i = 0; i < s.m; ++i) {
        const auto& j = s.jac[i];
        const double q[2][2] = {{j[0][0] * p[0][0] + j[0][1] * p[1][0], j[0][0] * p[0][1] + j[0][1] * p[1][1]},
                                {j[1][0] * p[0][0] + j[1][1] * p[1][0], j[1][0] * p[0][1] + j[1][1] * p[1][1]}};
        p[0][0] = q[0][0];
        p[0][1] = q[0][1];
        p[1][0] = q[1][0];
        p[1][1] = q[1][1];
        det = det * (j[0][0] * j[1][1] - j[0][1] * j[1][0]);
    }
    const double half_trace = 0.5 * (p[0][0] + p[1][1]);
    const double disc = half_trace * half_trace - det;
    const double root = std::sqrt(std::fabs(disc));
    if (disc < 0.0) {
        orbit->multipliers[0] = {half_trace, root};
        orbit->multipliers[1] = {half_trace, -root};
        return;
    }
    const double larger = half_trace < 0.0 ? half_trace - root : half_trace + root;
    orbit->multipliers[0] = larger;
    orbit->multipliers[1] = larger != 0.0 ? det / larger : 0.0;
}

ResponseClass class_by_multipliers(const PeriodicOrbit& orbit)
{
    if (std::abs(orbit.multipliers[0]) < 1.0)
        return ResponseClass::stable;
    return std::abs(orbit.multipliers[1]) < 1.0 ? ResponseClass::saddle : ResponseClass::unstable;
}

// Samples the orbit at k T / ORBIT_SAMPLES, each by a shortened step from the integrator step
// that holds it, and measures y's component at the forcing frequency over the n steps (sums
// over a whole period of a periodic motion are exact to the integrator's accuracy for the
// lower harmonics). Each segment is run from its own start, so an unstable orbit does not
// leave itself on the way.
void sample_orbit(const Shooting& s, PeriodicOrbit* orbit)
{
    double a = 0.0;
    double b = 0.0;
    int k = 0;
    for (int i = 0; i < s.m; ++i) {
        double y[2] = {s.x[i][0], s.x[i][1]};
        for (int j = s.first[i]; j < s.first[i + 1]; ++j) {
            const double t = j * s.h;
            a = a + y[0] * std::sin(s.z * t);
            b = b + y[0] * std::cos(s.z * t);
            // Sample k lies in step j = floor(k n / ORBIT_SAMPLES), dt = h (k n - j S) / S.
            for (; k < ORBIT_SAMPLES && static_cast<long>(k) * s.n / ORBIT_SAMPLES == j; ++k) {
                const long within = static_cast<long>(k) * s.n - static_cast<long>(j) * ORBIT_SAMPLES;
                rkg_step(t, s.h * static_cast<double>(within) / ORBIT_SAMPLES, y,
                         orbit->samples[k], 2);
            }
            advance_steps(0.0, s.h, j, j + 1, y);
        }
    }
    orbit->first_harmonic = std::hypot(a, b) * 2.0 / s.n;
}

// The first segment starts from the state s0 at time t (0 <= phase < T after reduction).
bool guess_starts(Shooting* s, double t, const double s0[2], OrbitGuess guess)
{
    const double period = 2.0 * std::numbers::pi / s->z;
    double phase = std::fmod(t, period);
    phase = phase < 0.0 ? phase + period : phase;
    if (guess == OrbitGuess::harmonic) {
        // y = A cos(z t) + B sin(z t) through (y, v) at the phase.
        const double c = std::cos(s->z * phase);
        const double d = std::sin(s->z * phase);
        const double A = s0[0] * c - s0[1] / s->z * d;
        const double B = s0[0] * d + s0[1] / s->z * c;
        for (int i = 0; i < s->m; ++i) {
            const double w = s->z * (s->first[i] * s->h);
            s->x[i][0] = A * std::cos(w) + B * std::sin(w);
            s->x[i][1] = s->z * (B * std::cos(w) - A * std::sin(w));
        }
        return std::isfinite(A) && std::isfinite(B);
    }
    // The motion: a shortened step to the next step boundary, whole steps to the period's
    // end, then along the segments.
    double y[2] = {s0[0], s0[1]};
    if (phase > 0.0) {
        const int j = static_cast<int>(std::fmin(std::floor(phase / s->h), s->n - 1));
        rkg_step(phase, (j + 1) * s->h - phase, y, y, 2);
        advance_steps(0.0, s->h, j + 1, s->n, y);
    }
    for (int i = 0; i < s->m; ++i) {
        s->x[i][0] = y[0];
        s->x[i][1] = y[1];
        carry_segment(s, i, s->x[i], y);
    }
    return std::isfinite(s->x[s->m - 1][0]) && std::isfinite(s->x[s->m - 1][1]);
}

// The segment count for eps: about SEGMENT_GROWTH e-folds each, within the capacity.
int segment_count(double eps, int n, double h)
{
    const double m = std::ceil(std::fabs(eps) * n * h / SEGMENT_GROWTH);
    return static_cast<int>(std::fmax(1.0, std::fmin(m, std::min(ORBIT_SEGMENT_CAPACITY, n))));
}

// Newton's method from the starts guessed; true when it converged with finite multipliers
// within the iterations and the search's steps.
bool converge(Shooting* s, PeriodicOrbit* orbit)
{
    double miss = measure_mismatch(s);
    for (;;) {
        if (!(miss < INFINITY) || s->spent > ORBIT_STEP_BUDGET)
            return false;
        measure_jacobians(s);
        if (miss < ORBIT_TOLERANCE)
            break;
        if (orbit->iterations == ORBIT_ITERATIONS || !take_newton_step(s, &miss))
            return false;
        ++orbit->iterations;
    }
    store_multipliers(*s, orbit);
    return std::isfinite(std::abs(orbit->multipliers[0])) &&
           std::isfinite(std::abs(orbit->multipliers[1]));
}

// One search with m segments; the model parameters are set.
PeriodicOrbit shoot(Shooting* s, int m, double t, const double s0[2], OrbitGuess guess)
{
    PeriodicOrbit orbit{};
    s->m = m;
    for (int i = 0; i <= m; ++i)
        s->first[i] = static_cast<int>(static_cast<long>(i) * s->n / m);
    orbit.segments = m;
    orbit.found = guess_starts(s, t, s0, guess) && converge(s, &orbit);
    if (!orbit.found) {
        orbit.multipliers[0] = orbit.multipliers[1] = 0.0;
        return orbit;
    }
    orbit.start[0] = s->x[0][0];
    orbit.start[1] = s->x[0][1];
    orbit.stability = class_by_multipliers(orbit);
    sample_orbit(*s, &orbit);
    return orbit;
}

}  // namespace

int strobe_steps(double z)
{
    return static_cast<int>(std::ceil(2.0 * std::numbers::pi / z / FRAME_TIME_STEP));
}

void advance_steps(double t0, double h, int from, int to, double s[2])
{
    for (int j = from; j < to; ++j) {
        const double start[2] = {s[0], s[1]};
        rkg_step(t0 + j * h, h, start, s, 2);
    }
}

PeriodicOrbit find_periodic_orbit(double eps, double force, double z, double t, const double s[2],
                                  OrbitGuess guess, int segments)
{
    const bool usable = z > 0.0 && std::isfinite(z) && std::isfinite(eps) && std::isfinite(force) &&
                        std::isfinite(t) && std::isfinite(s[0]) && std::isfinite(s[1]) &&
                        2.0 * std::numbers::pi / z / FRAME_TIME_STEP <= ORBIT_STEP_CAPACITY;
    if (!usable)
        return PeriodicOrbit{};
    const double kept[3] = {epsilon, force_amp, freq_ratio};
    const bool kept_changed = forcing_ratio_changed;
    epsilon = eps;
    force_amp = force;
    freq_ratio = z;
    // The orbit is that of F sin(z t): the anchor a change of z left within the run is the
    // running motion's, not this one's.
    forcing_ratio_changed = false;

    Shooting shooting;
    shooting.z = z;
    shooting.n = strobe_steps(z);
    shooting.h = 2.0 * std::numbers::pi / z / shooting.n;
    shooting.spent = 0;
    // Short segments tame an unstable orbit but make each segment's map less linear; a
    // stable orbit far from the guess can need longer ones, down to single shooting.
    int m = segments > 0 ? std::min({segments, ORBIT_SEGMENT_CAPACITY, shooting.n})
                         : segment_count(eps, shooting.n, shooting.h);
    PeriodicOrbit orbit = shoot(&shooting, m, t, s, guess);
    while (!orbit.found && segments <= 0 && m > 1 && shooting.spent <= ORBIT_STEP_BUDGET) {
        m = m / 2;
        orbit = shoot(&shooting, m, t, s, guess);
    }
    epsilon = kept[0];
    force_amp = kept[1];
    freq_ratio = kept[2];
    forcing_ratio_changed = kept_changed;
    return orbit;
}
