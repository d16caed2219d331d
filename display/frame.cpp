// Frame composition: what is drawn where, in which order. No depth test, so the order is
// the layering.
#include "display/frame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/state.h"
#include "display/curve_plot.h"
#include "display/phase_plane.h"
#include "display/locking_map.h"
#include "display/picture.h"
#include "display/primitives.h"
#include "display/sweep_layer.h"
#include "dynamics/forcing.h"
#include "dynamics/harmonic_measure.h"
#include "response/balance_roots.h"
#include "response/stability.h"

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


// The optional layers. Their lines leave the width as the traces set it.
constexpr float PANEL_LINE_WIDTH = TRACE_WIDTH;
constexpr float RING_WIDTH = 2.0f;                 // pixels: an open crossing disc's outline
constexpr float BAR_WIDTH = 3.0f;                  // pixels: the measured amplitude's range
constexpr double BAR_OFFSET = 0.02;                // the range's bar, right of the z line
constexpr double BAR_TICK = 0.01;                  // half the width of its end ticks
constexpr double MARKER_ARM = 0.015;               // half the size of the measured marker, an x
constexpr double LEGEND_X = -0.1;                  // legend lines start here, as the labels
constexpr double LEGEND_SAMPLE = 0.08;             // length of a legend's line sample
constexpr double LEGEND_TEXT_X = LEGEND_X + LEGEND_SAMPLE + 0.02;   // where its text starts
constexpr double LEGEND_MID = 0.01;                // from a text's baseline to its capitals' middle
constexpr double LEGEND_STEP = 0.05;               // between legend lines
constexpr double STABILITY_LEGEND_Y = -0.3;        // first line of the stability legend
constexpr double MEASURED_LEGEND_Y = -0.55;        // first line of the measured legend

// The string, its mass and the force arrow, at picture_scale, one frame behind 'y' and 'Y'.
// The string is drawn at the line width the frame before left, the traces' (a frame leaves it
// so); the process's first frame found a new renderer's own.
void draw_motion_picture()
{
    set_line_width(process_frame_count > 1 ? TRACE_WIDTH : INITIAL_LINE_WIDTH);
    draw_oscillator(picture_left, picture_scale, mass_count, state);

    // The arrow follows the phase of the forcing only; F does not enter its length.
    const double f = std::sin(forcing_phase(sim_time)) * ARROW_LENGTH_FACTOR * picture_scale;
    double angle = ARROW_UP;
    double offset = ARROW_TIP_OFFSET;
    if (f < 0.0) {
        angle = -ARROW_UP;
        offset = -ARROW_TIP_OFFSET;
    }
    const double length = std::fabs(f);
    const Vec2 tip = {(picture_right_x - picture_left.x) * 0.5 + picture_left.x,
                      state[0] * picture_scale + picture_left.y - offset};
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
    // For eps < 0 the damping is positive: the stability layer has its unstable part above.
    draw_text(-0.1f, -0.2f, LABEL_FONT,
              stability_shown && epsilon < 0.0 ? "black line : unstable above this line(=1.414)"
                                               : "black line : unstable under this line(=1.414)");
    draw_text(-0.1f, -0.25f, LABEL_FONT, "green line  : given z");

    const double x1 = curve_origin.x + z_scale;
    draw_line(Vec2{x1, curve_origin.y}, Vec2{x1, curve_origin.y + PLOT_LINE_LENGTH}, BLUE);
    const double xz = z_scale * freq_ratio + curve_origin.x;
    draw_line(Vec2{xz, curve_origin.y}, Vec2{xz, curve_origin.y + PLOT_LINE_LENGTH}, GREEN);
    const double ys = amp_scale * unstable_level + curve_origin.y;
    draw_line(Vec2{curve_origin.x, ys}, Vec2{curve_origin.x + PLOT_LINE_LENGTH, ys}, BLACK);

    if (stability_shown)
        draw_classified_curve(&curve_origin, z_scale, amp_scale, amp_steps, main_curve, epsilon);
    else
        draw_amplitude_curve(&curve_origin, z_scale, amp_scale, amp_steps, main_curve, &RED);

    // The plain picture's discs are the crossings with the sampled curve; the stability
    // layer's are the exact responses, those beyond the curve's ends included.
    if (!stability_shown) {
        for (int i = 0; i < crossing_count; ++i)
            draw_disc(Vec2{xz, amp_scale * crossings[i] + curve_origin.y}, CROSSING_RADIUS, GREEN);
        return;
    }
    double r[RESPONSE_ROOT_CAPACITY];
    const int count = response_amplitudes(epsilon, force_amp, freq_ratio, r);
    for (int i = 0; i < count; ++i) {
        const Vec2 centre = {xz, amp_scale * r[i] + curve_origin.y};
        if (classify_response(epsilon, freq_ratio, r[i]) == ResponseClass::stable)
            draw_disc(centre, CROSSING_RADIUS, GREEN);
        else
            draw_ring(centre, CROSSING_RADIUS, RING_WIDTH, WHITE, GREEN);
    }
}

// A legend line: a sample of the style, then its text, at row y.
void draw_legend_line(double y, const CurveStyle& style, const char* text)
{
    double phase = 0.0;
    const double mid = y + LEGEND_MID;
    draw_dashed_line(Vec2{LEGEND_X, mid}, Vec2{LEGEND_X + LEGEND_SAMPLE, mid}, style.dash, &phase,
                     style.colour);
    draw_label(LEGEND_TEXT_X, y, text);
}

