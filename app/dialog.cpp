// The console dialog with its three entry points, the curve computations it triggers, and
// the resets of the simulation and the view.
#include "app/dialog.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "app/console.h"
#include "app/texts.h"
#include "core/state.h"
#include "response/amplitude_curve.h"
#include "response/crossings.h"

namespace {

// v in the fewest significant digits that read back as v.
std::string shortest_text(double v)
{
    char text[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, v);
        if (std::strtod(text, nullptr) == v)
            break;
    }
    return text;
}

struct NamedValue {
    const char* name;
    double value;
};

// One line after an unreadable answer: the values kept, and what they hold.
void say_kept(std::initializer_list<NamedValue> kept)
{
    std::string list;
    for (const NamedValue& v : kept)
        list += (list.empty() ? "" : ", ") + std::string(v.name) + "=" + shortest_text(v.value);
    char line[256];
    std::snprintf(line, sizeof line, KEPT_AFTER_UNREADABLE, list.c_str());
    console_write(line);
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

void ask_epsilon()
{
    console_write("\n１自由度自励振動系(Van der Pol's equation)の強制振動の描画");
    console_write("\n正規化式　ddy/ddt - ε(1-y^y)*dy/dt + *y = F*sin(z*t)\n");
    console_write("\nキー入力　(1) ε");
    console_write("\n        　(2) ζ，z");
    console_write("\n        　(3) 初期条件");
    console_write("\n\n(1) 負の減衰比ε，キー入力 ε=");
    read_number("ε", &epsilon);
}

void ask_force()
{
    console_write("\n     z=1の付近で，外力振動数の振動が生じる（引き込み現象）");
    console_write("\n     z=1を離れると，周期的な振動は見られない");
    console_write("\n(2) 外力振幅F, 外力振動数比z　入力　F z=");
    read_pair("F", &force_amp, "z", &freq_ratio);
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
    console_write("\n(3) 初期条件入力  y0 v0 = ");
    read_pair("y0", &y_init, "v0", &v_init);
    console_write("\n振動曲線描画表示　赤：応答　緑：外力\n");
    console_write("\n's'キーで 　：振動描画継続             'Y' 'y'キーで：周波数特性の縦倍率増減");
    console_write("\n'm'キーで   ：負減衰比ε変更           'T' 't'キーで：振動曲線y(t)の時間軸伸縮");
    console_write("\n'f'キーで　 ：外力 F,z 変更            'E' 'e'キーで：F or ε可変のf特性表示");
    console_write("\n'j'キーで   ：初期条件 y0,v0 変更");
    console_write("\nESCキーで   ：終了\n");
}

// The simulation back to t = 0 with the typed initial state, the view to its defaults.
// family_view is kept: a family once chosen stays shown.
void reset_run()
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
}

}  // namespace

void input_parameters()
{
    // A Ctrl-D typed at an earlier dialog ended that dialog only: a terminal is asked again.
    console_forget_end_of_input();
    if (command_key != 'f' && command_key != 'j')
        ask_epsilon();
    if (command_key != 'j') {
        ask_force();
        compute_response_curves();
    }
    ask_initial_state();
    reset_run();
}
