// Frame composition: what is drawn where, in which order. No depth test, so the order is
// the layering.
#include "display/frame.h"

#include <cmath>

#include "core/state.h"
#include "display/curve_plot.h"
#include "display/picture.h"
#include "display/primitives.h"
#include "dynamics/simulation_step.h"

namespace {

constexpr double ARROW_LENGTH_FACTOR = 0.3;        // arrow length per unit sin(z t) and scale
constexpr double ARROW_UP = 1.570796326794895;     // radians; -ARROW_UP points down
constexpr double ARROW_TIP_OFFSET = 0.03;          // from the mass centre, inside its disc
constexpr double GRID_SHIFT = 60.0;                // grid centre 30 cells left of the picture
constexpr int GRID_HALF_COUNT = 30;
constexpr double GRID_CELL_TIME = 2.0;             // simulated time per grid column
constexpr double GRID_CELL_HEIGHT = 0.2;           // displacement per grid row
constexpr double PLOT_LINE_LENGTH = 5.0;           // reaches past the window's edge
constexpr double CROSSING_RADIUS = 0.01;

constexpr Font LABEL_FONT = Font::helvetica_18;

// The string, its mass and the force arrow, at the scale of the previous frame: trace_scales
// takes amp_scale only afterwards, so right after 'y' or 'Y' the picture lags by one frame.
void draw_motion_picture()
{
    draw_oscillator(picture_left, trace_scales[0], mass_count, state);

    // The arrow follows the phase of the forcing only; F does not enter its length.
    const double f = std::sin(freq_ratio * sim_time) * ARROW_LENGTH_FACTOR * trace_scales[0];
    double angle = ARROW_UP;
    double offset = ARROW_TIP_OFFSET;
    if (f < 0.0) {
        angle = -ARROW_UP;
        offset = -ARROW_TIP_OFFSET;
    }
    const double length = std::fabs(f);
    const Vec2 tip = {(picture_right_x - picture_left.x) * 0.5 + picture_left.x,
                      state[0] * trace_scales[0] + picture_left.y - offset};
    draw_arrow(tip, length, angle, GREEN);

    draw_text(-0.95f, 0.95f, LABEL_FONT, "red   : response y(t)");
    draw_text(-0.95f, 0.9f, LABEL_FONT, "green : force f(t)/K");
    draw_text(-0.95f, 0.85f, LABEL_FONT, "1grid=(2s,0.2m)");
}

// Axes, grid and traces. One grid cell is 2 time units by 0.2 units of displacement,
// whatever trace_dx and amp_scale are.
void draw_trace_panel()
{
    draw_cross(trace_origin, 0.0);

    const double T = steps_per_frame * time_step;
    const double spacing_x = GRID_CELL_TIME * trace_dx / T;
    const double spacing_y = GRID_CELL_HEIGHT * amp_scale;
    const Vec2 centre = {picture_left.x - GRID_SHIFT * trace_dx / T, picture_left.y};
    draw_grid(centre, 0.0, GRID_HALF_COUNT, spacing_x, spacing_y);

    draw_traces(trace_origin, trace_dx, trace_scales, trace_count, trace_index, &trace_rows[0][0],
                TRACE_CAPACITY);
}

void draw_family()
{
    const ResponsePoint(*curves)[CURVE_CAPACITY] = nullptr;
    if (family_view == 'e') {
        draw_text(-0.1f, -0.1f, LABEL_FONT,
                  "blue : epsilon={0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1,2,5,10}");
        draw_text(-0.1f, -0.15f, LABEL_FONT, "red  : given epsilon");
        curves = eps_curves;
    } else if (family_view == 'E') {
        draw_text(-0.1f, -0.1f, LABEL_FONT,
                  "blue : Force={0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1,2,5,10}");
        draw_text(-0.1f, -0.15f, LABEL_FONT, "red  : given Force");
        curves = force_curves;
    } else {
        return;
    }
    for (int k = 0; k < family_size; ++k)
        draw_amplitude_curve(&curve_origin, z_scale, amp_scale, amp_steps, curves[k], &BLUE);
}

// The amplitude-frequency plot: family, labels, the lines at z = 1, at the given z and at the
// stability level, the main curve, and a disc where the given z meets it.
void draw_response_panel()
{
    draw_family();
    draw_text(-0.1f, -0.2f, LABEL_FONT, "black line : unstable under this line(=1.414)");
    draw_text(-0.1f, -0.25f, LABEL_FONT, "green line  : given z");

    const double x1 = curve_origin.x + z_scale;
    draw_line(Vec2{x1, curve_origin.y}, Vec2{x1, curve_origin.y + PLOT_LINE_LENGTH}, BLUE);
    const double xz = z_scale * freq_ratio + curve_origin.x;
    draw_line(Vec2{xz, curve_origin.y}, Vec2{xz, curve_origin.y + PLOT_LINE_LENGTH}, GREEN);
    const double ys = amp_scale * unstable_level + curve_origin.y;
    draw_line(Vec2{curve_origin.x, ys}, Vec2{curve_origin.x + PLOT_LINE_LENGTH, ys}, BLACK);

    draw_amplitude_curve(&curve_origin, z_scale, amp_scale, amp_steps, main_curve, &RED);

    for (int i = 0; i < crossing_count; ++i) {
        const Vec2 centre = {z_scale * freq_ratio + curve_origin.x,
                             amp_scale * crossings[i] + curve_origin.y};
        draw_disc(centre, CROSSING_RADIUS, GREEN);
    }
}

}  // namespace

void draw_frame()
{
    begin_frame();
    advance_simulation();
    draw_motion_picture();
    trace_scales[0] = amp_scale;
    trace_scales[1] = amp_scale;
    record_trace_samples();
    draw_trace_panel();
    draw_response_panel();
    settle_drawing_state();
}

void on_display()
{
    draw_frame();
    end_frame();
}
