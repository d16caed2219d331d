// Stroboscopic points and zero crossings from the integrator's steps, and the measures of a
// window of them.
#include "dynamics/entrainment_measure.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/state.h"
#include "dynamics/forcing.h"
#include "dynamics/harmonic_measure.h"
#include "dynamics/twice_ring.h"
#include "dynamics/vdp_model.h"

namespace {

// The later half's moves below this share of the earlier half's: converging.
constexpr double CONVERGING_SHARE = 0.5;
// Windows of periods whose moves judge convergence: at CONVERGING_SHARE and the default window,
// a contraction to 0.991 a period shows.
constexpr std::size_t JUDGED_WINDOWS = 4;

constexpr int CROSSING_ITERATIONS = 60;       // safeguarded Newton steps; bisection alone needs 53
constexpr double CROSSING_TOLERANCE = 1e-15;  // in the step's fraction

// Component c of the quintic Hermite interpolant on the step at fraction s of it, and its
// derivative by s. The basis functions take the values and the first and second derivatives
// of one end and vanish with theirs at the other.
void hermite(const StepEnd& a, const StepEnd& b, int c, double s, double* p, double* dp)
{
    const double h = b.t - a.t;
    const double s2 = s * s;
    const double s3 = s2 * s;
    const double s4 = s3 * s;
    const double s5 = s4 * s;
    const double w[6] = {a.s[c], h * a.d1[c], h * h * a.d2[c], h * h * b.d2[c], h * b.d1[c], b.s[c]};
    const double H[6] = {1.0 - 10.0 * s3 + 15.0 * s4 - 6.0 * s5,
                         s - 6.0 * s3 + 8.0 * s4 - 3.0 * s5,
                         0.5 * s2 - 1.5 * s3 + 1.5 * s4 - 0.5 * s5,
                         0.5 * s3 - s4 + 0.5 * s5,
                         -4.0 * s3 + 7.0 * s4 - 3.0 * s5,
                         10.0 * s3 - 15.0 * s4 + 6.0 * s5};
    const double dH[6] = {-30.0 * s2 + 60.0 * s3 - 30.0 * s4,
                          1.0 - 18.0 * s2 + 32.0 * s3 - 15.0 * s4,
                          s - 4.5 * s2 + 6.0 * s3 - 2.5 * s4,
                          1.5 * s2 - 4.0 * s3 + 2.5 * s4,
                          -12.0 * s2 + 28.0 * s3 - 15.0 * s4,
                          30.0 * s2 - 60.0 * s3 + 30.0 * s4};
    *p = 0.0;
    *dp = 0.0;
    for (int i = 0; i < 6; ++i) {
        *p = *p + H[i] * w[i];
        *dp = *dp + dH[i] * w[i];
    }
}

// std::fmax (a NaN counts as missing) without the library call that it compiles to here: the
// locking map judges thousands of windows, whose pairs these two functions compare.
double larger(double a, double b)
{
    return b > a || std::isnan(a) ? b : a;
}

// The larger of the moves in y and in v from p to q.
double move(const StrobePoint& p, const StrobePoint& q)
{
    return larger(std::fabs(q.y - p.y), std::fabs(q.v - p.v));
}

// The first instant after t, from the forcing's phase there.
void aim_strobe_after(double t)
{
    strobe_next = forcing_period_at(t);
    if (forcing_instant(strobe_next) < t)
        strobe_next = strobe_next + 1;
    strobe_due = forcing_instant(strobe_next);
}

// At crossing l, the forcing periods since the first crossing less the nearest whole number:
// where the beat stands, in [-0.5, 0.5].
double phase_offset(std::span<const double> upcrossings, std::size_t l, double z)
{
    const double u = (upcrossings[l] - upcrossings[0]) * z / (2.0 * std::numbers::pi);
    return u - std::round(u);
}

// The n (up to half the window) over which the window's points move least: the cycle that a
// converging motion approaches.
int nearest_cycle(std::span<const StrobePoint> window)
{
    int best = 1;
    double least = strobe_move(window, 1);
    for (int n = 2; n <= static_cast<int>(window.size() / 2); ++n) {
        const double moved = strobe_move(window, n);
        if (moved < least) {
            least = moved;
            best = n;
        }
    }
    return best;
}

// m with no period: settling.
EntrainmentMeasure undecided(EntrainmentMeasure m)
{
    m.state = MotionState::settling;
    m.strobe_period = 0;
    return m;
}

// The latest window of at most `window` points after the first `settle` since the measures
// restarted, measured; settling, with no strobe period, until `window` such points are in.
EntrainmentMeasure measure_recent(long settle, long window)
{
    const long after = strobe_count - settle;
    const std::span<const StrobePoint> points =
        recent_strobe_points(std::min(window, std::max(after, 2L)));
    if (points.empty())
        return UNMEASURED;
    const EntrainmentMeasure m = measured_over(points, recent_upcrossings(), freq_ratio);
    return after < window ? undecided(m) : m;
}

}  // namespace

