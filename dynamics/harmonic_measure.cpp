// The measured first-harmonic amplitude: running sums over the forcing period in progress,
// closed at each period's end into a ring of the last MEASURED_PERIODS amplitudes.
#include "dynamics/harmonic_measure.h"

#include <cmath>
#include <numbers>

#include "core/state.h"
#include "dynamics/forcing.h"

bool period_measurable(double z)
{
    return z > 0.0 && 2.0 * std::numbers::pi / z >= MEASURE_MIN_STEPS * time_step;
}

double largest_measurable_ratio()
{
    return 2.0 * std::numbers::pi / (MEASURE_MIN_STEPS * time_step);
}

namespace {

// The step (t, y) as the sums take it: t, y, y cos(theta), y sin(theta).
void weigh(double t, double y, double out[4])
{
    out[0] = t;
    out[1] = y;
    out[2] = y * std::cos(forcing_phase(t));
    out[3] = y * std::sin(forcing_phase(t));
}

// Adds the trapezoid from harmonic_last to next and makes next the last.
void add_trapezoid(const double next[4])
{
    const double half = 0.5 * (next[0] - harmonic_last[0]);
    harmonic_sums[0] = harmonic_sums[0] + half * (harmonic_last[2] + next[2]);
    harmonic_sums[1] = harmonic_sums[1] + half * (harmonic_last[3] + next[3]);
    for (int i = 0; i < 4; ++i)
        harmonic_last[i] = next[i];
}

}  // namespace

void reset_harmonic_measure()
{
    harmonic_sums[0] = 0.0;
    harmonic_sums[1] = 0.0;
    measured_count = 0;
    harmonic_period = -1;
    if (!period_measurable(freq_ratio))
        return;
    harmonic_period = forcing_period_at(sim_time);
    // After a change of z the period in progress began before it: it is summed, not kept.
    if (forcing_instant(harmonic_period) < sim_time)
        measured_count = -1;
    weigh(sim_time, state[0], harmonic_last);
}

void record_harmonic_step()
{
    if (harmonic_period < 0)
        return;
    double next[4];
    weigh(sim_time, state[0], next);
    // Each period end within the step closes that period; t grows by a step at a time, and
    // a period holds at least MEASURE_MIN_STEPS of them, so this runs once at most.
    for (double end = forcing_instant(harmonic_period + 1); next[0] >= end;
         end = forcing_instant(harmonic_period + 1)) {
        const double y_end = harmonic_last[1] + (next[1] - harmonic_last[1]) *
                                                    (end - harmonic_last[0]) /
                                                    (next[0] - harmonic_last[0]);
        double at_end[4];
        weigh(end, y_end, at_end);
        add_trapezoid(at_end);
        const double scale = freq_ratio / std::numbers::pi;
        if (measured_count >= 0)
            measured_amps[harmonic_period % MEASURED_PERIODS] =
                std::hypot(scale * harmonic_sums[0], scale * harmonic_sums[1]);
        measured_count = measured_count + 1;
        harmonic_period = harmonic_period + 1;
        harmonic_sums[0] = 0.0;
        harmonic_sums[1] = 0.0;
    }
    add_trapezoid(next);
}

bool last_measured_amplitude(double* r)
{
    if (measured_count <= 0 || harmonic_period < 1)
        return false;
    *r = measured_amps[(harmonic_period - 1) % MEASURED_PERIODS];
    return true;
}

int measured_range(double* low, double* high)
{
    const long n = measured_count < MEASURED_PERIODS ? measured_count : MEASURED_PERIODS;
    if (n <= 0)
        return 0;
    *low = INFINITY;
    *high = -INFINITY;
    for (long k = harmonic_period - n; k < harmonic_period; ++k) {
        *low = std::fmin(*low, measured_amps[k % MEASURED_PERIODS]);
        *high = std::fmax(*high, measured_amps[k % MEASURED_PERIODS]);
    }
    return static_cast<int>(n);
}
