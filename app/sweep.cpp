// Changes of z while the motion runs, and the sweep's judgement of each ratio it visits.
#include "app/sweep.h"

#include <cmath>

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
    sweep_records[sweep_record_count] = {(sweep_to >= sweep_from) != sweep_returning,
                                         freq_ratio, m, r, nearest_crossing_class(r)};
    sweep_record_count = sweep_record_count + 1;
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

bool start_sweep(double from, double to, double step)
{
    const double steps = std::floor(std::fabs(to - from) / step + STEP_ROUNDING);
    if (!period_measurable(from) || !period_measurable(to) || !(step > 0.0) ||
        !(2.0 * steps + 1.0 <= SWEEP_CAPACITY))
        return false;
    sweep_from = from;
    sweep_to = to;
    sweep_step = step;
    sweep_steps = static_cast<int>(steps);
    sweep_index = 0;
    sweep_returning = false;
    sweep_record_count = 0;
    sweep_points_judged = 0;
    sweep_running = true;
    change_forcing_ratio(from);
    return true;
}

void stop_sweep()
{
    sweep_running = false;
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
    if (!sweep_returning && sweep_index < sweep_steps) {
        sweep_index = sweep_index + 1;
    } else if (sweep_index > 0) {
        sweep_returning = true;
        sweep_index = sweep_index - 1;
    } else {
        sweep_running = false;
        return;
    }
    change_forcing_ratio(sweep_ratio(sweep_index));
    sweep_points_judged = 0;
}

void run_sweep()
{
    while (sweep_running) {
        advance_frame();
        sweep_after_frame();
    }
}
