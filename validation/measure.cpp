// Headless measurements of the motion: free limit cycles from zero crossings, forced motion
// sampled once per forcing period, periodic orbits and their multipliers, and the
// harmonic-balance solutions the window marks.
#include "validation/measure.h"

#include <cmath>
#include <numbers>

#include "core/state.h"
#include "dynamics/periodic_orbit.h"
#include "dynamics/simulation_step.h"
#include "dynamics/rkg_step.h"
#include "dynamics/vdp_model.h"
#include "response/amplitude_curve.h"
#include "response/crossings.h"
#include "response/stability.h"

namespace {

constexpr int EVENT_ITERATIONS = 8;           // Newton iterations locating a zero crossing
constexpr double EVENT_TOLERANCE = 1e-15;     // time units; below this the iteration stops

void set_model(double eps, double force, double z)
{
    epsilon = eps;
    force_amp = force;
    freq_ratio = z;
}

// One integrator step of length h from s at time t, in place.
void step_state(double t, double h, double s[2])
{
    const double start[2] = {s[0], s[1]};
    rkg_step(t, h, start, s, 2);
}

// Where component c of the motion passes through zero within the step from s at t to next
// (h later): Newton's method on the length of one shortened integrator step from s, started
// from the linear interpolation. Returns the crossing time; out receives the state there.
// The shortened step is at least as accurate as the steps that led to s.
double locate_zero(int c, double t, double h, const double s[2], const double next[2],
                   double out[2])
{
    double dt = h * s[c] / (s[c] - next[c]);
    for (int i = 0; i < EVENT_ITERATIONS; ++i) {
        rkg_step(t, dt, s, out, 2);
        const double d = out[c] / vdp_rhs(c, t + dt, out);
        dt = dt - d;
        if (std::fabs(d) < EVENT_TOLERANCE)
            break;
    }
    rkg_step(t, dt, s, out, 2);
    return t + dt;
}

// Advances s over one forcing period of n steps starting at t = k T.
void advance_period(double z, int n, int k, double s[2])
{
    const double period = 2.0 * std::numbers::pi / z;
    advance_steps(k * period, period / n, 0, n, s);
}

}  // namespace

FreeCycle measure_free_cycle(double eps, double h, double settle_time)
{
    set_model(eps, 0.0, 0.0);
    state[0] = 2.0;
    state[1] = 0.0;
    sim_time = 0.0;
    time_step = h;
    steps_per_frame = FRAME_STEPS;
    // The window's own frames carry the motion through the transient.
    while (sim_time < settle_time)
        advance_simulation();

    double up[3] = {0.0, 0.0, 0.0};  // the last three upward zero crossings
    int ups = 0;
    double peak = 0.0;               // largest y since the last upward crossing
    double peak_before = 0.0;        // the same over the period that just closed
    while (ups < 3) {
        double next[2] = {state[0], state[1]};
        step_state(sim_time, time_step, next);
        double at[2];
        if (state[1] > 0.0 && next[1] <= 0.0) {
            locate_zero(1, sim_time, time_step, state, next, at);
            peak = std::fmax(peak, at[0]);
        }
        if (state[0] < 0.0 && next[0] >= 0.0) {
            up[0] = up[1];
            up[1] = up[2];
            up[2] = locate_zero(0, sim_time, time_step, state, next, at);
            ++ups;
            peak_before = peak;
            peak = 0.0;
        }
        state[0] = next[0];
        state[1] = next[1];
        sim_time = sim_time + time_step;
    }
    return FreeCycle{up[2] - up[1], peak_before, (up[2] - up[1]) - (up[1] - up[0])};
}

// Component of y at the forcing frequency over one period of n equal steps from s at t = k T,
// and the largest |y| within it. Sums over a whole period of a periodic motion are exact
// to the integrator's accuracy for the lower harmonics.
static void analyse_period(double z, int n, int k, double s[2], double* harmonic, double* peak)
{
    const double period = 2.0 * std::numbers::pi / z;
    const double h = period / n;
    double a = 0.0;
    double b = 0.0;
    double top = std::fabs(s[0]);
    for (int j = 0; j < n; ++j) {
        const double t = k * period + j * h;
        a = a + s[0] * std::sin(z * t);
        b = b + s[0] * std::cos(z * t);
        double next[2] = {s[0], s[1]};
        step_state(t, h, next);
        double at[2];
        if ((s[1] > 0.0) != (next[1] > 0.0)) {
            locate_zero(1, t, h, s, next, at);
            top = std::fmax(top, std::fabs(at[0]));
        }
        s[0] = next[0];
        s[1] = next[1];
    }
    *harmonic = std::hypot(a, b) * 2.0 / n;
    *peak = top;
}

ForcedResponse measure_forced_response(double eps, double force, double z, double y0, double v0,
                                       int settle_periods)
{
    set_model(eps, force, z);
    const int n = strobe_steps(z);
    double s[2] = {y0, v0};
    int k = 0;
    for (; k < settle_periods; ++k)
        advance_period(z, n, k, s);

    ForcedResponse r{};
    double before[2] = {s[0], s[1]};
    for (int i = 0; i < STROBE_SAMPLES; ++i, ++k) {
        if (i == STROBE_SAMPLES - 1)
            analyse_period(z, n, k, s, &r.first_harmonic, &r.peak);
        else
            advance_period(z, n, k, s);
        r.strobe_move = std::fmax(r.strobe_move, std::hypot(s[0] - before[0], s[1] - before[1]));
        before[0] = s[0];
        before[1] = s[1];
    }
    r.locked = r.strobe_move < LOCK_TOLERANCE;
    r.strobe[0] = s[0];
    r.strobe[1] = s[1];
    return r;
}

