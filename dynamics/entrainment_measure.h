#pragma once
// What the running motion shows of entrainment, beside its first harmonic: the stroboscopic
// points (the state at each instant where the forcing's phase is 2 pi k) and the upward zero
// crossings of y, and from them the strobe period, the rotation number, the drift frequency,
// the spread and the motion's state. Taken from the integrator's own steps, which it never
// changes.
//
// Within the step that holds an instant or a crossing the motion is taken as the quintic
// Hermite interpolant of y, v and their first two derivatives (from the model) at both ends.
// The interpolation's error depends on the instant's place in the step, which moves from
// period to period, so it scatters the points of a locked motion; measured on the last 300
// points: at eps = 0.1, F = 0.2, z = 1 they repeat within 2e-11 (linear interpolation: 7e-5,
// beyond the 1e-5 at which points count as repeating); at eps = F = 5, z = 2 two of the three
// repeat within 1e-8 and the third, in a fast jump of the relaxation oscillation (v near -9),
// within 6e-6, where the cubic Hermite interpolant of values and slopes scatters it by 1.5e-4
// and the period 3 goes unseen.
//
// The measures of a window are pure functions over spans, so that motions integrated
// elsewhere (many at once, say) can be measured alike from their own points and crossings.
#include <cmath>
#include <span>

#include "core/types.h"

// Points within this of each other in y and in v count as the same point.
constexpr double STROBE_TOLERANCE = 1e-5;
// A window whose points all lie this close together, but do not repeat every period, belongs
// to a motion still closing in on a fixed point: settling, whatever longer period it seems to
// have (a slow spiral repeats within STROBE_TOLERANCE every turn).
constexpr double NEAR_POINT_SPREAD = 1e-3;
// Forcing periods left out after the measures restart before a window is judged, and the
// window then judged: a strobe period up to 20 shows twice in it.
constexpr int MEASURE_SETTLE_PERIODS = 30;
constexpr int MEASURE_WINDOW_PERIODS = 40;
// The measure of a window too short to measure: settling, every number NaN.
constexpr EntrainmentMeasure UNMEASURED = {MotionState::settling, 0, NAN, NAN, NAN};

// The state and its first two time derivatives at one end of an integrator step.
struct StepEnd {
    double t;
    double s[2];    // y, v
    double d1[2];   // y', v'
    double d2[2];   // y'', v''
};

// One end of an integrator step: the state s at t and its derivatives from the model.
void fill_step_end(double t, const double s[2], StepEnd* e);

// The state at t within the step from a to b (a.t <= t <= b.t).
void interpolate_step(const StepEnd& a, const StepEnd& b, double t, double out[2]);

// Where y passes upward through 0 within the step, a.s[0] < 0 <= b.s[0].
double upcrossing_time(const StepEnd& a, const StepEnd& b);

// The largest move of the window's points over n periods: the largest |y(k + n) - y(k)| or
// |v(k + n) - v(k)|. 0 when the window holds n points or fewer.
double strobe_move(std::span<const StrobePoint> points, int n);

// The smallest n (1 ... half the window's points) at which the points repeat within
// STROBE_TOLERANCE; 0 for none.
int strobe_period(std::span<const StrobePoint> points);

// The largest distance between two points of the window; NaN for an empty one.
double strobe_spread(std::span<const StrobePoint> points);

// Upward crossings per forcing period (period 2 pi / z, z > 0), from crossing times in
// increasing order; NaN with fewer than two. Measured from the first crossing to the one in
// the window's later half at which the forcing's phase comes closest to its phase at the
// first: over whole beats, so that a drifting motion's slips are counted without the bias of
// a beat cut short.
double rotation_number(std::span<const double> upcrossings, double z);

// Whether the forcing's phase at a crossing of the later half comes back through its phase at
// the first: the crossings span a whole beat, or the motion slips no cycle at all. False with
// fewer than three crossings.
bool phase_returns(std::span<const double> upcrossings, double z);

// Every measure of a window: its points, the crossings within their span of time, and z.
// settling with fewer than two points, with a point that is not finite (spread NaN), or when
// the points close in on one (NEAR_POINT_SPREAD); else locked, periodic (strobe period
// n > 1) or drifting (no period).
EntrainmentMeasure measure_window(std::span<const StrobePoint> points,
                                  std::span<const double> upcrossings, double z);

// The crossings of an increasing list that lie within [t0, t1].
std::span<const double> crossings_within(std::span<const double> upcrossings, double t0,
                                         double t1);

// measure_window over a window of at least one point and the crossings, from an increasing
// list, that lie within its span of time.
EntrainmentMeasure measured_over(std::span<const StrobePoint> points,
                                 std::span<const double> upcrossings, double z);

// Whether a motion at one ratio is decided, from all its points since z was set there
// (oldest first) and its crossings over them; its measures into *m when it is. At least
// MEASURE_SETTLE_PERIODS are left to settle and MEASURE_WINDOW_PERIODS more measured; a strobe
// period in the latest window decides it (locked, periodic), and so does a point no longer
// finite (settling). Without a period, the moves of the latest points towards their nearest
// cycle are compared between the earlier and the later half: shrinking, the motion converges
// geometrically towards a fixed point or cycle and is measured on; not shrinking, it is
// drifting, once twice the window is measured and closes a whole beat (or slips no cycle at
// all: phase_returns), and measured over all of it. Undecided with `limit` points, it is
// settling. Near a band's edge the transient outlasts any fixed run (critical slowing down):
// settling, not a wrong class.
bool judge_motion(std::span<const StrobePoint> points, std::span<const double> upcrossings,
                  double z, long limit, EntrainmentMeasure* m);

// judge_motion with its lengths given (the map's options): `settle` points left to settle,
// the latest `window` searched for a period up to window / 2, four windows for convergence.
bool judge_motion(std::span<const StrobePoint> points, std::span<const double> upcrossings,
                  double z, long settle, long window, long limit, EntrainmentMeasure* m);

// The measures of the window's own motion, into strobe_ring, upcrossing_ring and
// motion_measure (core/state.h).

// Starts afresh at sim_time: at a run's start, after a change of z. The first point is the
// next instant where the forcing's phase is a whole number of turns (t = 0 at a run's start).
// Nothing is sampled while z <= 0 or a period is shorter than MEASURE_MIN_STEPS steps.
void reset_entrainment_measure();

// Takes in the integrator step from (t0, s0) to (sim_time, state). A step taken again after
// the state was put back (a frame drawn again) adds nothing: instants and crossings are taken
// in order of time, once.
void record_entrainment_step(double t0, const double s0[2]);

// The latest n points (fewer when fewer are held), oldest first.
std::span<const StrobePoint> recent_strobe_points(long n);

// The held crossing times, oldest first, and those within [t0, t1].
std::span<const double> recent_upcrossings();
std::span<const double> upcrossings_within(double t0, double t1);