void fill_step_end(double t, const double s[2], StepEnd* e)
{
    e->t = t;
    for (int c = 0; c < 2; ++c) {
        e->s[c] = s[c];
        e->d1[c] = vdp_rhs(c, t, s);
    }
    e->d2[0] = e->d1[1];
    e->d2[1] = vdp_jerk(t, s, e->d1[1]);
}

void interpolate_step(const StepEnd& a, const StepEnd& b, double t, double out[2])
{
    const double s = (t - a.t) / (b.t - a.t);
    double slope = 0.0;
    for (int c = 0; c < 2; ++c)
        hermite(a, b, c, s, &out[c], &slope);
}

double upcrossing_time(const StepEnd& a, const StepEnd& b)
{
    // Newton's method on the interpolant, kept within the bracket [low, high] that holds the
    // sign change; a step that would leave it bisects instead.
    double low = 0.0;
    double high = 1.0;
    double s = a.s[0] / (a.s[0] - b.s[0]);
    for (int i = 0; i < CROSSING_ITERATIONS; ++i) {
        double p = 0.0;
        double dp = 0.0;
        hermite(a, b, 0, s, &p, &dp);
        if (p < 0.0)
            low = s;
        else
            high = s;
        double next = dp > 0.0 ? s - p / dp : low - 1.0;
        if (!(next > low && next < high))
            next = 0.5 * (low + high);
        const bool done = std::fabs(next - s) < CROSSING_TOLERANCE;
        s = next;
        if (done || high - low < CROSSING_TOLERANCE)
            break;
    }
    return a.t + s * (b.t - a.t);
}

double strobe_move(std::span<const StrobePoint> points, int n)
{
    double largest = 0.0;
    for (std::size_t k = static_cast<std::size_t>(n); k < points.size(); ++k)
        largest = larger(largest, move(points[k - n], points[k]));
    return largest;
}

int strobe_period(std::span<const StrobePoint> points)
{
    const int most = static_cast<int>(points.size() / 2);
    for (int n = 1; n <= most; ++n) {
        // strobe_move, stopping at the first pair that differs: a drifting window is refused
        // after a few comparisons per n.
        bool repeats = true;
        for (std::size_t k = static_cast<std::size_t>(n); k < points.size() && repeats; ++k)
            repeats = move(points[k - n], points[k]) <= STROBE_TOLERANCE;
        if (repeats)
            return n;
    }
    return 0;
}

double strobe_spread(std::span<const StrobePoint> points)
{
    if (points.empty())
        return NAN;
    // Every pair: the windows are at most a few thousand points, judged once a period.
    double largest = 0.0;   // squared
    for (std::size_t i = 0; i < points.size(); ++i) {
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            const double dy = points[j].y - points[i].y;
            const double dv = points[j].v - points[i].v;
            largest = larger(largest, dy * dy + dv * dv);
        }
    }
    return std::sqrt(largest);
}

double rotation_number(std::span<const double> upcrossings, double z)
{
    const std::size_t m = upcrossings.size();
    if (m < 2 || !(z > 0.0))
        return NAN;
    // The latest crossing of the later half nearest a whole beat ends the count.
    std::size_t best = m - 1;
    for (std::size_t l = m - 1; l >= std::max<std::size_t>(1, m / 2); --l)
        if (std::fabs(phase_offset(upcrossings, l, z)) <
            std::fabs(phase_offset(upcrossings, best, z)))
            best = l;
    return static_cast<double>(best) /
           ((upcrossings[best] - upcrossings[0]) * z / (2.0 * std::numbers::pi));
}

bool phase_returns(std::span<const double> upcrossings, double z)
{
    const std::size_t m = upcrossings.size();
    if (m < 3 || !(z > 0.0))
        return false;
    // The offset passes through 0 between two crossings (not by wrapping round at 0.5).
    for (std::size_t l = std::max<std::size_t>(1, m / 2); l + 1 < m; ++l) {
        const double a = phase_offset(upcrossings, l, z);
        const double b = phase_offset(upcrossings, l + 1, z);
        if (a * b <= 0.0 && std::fabs(a - b) < 0.5)
            return true;
    }
    return false;
}

EntrainmentMeasure measure_window(std::span<const StrobePoint> points,
                                  std::span<const double> upcrossings, double z)
{
    EntrainmentMeasure m = UNMEASURED;
    const bool finite = std::all_of(points.begin(), points.end(), [](const StrobePoint& p) {
        return std::isfinite(p.y) && std::isfinite(p.v);
    });
    if (points.size() < 2 || !finite)
        return m;
    m.rotation = rotation_number(upcrossings, z);
    m.drift = z * std::fabs(1.0 - m.rotation);
    m.spread = strobe_spread(points);
    m.strobe_period = strobe_period(points);
    if (m.strobe_period == 1) {
        m.state = MotionState::locked;
    } else if (m.spread < NEAR_POINT_SPREAD) {
        // A spiral closing in on its fixed point repeats, within the tolerance, every turn.
        m = undecided(m);
    } else {
        m.state = m.strobe_period > 1 ? MotionState::periodic : MotionState::drifting;
    }
    return m;
}

