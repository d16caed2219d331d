// Every lesson step's claims against the program's own motion: each step's scenario opened as
// its address opens it, advanced to the frame it shows first (a sweep: to its end), and
// measured with the program's own measures: the entrainment measures and the sweep's records,
// the periodic orbit, the responses of harmonic balance, and a Lyapunov exponent from its own
// second start set beside the motion. A change that made a lesson say what the program no
// longer shows fails here, naming the step, the claim and what was measured.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "app/describe.h"
#include "app/lessons.h"
#include "app/options.h"
#include "app/run.h"
#include "app/sweep.h"
#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/harmonic_measure.h"
#include "dynamics/periodic_orbit.h"
#include "dynamics/phase_record.h"
#include "response/balance_roots.h"
#include "response/stability.h"
#include "tests/support/dialog_io.h"

namespace {

constexpr long PEAK_STEPS = 1000;          // the free swing's peak over the last 20 time units
constexpr long LYAPUNOV_PERIODS = 500;     // forcing periods of the exponent's estimate
constexpr double NEIGHBOUR = 1e-8;         // the second start's distance, set back each period
constexpr double HALF_SLIP = 0.5;          // fewer slips than this over the points held: none

bool about(double measured, double claimed)
{
    return std::fabs(measured / claimed - 1.0) <= CLAIM_TOLERANCE;
}

// The step's scenario as the page opens lesson=ID&step=K, at the frame it shows first.
void open_step(const Lesson& lesson, int k)
{
    Options options;
    options.lesson = lesson.id;
    options.lesson_step = k;
    open_asked_lesson(&options);
    show_start_views(options);
    run_with_console("", [&] { begin_run(options); });
    if (sweep_running)
        run_sweep();
    else
        advance_frames(1);
}

// The largest |y| of the motion (second: the second start's) over the latest steps.
double peak(bool second)
{
    double largest = 0.0;
    for (const PhaseSample& p : recent_phase_trail(PEAK_STEPS))
        largest = std::max(largest, std::fabs(second ? p.second[0] : p.s[0]));
    return largest;
}

// The largest Lyapunov exponent from here on: the second start put NEIGHBOUR away and set back
// to that distance, along its own direction, at each forcing instant.
double lyapunov_exponent()
{
    second_start_given = true;
    second_state[0] = state[0] + NEIGHBOUR;
    second_state[1] = state[1];
    const double t0 = sim_time;
    double sum = 0.0;
    for (long k0 = strobe_count; strobe_count - k0 < LYAPUNOV_PERIODS;) {
        const long before = strobe_count;
        advance_frames(1);
        if (strobe_count == before)
            continue;
        const double dy = second_state[0] - state[0], dv = second_state[1] - state[1];
        const double d = std::hypot(dy, dv);
        sum += std::log(d / NEIGHBOUR);
        second_state[0] = state[0] + dy * NEIGHBOUR / d;
        second_state[1] = state[1] + dv * NEIGHBOUR / d;
    }
    return sum / (sim_time - t0);
}

// The response of harmonic balance of class c at the present values nearest to r; NaN for none.
double predicted(ResponseClass c, double r)
{
    double roots[RESPONSE_ROOT_CAPACITY];
    double nearest = NAN;
    const int n = response_amplitudes(epsilon, force_amp, freq_ratio, roots);
    for (int i = 0; i < n; ++i)
        if (classify_response(epsilon, freq_ratio, roots[i]) == c &&
            (std::isnan(nearest) || std::fabs(roots[i] - r) < std::fabs(nearest - r)))
            nearest = roots[i];
    return nearest;
}

// The real periodic orbit next to the response of amplitude r, from where harmonic balance
// puts it at the forcing's whole turns.
PeriodicOrbit orbit_near(double r)
{
    const double phi = response_phase(epsilon, force_amp, freq_ratio, r);
    const double s[2] = {r * std::cos(phi), freq_ratio * r * std::sin(phi)};
    return find_periodic_orbit(epsilon, force_amp, freq_ratio, 0.0, s, OrbitGuess::harmonic);
}

// The sweep's record at ratio z on the way up or down; nullptr for none.
const SweepRecord* record_at(double z, bool up)
{
    for (int i = 0; i < sweep_record_count; ++i)
        if (sweep_records[i].up == up && std::fabs(sweep_records[i].z - z) < 1e-9)
            return &sweep_records[i];
    return nullptr;
}

// Whether claim holds now; *figure is what was measured.
bool holds(const Claim& claim, double* figure)
{
    const MotionFacts f = motion_facts();
    const EntrainmentMeasure& m = motion_measure;
    const bool no_period = m.state == MotionState::drifting;
    // Cycles slipped over the points held after settling.
    const double slips = std::fabs(1.0 - f.rotation) * f.span;
    switch (claim.kind) {
    case ClaimKind::amplitude:
        *figure = peak(false);
        return about(*figure, claim.value) && (!second_start_given || about(peak(true), claim.value));
    case ClaimKind::frequency:
        *figure = f.free_frequency;
        return about(*figure, claim.value);
    case ClaimKind::locked:
        *figure = f.amplitude;
        return m.state == MotionState::locked && about(*figure, claim.value);
    case ClaimKind::drifting:
        *figure = 2.0 * std::numbers::pi / (f.z * std::fabs(1.0 - f.rotation));   // one slip
        return no_period && slips >= HALF_SLIP && about(*figure, claim.value);
    case ClaimKind::modulated:
        *figure = m.spread;
        return no_period && slips < HALF_SLIP && m.spread > claim.value;
    case ClaimKind::period:
        *figure = m.strobe_period;
        return m.state == MotionState::periodic && m.strobe_period == claim.value;
    case ClaimKind::two_attractors: {
        const int second = strobe_period(recent_second_points(MEASURE_WINDOW_PERIODS));
        *figure = strobe_period(recent_strobe_points(MEASURE_WINDOW_PERIODS));
        return *figure == claim.value && second == claim.other;
    }
    case ClaimKind::hysteresis: {
        const SweepRecord* up = record_at(claim.value, true);
        const SweepRecord* down = record_at(claim.value, false);
        *figure = down != nullptr ? down->measure.strobe_period : NAN;
        return up != nullptr && down != nullptr && up->measure.state == MotionState::locked &&
               down->measure.state == MotionState::periodic && *figure == claim.other;
    }
    case ClaimKind::quasi_periodic:
    case ClaimKind::chaotic: {
        if (!no_period)
            return false;
        *figure = lyapunov_exponent();
        return claim.kind == ClaimKind::chaotic ? *figure > claim.value : std::fabs(*figure) < claim.value;
    }
    case ClaimKind::stable_predicted:
        *figure = predicted(ResponseClass::stable, claim.value);
        return about(*figure, claim.value);
    case ClaimKind::saddle_predicted: {
        *figure = predicted(ResponseClass::saddle, claim.value);
        if (!about(*figure, claim.value) || *figure <= std::sqrt(2.0))
            return false;
        const PeriodicOrbit orbit = orbit_near(*figure);
        return orbit.found && orbit.stability == ResponseClass::saddle;
    }
    case ClaimKind::none_predicted:
        *figure = predicted(ResponseClass::stable, 0.0);
        return std::isnan(*figure);
    case ClaimKind::none:
        break;
    }
    return false;
}

TEST(LessonClaims, EveryStepsScenarioShowsWhatTheStepClaims)
{
    for (const Lesson& lesson : LESSONS)
        for (int k = 1; k <= static_cast<int>(lesson.steps.size()); ++k) {
            open_step(lesson, k);
            const LessonStep& step = lesson.steps[k - 1];
            for (int i = 0; i < claim_count(step); ++i) {
                const Claim& claim = step.claims[i];
                double figure = NAN;
                const bool held = holds(claim, &figure);
                const std::string said = claim_text(claim, Language::english);
                std::printf("lesson %s step %d: %s; measured %.6g\n", lesson.id, k, said.c_str(), figure);
                EXPECT_TRUE(held) << "lesson " << lesson.id << " step " << k << ": " << said
                                  << "; measured " << figure << " at t = " << sim_time
                                  << ", state " << static_cast<int>(motion_measure.state);
            }
        }
    second_start_given = false;
}

}  // namespace