PeriodicOrbit orbit_at_crossing(double eps, double force, double z, double r)
{
    double x[2];
    hb_start_state(eps, force, z, r, x);
    return find_periodic_orbit(eps, force, z, 0.0, x, OrbitGuess::harmonic);
}

int hb_crossings(double eps, double force, double z, double found[])
{
    set_model(eps, force, z);
    amp_step = CURVE_AMP_STEP;
    amp_steps = CURVE_AMP_STEPS;
    compute_amplitude_curve(amp_step, amp_steps, main_curve, &main_fold_count, main_folds);
    return find_crossings(z, found);
}

// The trace and determinant conditions of response/stability.h, told apart.
HbVerdict hb_verdict(double eps, double z, double r)
{
    if (!(response_trace(eps, r) < 0.0))
        return HB_BELOW_LEVEL;
    return classify_response(eps, z, r) == ResponseClass::stable ? HB_STABLE : HB_SADDLE;
}

// From the balance of sin and cos:  k a + e s b = F,  k b - e s a = 0,  so
//   a = F k / (k^2 + (e s)^2),  b = F e s / (k^2 + (e s)^2),  and y(0) = b, v(0) = z a.
void hb_start_state(double eps, double force, double z, double r, double out[2])
{
    const double k = 1.0 - z * z;
    const double m = eps * z * (1.0 - r * r / 4.0);
    const double w = k * k + m * m;
    out[0] = force * m / w;
    out[1] = z * force * k / w;
}

// Grows the band by ratio z when counted, and counts the ratios left out inside it.
static void extend_band(LockingBand* band, double z, bool counted, int* skipped)
{
    if (!counted) {
        if (band->z_first > 0.0)
            ++*skipped;
        return;
    }
    if (band->z_first <= 0.0)
        band->z_first = z;
    band->z_last = z;
    band->gaps = band->gaps + *skipped;
    *skipped = 0;
}

int grid_size(double z_from, double z_to, double dz)
{
    return static_cast<int>(std::floor((z_to - z_from) / dz + 0.5)) + 1;
}

LockingBand scan_locking_band(double eps, double force, double z_from, double z_to, double dz,
                              int settle_periods)
{
    LockingBand band{0.0, 0.0, 0};
    int skipped = 0;
    const int count = grid_size(z_from, z_to, dz);
    for (int i = 0; i < count; ++i) {
        const double z = z_from + i * dz;
        const ForcedResponse r = measure_forced_response(eps, force, z, 0.0, 0.0, settle_periods);
        extend_band(&band, z, r.locked, &skipped);
    }
    return band;
}

LockingBand scan_hb_band(double eps, double force, double z_from, double z_to, double dz)
{
    LockingBand band{0.0, 0.0, 0};
    int skipped = 0;
    const int count = grid_size(z_from, z_to, dz);
    for (int i = 0; i < count; ++i) {
        const double z = z_from + i * dz;
        double found[CROSSING_CAPACITY];
        const int n = hb_crossings(eps, force, z, found);
        bool stable = false;
        for (int k = 0; k < n; ++k)
            stable = stable || hb_verdict(eps, z, found[k]) == HB_STABLE;
        extend_band(&band, z, stable, &skipped);
    }
    return band;
}

// Whether amplitude r at ratio z lies within BOUNDARY_SHARE of sqrt 2, where the trace changes
// sign, or of a fold, where Delta does: Delta(z, .) changes sign within that share of r.
static bool near_boundary(double eps, double z, double r)
{
    const double below = response_delta(eps, z, r * (1.0 - BOUNDARY_SHARE));
    const double at = response_delta(eps, z, r);
    const double above = response_delta(eps, z, r * (1.0 + BOUNDARY_SHARE));
    const bool fold = (below > 0.0) != (at > 0.0) || (at > 0.0) != (above > 0.0);
    return fold || std::fabs(r - std::numbers::sqrt2) <= BOUNDARY_SHARE * std::numbers::sqrt2;
}

int check_stability(double eps, double force, double z, StabilityCheck checks[])
{
    double found[CROSSING_CAPACITY];
    const int n = hb_crossings(eps, force, z, found);
    for (int k = 0; k < n; ++k) {
        StabilityCheck& c = checks[k];
        c.r = found[k];
        c.predicted = classify_response(eps, z, found[k]);
        c.near_boundary = near_boundary(eps, z, found[k]);
        c.orbit = orbit_at_crossing(eps, force, z, c.r);
        c.measured = c.orbit.stability;
        // The orbit belongs to this crossing when it lies close to it, and closer than to
        // any other crossing at z (from a saddle, Newton's method may reach the stable orbit).
        const double miss = std::fabs(c.orbit.first_harmonic - c.r);
        c.found = c.orbit.found && miss <= ORBIT_NEAR_SHARE * c.r;
        for (int j = 0; j < n; ++j)
            c.found = c.found && !(std::fabs(c.orbit.first_harmonic - found[j]) < miss);
    }
    return n;
}
