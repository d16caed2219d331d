// Changes of z while the motion runs, and the sweep's judgement of each ratio it visits.
#include "app/sweep.h"

#include <cmath>
#include <cstdio>

#include "app/texts.h"
#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/forcing.h"
#include "dynamics/harmonic_measure.h"
#include "dynamics/simulation_step.h"
#include "response/crossings.h"
#include "response/stability.h"

namespace {

// A whole number of steps between the ends can come out a hair under it (0.2 / 0.005): this
// much is added before rounding down.
constexpr double STEP_ROUNDING = 1e-9;

// The ratio `index` steps from sweep_from towards sweep_to.
double sweep_ratio(int index)
{
    return sweep_to >= sweep_from ? sweep_from + index * sweep_step
                                  : sweep_from - index * sweep_step;
}

// The stability class of the crossing nearest the measured amplitude r; -1 for none.
int nearest_crossing_class(double r)
{
    int nearest = -1;
    for (int i = 0; i < crossing_count; ++i)
        if (nearest < 0 || std::fabs(crossings[i] - r) < std::fabs(crossings[nearest] - r))
            nearest = i;
    if (nearest < 0 || !std::isfinite(r))
        return -1;
    return static_cast<int>(classify_response(epsilon, freq_ratio, crossings[nearest]));
}

void record_ratio(const EntrainmentMeasure& m)
{
    if (sweep_record_count >= SWEEP_CAPACITY)
        return;
    double r = NAN;
    if (!last_measured_amplitude(&r))
        r = NAN;
    sweep_records[sweep_record_count] = {sweep_heading_up(), freq_ratio, m, r,
                                         nearest_crossing_class(r)};
    sweep_record_count = sweep_record_count + 1;
}

// Steps of the sweep from `from` to `to`; not finite where step is none.
double steps_between(double from, double to, double step)
{
    return std::floor(std::fabs(to - from) / step + STEP_ROUNDING);
}

// Starts the path from `from` out to `to`, back past `from` by `below` steps and home.
void begin_sweep(double from, double to, int below, double step)
{
    sweep_from = from;
    sweep_to = to;
    sweep_step = step;
    sweep_steps = static_cast<int>(steps_between(from, to, step));
    sweep_below = below;
    sweep_index = 0;
    sweep_leg = 0;
    sweep_record_count = 0;
    sweep_points_judged = 0;
    sweep_running = true;
    change_forcing_ratio(from);
}

// The next ratio of the path into sweep_index; false at its end.
bool step_along_path()
{
    if (sweep_leg == 0 && sweep_index < sweep_steps) {
        sweep_index = sweep_index + 1;
        return true;
    }
    if (sweep_leg <= 1 && sweep_index > -sweep_below) {
        sweep_leg = 1;
        sweep_index = sweep_index - 1;
        return true;
    }
    sweep_leg = 2;
    if (sweep_index >= 0)
        return false;
    sweep_index = sweep_index + 1;
    return true;
}

// How many steps from z (at most `most`) keep every ratio on the way measurable.
int measurable_steps(double z, int direction, int most)
{
    int n = 0;
    while (n < most && period_measurable(z + direction * (n + 1) * SWEEP_DEFAULT_STEP))
        ++n;
    return n;
}

}  // namespace

void change_forcing_ratio(double z_new)
{
    if (z_new == freq_ratio)
        return;
    set_forcing_ratio(z_new);
    crossing_count = find_crossings(freq_ratio, crossings);
    reset_harmonic_measure();
    reset_entrainment_measure();
}

bool sweep_possible(double from, double to, double step)
{
    return period_measurable(from) && period_measurable(to) && step > 0.0 &&
           2.0 * steps_between(from, to, step) + 1.0 <= SWEEP_CAPACITY;
}

bool start_sweep(double from, double to, double step)
{
    if (!sweep_possible(from, to, step))
        return false;
    begin_sweep(from, to, 0, step);
    return true;
}

bool toggle_sweep()
{
    sweep_in_link = false;
    if (sweep_running || !period_measurable(freq_ratio)) {
        stop_sweep();
        return false;
    }
    const int most = static_cast<int>(steps_between(0.0, SWEEP_HALF_RANGE, SWEEP_DEFAULT_STEP));
    const int up = measurable_steps(freq_ratio, 1, most);
    begin_sweep(freq_ratio, freq_ratio + up * SWEEP_DEFAULT_STEP,
                measurable_steps(freq_ratio, -1, most), SWEEP_DEFAULT_STEP);
    return true;
}

void set_ratio_by_hand(double z_new)
{
    constexpr double DECIMALS = 1e9;
    stop_sweep();
    sweep_in_link = false;
    const double z = std::round(z_new * DECIMALS) / DECIMALS;
    if (period_measurable(z))
        change_forcing_ratio(z);
}

void step_forcing_ratio(int steps)
{
    set_ratio_by_hand(freq_ratio + steps * SWEEP_DEFAULT_STEP);
}

bool sweep_heading_up()
{
    return (sweep_to >= sweep_from) == (sweep_leg != 1);
}

long frames_per_drawn_frame()
{
    return sweep_running ? SWEEP_DRAW_STRIDE : 1;
}

void stop_sweep()
{
    sweep_running = false;
}

void forget_sweep()
{
    stop_sweep();
    sweep_record_count = 0;
    sweep_in_link = false;
}

void sweep_after_frame()
{
    if (!sweep_running || strobe_count == sweep_points_judged)
        return;
    sweep_points_judged = strobe_count;
    EntrainmentMeasure m;
    if (!judge_motion(recent_strobe_points(strobe_count), recent_upcrossings(), freq_ratio,
                      SWEEP_PERIOD_LIMIT, &m))
        return;
    record_ratio(m);
    if (!step_along_path()) {
        sweep_running = false;
        return;
    }
    change_forcing_ratio(sweep_ratio(sweep_index));
    sweep_points_judged = 0;
}

std::string sweep_summary()
{
    std::string ranges[2];   // up, down
    for (const bool up : {true, false}) {
        double low = INFINITY;
        double high = -INFINITY;
        for (int i = 0; i < sweep_record_count; ++i)
            if (sweep_records[i].up == up && sweep_records[i].measure.state == MotionState::locked) {
                low = std::fmin(low, sweep_records[i].z);
                high = std::fmax(high, sweep_records[i].z);
            }
        char ends[2][32];
        std::snprintf(ends[0], sizeof ends[0], "%.6g", low);
        std::snprintf(ends[1], sizeof ends[1], "%.6g", high);
        ranges[up ? 0 : 1] = low <= high ? fill_text(text(SWEEP_LOCKED_RANGE), {ends[0], ends[1]})
                                         : std::string(text(SWEEP_NONE_LOCKED));
    }
    return fill_text(text(SWEEP_DONE),
                     {std::to_string(sweep_record_count), ranges[0], ranges[1]});
}

void run_sweep()
{
    while (sweep_running) {
        advance_frame();
        sweep_after_frame();
    }
}
