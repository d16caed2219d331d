// One frame's integration and trace recording.
#include "dynamics/simulation_step.h"

#include <cmath>

#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/forcing.h"
#include "dynamics/harmonic_measure.h"
#include "dynamics/phase_record.h"
#include "dynamics/rkg_step.h"

void advance_simulation()
{
    for (int i = 0; i < steps_per_frame; ++i) {
        const double start[2] = {state[0], state[1]};
        const double start_time = sim_time;
        rkg_step(sim_time, time_step, start, state, 2);
        sim_time = sim_time + time_step;
        record_harmonic_step();
        const long strobe_before = strobe_count;
        record_entrainment_step(start_time, start);
        record_phase_step(start_time, strobe_before);
    }
}

void record_trace_samples()
{
    trace_index = trace_index + 1;
    // The keys keep trace_len within a row; the second test guards the row whatever happens.
    if (trace_index > trace_len || trace_index >= TRACE_CAPACITY)
        trace_index = 0;
    trace_response[trace_index] = state[0];
    trace_force[trace_index] = std::sin(forcing_phase(sim_time)) * force_amp;
}

void advance_frame()
{
    advance_simulation();
    picture_scale = trace_scales[0];
    trace_scales[0] = amp_scale;
    trace_scales[1] = amp_scale;
    record_trace_samples();
}
