// The console dialog with its three entry points, the curve computations it triggers, and
// the resets of the simulation and the view.
#include "app/dialog.h"

#include <initializer_list>
#include <string>

#include "app/console.h"
#include "app/locking_map.h"
#include "app/sweep.h"
#include "app/texts.h"
#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/forcing.h"
#include "dynamics/harmonic_measure.h"
#include "dynamics/phase_record.h"
#include "response/amplitude_curve.h"
#include "response/crossings.h"

namespace {

struct NamedValue {
    const char* name;
    double value;
};

// One line after an unreadable answer: the values kept, and what they hold.
void say_kept(std::initializer_list<NamedValue> kept)
{
    std::string list;
    for (const NamedValue& v : kept)
        list += (list.empty() ? "" : ", ") + std::string(v.name) + "=" + shortest_digits(v.value);
    console_write_with(text(KEPT_AFTER_UNREADABLE), list.c_str());
}

void read_number(const char* name, double* value)
{
    if (console_read_number(value) == ConsoleRead::unreadable)
        say_kept({{name, *value}});
}

// An unreadable first number drops its line, so the second keeps its value too.
void read_pair(const char* first_name, double* first, const char* second_name, double* second)
{
    const ConsolePairRead read = console_read_pair(first, second);
    if (read.first == ConsoleRead::unreadable)
        say_kept({{first_name, *first}, {second_name, *second}});
    else if (read.second == ConsoleRead::unreadable)
        say_kept({{second_name, *second}});
}

void print_banner()
{
    for (Text id : {BANNER_TITLE, BANNER_EQUATION, BANNER_INPUT_1, BANNER_INPUT_2, BANNER_INPUT_3})
        console_write(text(id));
}

void ask_epsilon()
{
    print_banner();
    console_write(text(PROMPT_EPSILON));
    read_number(text(NAME_EPSILON), &epsilon);
}

void ask_force()
{
    console_write(text(NOTE_ENTRAINMENT));
    console_write(text(NOTE_AWAY_FROM_ONE));
    console_write(text(PROMPT_FORCE));
    read_pair("F", &force_amp, "z", &freq_ratio);
}

void print_dialog_key_help()
{
    for (Text id : {HELP_COLOURS, HELP_S_Y, HELP_M_T, HELP_F_E, HELP_J, HELP_ESC})
        console_write(text(id));
}

}  // namespace

void compute_response_curves()
{
    amp_step = CURVE_AMP_STEP;
    amp_steps = CURVE_AMP_STEPS;
    compute_amplitude_curve(amp_step, amp_steps, main_curve, &main_fold_count, main_folds);
    crossing_count = find_crossings(freq_ratio, crossings);

    const double typed_epsilon = epsilon;
    family_size = FAMILY_CAPACITY;
    for (int k = 0; k < family_size; ++k) {
        epsilon = EPSILON_FAMILY[k];
        compute_amplitude_curve(amp_step, amp_steps, eps_curves[k], &family_fold_counts[k],
                                family_folds[k]);
    }
    epsilon = typed_epsilon;
    unstable_level = STABILITY_LEVEL;

    const double typed_force = force_amp;
    family_size = FAMILY_CAPACITY;
    for (int k = 0; k < family_size; ++k) {
        force_amp = FORCE_FAMILY[k];
        compute_amplitude_curve(amp_step, amp_steps, force_curves[k], &family_fold_counts[k],
                                family_folds[k]);
    }
    force_amp = typed_force;
}

namespace {

void ask_initial_state()
{
    console_write(text(PROMPT_INITIAL));
    read_pair("y0", &y_init, "v0", &v_init);
    print_dialog_key_help();
}

}  // namespace

// The simulation back to t = 0 with the typed initial state, the view to its defaults.
// family_view is kept: a family once chosen stays shown.
void restart_run()
{
    state[0] = y_init;
    state[1] = v_init;
    sim_time = 0.0;
    trace_index = 0;
    trace_response[0] = state[0];
    trace_force[0] = 0.0;
    picture_left = DEFAULT_PICTURE_LEFT;
    curve_origin = picture_left;
    amp_scale = DEFAULT_AMP_SCALE;
    z_scale = DEFAULT_Z_SCALE;
    trace_origin = DEFAULT_TRACE_ORIGIN;
    mass_count = 1;
    trace_dx = DEFAULT_TRACE_DX;
    trace_len = static_cast<int>(1.0 / trace_dx);
    trace_scales[0] = amp_scale;
    trace_scales[1] = amp_scale;
    trace_count = TRACE_ROWS;
    motion_lost_told = false;
    forget_sweep();
    reset_forcing_phase();
    reset_harmonic_measure();
    reset_entrainment_measure();
    ++runs_started;
    reset_phase_record();
}

void start_with_values()
{
    print_banner();
    compute_response_curves();
    print_dialog_key_help();
    restart_run();
}

void print_key_help()
{
    print_dialog_key_help();
    console_write(text(HELP_FUNCTION_KEYS));
    console_write(text(HELP_LAYER_KEYS));
    console_write(text(HELP_PHASE_KEYS));
    console_write_with(text(HELP_SWEEP_KEYS), {shortest_digits(SWEEP_DEFAULT_STEP)});
    console_write(text(HELP_MAP_KEY));
}

long dialogs_run = 0;

void input_parameters()
{
    ++dialogs_run;
    // The values may change: a locking map under way is given up.
    stop_map_job();
    // A Ctrl-D typed at an earlier dialog ended that dialog only: a terminal is asked again.
    console_forget_end_of_input();
    if (command_key != 'f' && command_key != 'j')
        ask_epsilon();
    if (command_key != 'j') {
        ask_force();
        compute_response_curves();
    }
    ask_initial_state();
    restart_run();
}
