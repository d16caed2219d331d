// The beginning of a run and the Run / Pause clock.
#include "app/run.h"

#include <algorithm>
#include <cmath>

#include "app/controls.h"
#include "app/dialog.h"
#include "app/lessons.h"
#include "app/phase_view.h"
#include "app/sweep.h"
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
    show_start_views(options);
}

void show_start_views(const Options& options)
{
    family_view = options.family;
    for (const Control& control : CONTROLS)
        if (control.kind == ControlKind::layer)
            *std::get<bool*>(control.target) = layer_asked(options, control);
    second_start_given = options.second_start.has_value();
    if (options.second_start) {
        second_init[0] = (*options.second_start)[0];
        second_init[1] = (*options.second_start)[1];
    }
    apply_map_options(options);
}

void set_parameters_from(const Options& options)
{
    epsilon = options.epsilon.value_or(epsilon);
    force_amp = options.force.value_or(force_amp);
    freq_ratio = options.sweep ? (*options.sweep)[0] : options.z.value_or(freq_ratio);
    y_init = options.y0.value_or(y_init);
    v_init = options.v0.value_or(v_init);
}

void start_asked_sweep(const Options& options)
{
    if (options.sweep && start_sweep((*options.sweep)[0], (*options.sweep)[1], SWEEP_DEFAULT_STEP))
        sweep_in_link = true;
}

bool runs_from_start(const Options& options)
{
    return sweep_running && !options.frames;
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
    options.frames = std::max(frame_shown() - frames_per_drawn_frame(), 0L);
    if (family_view == 'e' || family_view == 'E')
        options.family = family_view;
    for (const Control& control : CONTROLS)
        if (control.kind == ControlKind::layer && *std::get<bool*>(control.target))
            options.layers.push_back(&control);
    options.language = console_language;
    if (second_start_given)
        options.second_start = {second_init[0], second_init[1]};
    if (sweep_in_link)
        options.sweep = {sweep_from, sweep_to};
    hold_map_options(&options);
    if (lesson_open > 0) {
        options.lesson = LESSONS[lesson_open - 1].id;
        options.lesson_step = lesson_step_open;
    }
    return options;
}

void advance_motion_frames(long frames)
{
    for (long i = 0; i < frames; ++i) {
        advance_frame();
        sweep_after_frame();
        ++process_frame_count;
    }
}

void advance_frames(long frames)
{
    advance_motion_frames(frames);
    seek_orbit_when_asked();
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
    start_asked_sweep(options);
    // Unseen: the orbit F9 asks for is sought at the first frame shown, as --snapshot seeks it.
    advance_motion_frames(options.frames.value_or(0));
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
