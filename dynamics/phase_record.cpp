// The phase plane's record of the motion: trail, second start, extent.
#include "dynamics/phase_record.h"

#include <cmath>

#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/rkg_step.h"
#include "dynamics/twice_ring.h"

namespace {

constexpr double FREE_CYCLE_AMPLITUDE = 2.0;   // of the free oscillator at small eps
// The extents' mantissas: ticks at half and whole of each read easily, and neighbours at most
// 1.5 apart, so that with PHASE_MARGIN the motion spans more than half of the view.
constexpr double NICE_STEPS[] = {1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0};

// The second motion at the instant of the first's latest point, within its step from (t0, s0).
void take_second_point(double t0, const double s0[2])
{
    const StrobePoint& first = strobe_ring[(strobe_count - 1) % STROBE_CAPACITY];
    StepEnd a;
    StepEnd b;
    fill_step_end(t0, s0, &a);
    fill_step_end(sim_time, second_state, &b);
    double s[2];
    interpolate_step(a, b, first.t, s);
    put_twice(second_strobe_ring, STROBE_CAPACITY, strobe_count - 1,
              StrobePoint{first.k, first.t, s[0], s[1]});
}

}  // namespace

double nice_extent(double x)
{
    const double power = std::pow(10.0, std::floor(std::log10(x)));
    for (const double m : NICE_STEPS)
        if (m * power >= x && std::isfinite(m * power))
            return m * power;
    return x;
}

void widen_phase_extent(double y, double v)
{
    const double values[2] = {y, v};
    for (int c = 0; c < 2; ++c) {
        const double wanted = std::fabs(values[c]) * PHASE_MARGIN;
        if (!(wanted > phase_extent[c]) || !std::isfinite(wanted))
            continue;
        const double extent = nice_extent(wanted);
        if (std::isfinite(extent))
            phase_extent[c] = extent;
    }
}

void reset_phase_record()
{
    double r = FREE_CYCLE_AMPLITUDE;
    for (int i = 0; i < crossing_count; ++i)
        r = std::fmax(r, crossings[i]);
    phase_extent[0] = nice_extent(r * PHASE_MARGIN);
    phase_extent[1] = nice_extent(r * std::fmax(1.0, std::fabs(freq_ratio)) * PHASE_MARGIN);
    widen_phase_extent(y_init, v_init);
    second_state[0] = second_start_given ? second_init[0] : NAN;
    second_state[1] = second_start_given ? second_init[1] : NAN;
    if (second_start_given)
        widen_phase_extent(second_init[0], second_init[1]);
    phase_trail_count = 0;
    orbit_sought = false;
    found_orbit.found = false;
}

void record_phase_step(double t0, long strobe_before)
{
    if (second_start_given) {
        const double s0[2] = {second_state[0], second_state[1]};
        rkg_step(t0, time_step, s0, second_state, 2);
        if (strobe_count > strobe_before)
            take_second_point(t0, s0);
        widen_phase_extent(second_state[0], second_state[1]);
    }
    push_twice(phase_trail, PHASE_TRAIL_CAPACITY, &phase_trail_count,
               PhaseSample{sim_time, {state[0], state[1]}, {second_state[0], second_state[1]}});
    widen_phase_extent(state[0], state[1]);
}

std::span<const PhaseSample> recent_phase_trail(long n)
{
    return latest(phase_trail, PHASE_TRAIL_CAPACITY, phase_trail_count, n);
}

std::span<const StrobePoint> recent_second_points(long n)
{
    return latest(second_strobe_ring, STROBE_CAPACITY, strobe_count, n);
}
