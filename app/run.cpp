// The beginning of a run and the Run / Pause clock.
#include "app/run.h"

#include <cmath>

#include "app/dialog.h"
#include "core/state.h"
#include "dynamics/simulation_step.h"

namespace {

int run_ticket = 0;          // the latest chain of ticks; earlier ones are stale
double next_tick_ms = 0.0;   // when the next tick of the running chain is due

}  // namespace

void take_parameters(const Options& options)
{
    epsilon = options.epsilon.value_or(epsilon);
    force_amp = options.force.value_or(force_amp);
    freq_ratio = options.z.value_or(freq_ratio);
    y_init = options.y0.value_or(y_init);
    v_init = options.v0.value_or(v_init);
}

void advance_frames(long frames)
{
    for (long i = 0; i < frames; ++i) {
        advance_frame();
        ++process_frame_count;
    }
}

void begin_run(const Options& options)
{
    if (has_parameters(options)) {
        take_parameters(options);
        start_with_values();
    } else {
        command_key = 'm';
        input_parameters();
    }
    advance_frames(options.frames.value_or(0));
}

int start_or_pause_run(double now_ms)
{
    motion_running = !motion_running;
    ++run_ticket;
    next_tick_ms = now_ms + RUN_INTERVAL_MS;
    return motion_running ? run_ticket : 0;
}

bool run_tick_due(int ticket)
{
    return motion_running && ticket == run_ticket;
}

int next_run_delay(double now_ms)
{
    next_tick_ms += RUN_INTERVAL_MS;
    if (next_tick_ms + RUN_INTERVAL_MS < now_ms)
        next_tick_ms = now_ms;
    return next_tick_ms > now_ms ? static_cast<int>(std::lround(next_tick_ms - now_ms)) : 0;
}