// The legend's text for each class; the unstable part lies above the black line where eps < 0.
constexpr struct {
    ResponseClass response;
    const char* text;
} CLASS_LEGEND[] = {
    {ResponseClass::stable, "stable"},
    {ResponseClass::saddle, "saddle (between two folds)"},
    {ResponseClass::unstable, "unstable (under the black line)"},
    {ResponseClass::neutral, "neutral (epsilon = 0)"},
};
static_assert(one_row_per_class(CLASS_LEGEND));
constexpr const char* UNSTABLE_ABOVE_TEXT = "unstable (above the black line)";

// The exact responses above the curve's last sample, "R=6.0241 stable, ...", or "".
std::string responses_above_curve()
{
    double r[RESPONSE_ROOT_CAPACITY];
    const int count = response_amplitudes(epsilon, force_amp, freq_ratio, r);
    std::string list;
    for (int i = 0; i < count; ++i) {
        if (!(r[i] > main_curve[amp_steps].amplitude))
            continue;
        char item[64];
        std::snprintf(item, sizeof item, "%s%.5g %s", list.empty() ? "R=" : ", ", r[i],
                      response_class_name(classify_response(epsilon, freq_ratio, r[i])));
        list += item;
    }
    return list;
}

// Returns the row under its last line.
double draw_stability_legend()
{
    double y = STABILITY_LEGEND_Y;
    for (int c = 0; c < RESPONSE_CLASS_COUNT; ++c) {
        // Neutral responses exist at eps = 0 only.
        if (CLASS_LEGEND[c].response == ResponseClass::neutral && epsilon != 0.0)
            continue;
        const bool above = CLASS_LEGEND[c].response == ResponseClass::unstable && epsilon < 0.0;
        draw_legend_line(y, CLASS_STYLES[c], above ? UNSTABLE_ABOVE_TEXT : CLASS_LEGEND[c].text);
        y = y - LEGEND_STEP;
    }
    // A filled and an open disc over the sample's first and last quarter.
    draw_disc(Vec2{LEGEND_X + 0.25 * LEGEND_SAMPLE, y + LEGEND_MID}, CROSSING_RADIUS, GREEN);
    draw_ring(Vec2{LEGEND_X + 0.75 * LEGEND_SAMPLE, y + LEGEND_MID}, CROSSING_RADIUS, RING_WIDTH,
              WHITE, GREEN);
    set_line_width(PANEL_LINE_WIDTH);
    draw_label(LEGEND_TEXT_X, y, "crossing: filled stable, open not");
    const std::string above = responses_above_curve();
    if (above.empty())
        return y - LEGEND_STEP;
    y = y - LEGEND_STEP;
    draw_label(LEGEND_X, y, ("above the curve: " + above).c_str());
    return y - LEGEND_STEP;
}

// An x of two lines at centre.
void draw_marker(const Vec2& centre)
{
    draw_line(Vec2{centre.x - MARKER_ARM, centre.y - MARKER_ARM},
              Vec2{centre.x + MARKER_ARM, centre.y + MARKER_ARM}, BLACK);
    draw_line(Vec2{centre.x - MARKER_ARM, centre.y + MARKER_ARM},
              Vec2{centre.x + MARKER_ARM, centre.y - MARKER_ARM}, BLACK);
}

// A vertical bar from bottom to top with ticks at both ends.
void draw_bar(double x, double bottom, double top)
{
    set_line_width(BAR_WIDTH);
    draw_line(Vec2{x, bottom}, Vec2{x, top}, BLACK);
    draw_line(Vec2{x - BAR_TICK, bottom}, Vec2{x + BAR_TICK, bottom}, BLACK);
    draw_line(Vec2{x - BAR_TICK, top}, Vec2{x + BAR_TICK, top}, BLACK);
    set_line_width(PANEL_LINE_WIDTH);
}

// The measured first-harmonic amplitude at the given z: an x at the last whole period's, a
// bar over the range of the last MEASURED_PERIODS periods; the legend in any case, from row
// legend_y down.
void draw_measured_layer(double legend_y)
{
    const double x = z_scale * freq_ratio + curve_origin.x;
    double r = 0.0;
    double low = 0.0;
    double high = 0.0;
    if (last_measured_amplitude(&r) && measured_range(&low, &high) > 0 && std::isfinite(low) &&
        std::isfinite(high)) {
        draw_bar(x + BAR_OFFSET, amp_scale * low + curve_origin.y,
                 amp_scale * high + curve_origin.y);
        draw_marker(Vec2{x, amp_scale * r + curve_origin.y});
    }
    const double sample_x = LEGEND_X + 0.5 * LEGEND_SAMPLE;
    draw_marker(Vec2{sample_x, legend_y + LEGEND_MID});
    draw_label(LEGEND_TEXT_X, legend_y, "measured 1st harmonic, last period");
    const double y = legend_y - LEGEND_STEP;
    draw_bar(sample_x, y + LEGEND_MID - MARKER_ARM, y + LEGEND_MID + MARKER_ARM);
    char range[40];
    std::snprintf(range, sizeof range, "its range, last %d periods", MEASURED_PERIODS);
    draw_label(LEGEND_TEXT_X, y, range);
}

}  // namespace

void draw_frame()
{
    begin_frame();
    if (map_shown) {
        draw_locking_map();
        settle_drawing_state();
        return;
    }
    draw_motion_picture();
    draw_trace_panel();
    if (phase_shown)
        draw_phase_plane();
    draw_response_panel();
    // The measured legend keeps its row unless the stability legend has grown into it.
    const double free_row = stability_shown ? draw_stability_legend() : MEASURED_LEGEND_Y;
    const double measured_row = std::min(free_row, MEASURED_LEGEND_Y);
    if (measured_shown)
        draw_measured_layer(measured_row);
    draw_entrainment_layer(measured_row - 2 * LEGEND_STEP);
    settle_drawing_state();
}

void on_display()
{
    draw_frame();
    end_frame();
}
