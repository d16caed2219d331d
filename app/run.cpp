// The beginning of a run and the Run / Pause clock.
#include "app/run.h"

#include <cmath>

#include "app/controls.h"
#include "app/dialog.h"
#include "app/locking_map.h"
#include "app/texts.h"
#include "core/state.h"
#include "dynamics/simulation_step.h"

namespace {

int run_ticket = 0;          // the latest chain of ticks; earlier ones are stale
double next_tick_ms = 0.0;   // when the next tick of the running chain is due

}  // namespace

void apply_start_options(const Options& options)
{
    console_language = chosen_language(options);
    if (options.family != 0)
        family_view = options.family;
    for (const Control& control : CONTROLS)
        if (control.kind == ControlKind::layer)
            *std::get<bool*>(control.target) = layer_asked(options, control);
    apply_map_options(options);
}

void set_parameters_from(const Options& options)
{
    epsilon = options.epsilon.value_or(epsilon);
    force_amp = options.force.value_or(force_amp);
    freq_ratio = options.z.value_or(freq_ratio);
    y_init = options.y0.value_or(y_init);
    v_init = options.v0.value_or(v_init);
}

long frame_shown()
{
    return std::lround(sim_time / (time_step * steps_per_frame));
}

Options held_scenario()
{
    Options options;
    options.epsilon = epsilon;
    options.force = force_amp;
    options.z = freq_ratio;
    options.y0 = y_init;
    options.v0 = v_init;
    options.frames = frame_shown() > 0 ? frame_shown() - 1 : 0;
    if (family_view == 'e' || family_view == 'E')
        options.family = family_view;
    for (const Control& control : CONTROLS)
        if (control.kind == ControlKind::layer && *std::get<bool*>(control.target))
            options.layers.push_back(&control);
    options.language = console_language;
    hold_map_options(&options);
    return options;
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
        set_parameters_from(options);
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