std::span<const double> crossings_within(std::span<const double> upcrossings, double t0,
                                         double t1)
{
    const auto first = std::lower_bound(upcrossings.begin(), upcrossings.end(), t0);
    const auto last = std::upper_bound(first, upcrossings.end(), t1);
    return {first, last};
}

EntrainmentMeasure measured_over(std::span<const StrobePoint> points,
                                 std::span<const double> upcrossings, double z)
{
    return measure_window(points, crossings_within(upcrossings, points.front().t, points.back().t),
                          z);
}

bool judge_motion(std::span<const StrobePoint> points, std::span<const double> upcrossings,
                  double z, long limit, EntrainmentMeasure* m)
{
    return judge_motion(points, upcrossings, z, MEASURE_SETTLE_PERIODS, MEASURE_WINDOW_PERIODS,
                        limit, m);
}

bool judge_motion(std::span<const StrobePoint> points, std::span<const double> upcrossings,
                  double z, long settle, long window_periods, long limit, EntrainmentMeasure* m)
{
    const long count = static_cast<long>(points.size());
    if (count < settle + window_periods)
        return false;
    const std::span<const StrobePoint> window =
        points.last(static_cast<std::size_t>(window_periods));
    *m = measured_over(window, upcrossings, z);
    if (m->state == MotionState::locked || m->state == MotionState::periodic ||
        std::isnan(m->spread))
        return true;   // a period, or a motion no longer finite

    // No period yet. Converging: the moves towards the nearest cycle shrink from the earlier
    // to the later half of the latest JUDGED_WINDOWS windows (a transient moves them too, so
    // the judgement looks at the latest only).
    const std::span<const StrobePoint> history = points.subspan(static_cast<std::size_t>(settle));
    const std::size_t judged_periods = JUDGED_WINDOWS * static_cast<std::size_t>(window_periods);
    const std::span<const StrobePoint> judged =
        history.last(std::min<std::size_t>(history.size(), judged_periods));
    const std::size_t half = judged.size() / 2;
    const int n = nearest_cycle(window);
    const bool converging =
        strobe_move(judged.last(half), n) < CONVERGING_SHARE * strobe_move(judged.first(half), n);
    if (!converging && history.size() >= 2 * static_cast<std::size_t>(window_periods) &&
        phase_returns(crossings_within(upcrossings, history.front().t, history.back().t), z)) {
        *m = measured_over(history, upcrossings, z);
        return true;
    }
    if (count < limit)
        return false;
    *m = undecided(measured_over(judged, upcrossings, z));
    return true;
}

void reset_entrainment_measure()
{
    strobe_count = 0;
    upcrossing_count = 0;
    motion_measure = UNMEASURED;
    strobe_next = -1;
    strobe_due = 0.0;
    if (period_measurable(freq_ratio))
        aim_strobe_after(sim_time);
}

void record_entrainment_step(double t0, const double s0[2])
{
    if (strobe_next >= 0 && strobe_due < t0)
        aim_strobe_after(t0);   // the clock was set back or moved on without the measure
    const bool strobe = strobe_next >= 0 && strobe_due <= sim_time;
    const bool crossing = s0[0] < 0.0 && state[0] >= 0.0;
    if (!strobe && !crossing)
        return;
    StepEnd a;
    StepEnd b;
    fill_step_end(t0, s0, &a);
    fill_step_end(sim_time, state, &b);
    if (crossing) {
        const double t = upcrossing_time(a, b);
        if (upcrossing_count == 0 || t > upcrossing_ring[(upcrossing_count - 1) % UPCROSSING_CAPACITY])
            push_twice(upcrossing_ring, UPCROSSING_CAPACITY, &upcrossing_count, t);
    }
    // A period holds at least MEASURE_MIN_STEPS steps: one instant per step at most.
    if (strobe) {
        double s[2];
        interpolate_step(a, b, strobe_due, s);
        push_twice(strobe_ring, STROBE_CAPACITY, &strobe_count,
                   StrobePoint{strobe_next, strobe_due, s[0], s[1]});
        strobe_next = strobe_next + 1;
        strobe_due = forcing_instant(strobe_next);
        motion_measure = measure_recent(MEASURE_SETTLE_PERIODS, MEASURE_WINDOW_PERIODS);
    }
}

std::span<const StrobePoint> recent_strobe_points(long n)
{
    return latest(strobe_ring, STROBE_CAPACITY, strobe_count, n);
}

std::span<const double> recent_upcrossings()
{
    return latest(upcrossing_ring, UPCROSSING_CAPACITY, upcrossing_count, upcrossing_count);
}

std::span<const double> upcrossings_within(double t0, double t1)
{
    return crossings_within(recent_upcrossings(), t0, t1);
}
