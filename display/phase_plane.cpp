// The phase plane in the left half of the window.
#include "display/phase_plane.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <span>

#include "core/state.h"
#include "display/curve_plot.h"
#include "display/picture.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/phase_record.h"
#include "response/balance_roots.h"
#include "response/stability.h"

namespace {

// The box the plane's shapes keep to: the axes' reach, a little beyond the extent.
constexpr double BOX_MARGIN = 0.03;
constexpr Vec2 BOX_LOW = {PHASE_ORIGIN_X - PHASE_HALF_WIDTH - BOX_MARGIN,
                          -PHASE_HALF_HEIGHT - BOX_MARGIN};
constexpr Vec2 BOX_HIGH = {PHASE_ORIGIN_X + PHASE_HALF_WIDTH + BOX_MARGIN,
                           PHASE_HALF_HEIGHT + BOX_MARGIN};
constexpr float AXIS_WIDTH = 1.0f;           // pixels
constexpr float ORBIT_WIDTH = 6.0f;          // pixels: F9's orbit, a band the trail runs in
constexpr double TICK = 0.015;               // half a tick's length
constexpr double DIGIT_WIDTH = 0.024;         // about one digit of the labels' font
constexpr double TEXT_MID = 0.012;           // from a baseline to the digits' middle
constexpr double STROBE_HALF = 0.007;        // half a stroboscopic point's square
constexpr double STATE_RADIUS = 0.014;       // the state now
constexpr double MARK_RADIUS = 0.014;        // a ring where an orbit stands at the whole turns
constexpr float MARK_WIDTH = 2.0f;
constexpr int ELLIPSE_SEGMENTS = 128;
constexpr double TITLE_Y = 0.93;
constexpr double LEGEND_X = -0.95;           // a legend line's sample starts here
constexpr double LEGEND_SAMPLE = 0.08;
constexpr double LEGEND_TEXT_X = LEGEND_X + LEGEND_SAMPLE + 0.02;
constexpr double LEGEND_TOP = -0.76;         // the first legend line's baseline
constexpr double LEGEND_STEP = 0.05;

bool inside_box(const Vec2& p)
{
    return p.x >= BOX_LOW.x && p.x <= BOX_HIGH.x && p.y >= BOX_LOW.y && p.y <= BOX_HIGH.y;
}

// The part of p ... q inside the box, drawn solid or dashed (*phase as draw_dashed_line keeps
// it, advanced by the whole length where nothing of the line is inside).
void draw_in_box(const Vec2& p, const Vec2& q, const DashPattern& dash, double* phase,
                 const Color4& colour)
{
    double t0 = 0.0;
    double t1 = 0.0;
    const bool finite = std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(q.x) &&
                        std::isfinite(q.y);
    if (!finite)
        return;
    if (!clip_to_box(p, q, BOX_LOW, BOX_HIGH, &t0, &t1)) {
        if (dash.on > 0.0)
            *phase = std::fmod(*phase + std::hypot(q.x - p.x, q.y - p.y), dash.on + dash.off);
        return;
    }
    const Vec2 a = {p.x + (q.x - p.x) * t0, p.y + (q.y - p.y) * t0};
    const Vec2 b = {p.x + (q.x - p.x) * t1, p.y + (q.y - p.y) * t1};
    draw_dashed_line(a, b, dash, phase, colour);
}

void draw_line_in_box(const Vec2& p, const Vec2& q, const Color4& colour)
{
    double phase = 0.0;
    draw_in_box(p, q, DashPattern{0.0, 0.0}, &phase, colour);
}

// colour faded towards the white background: share 1 is the colour itself.
Color4 faded(const Color4& colour, double share)
{
    const auto towards = [share](float c) { return static_cast<float>(1.0 - share * (1.0 - c)); };
    return {towards(colour.r), towards(colour.g), towards(colour.b), colour.a};
}

constexpr double TICK_SHARES[] = {-1.0, -0.5, 0.5, 1.0};   // of the extent

// The axes through the origin, with ticks at half the extent and at the extent.
void draw_axes()
{
    set_line_width(AXIS_WIDTH);
    draw_line(Vec2{BOX_LOW.x, 0.0}, Vec2{BOX_HIGH.x, 0.0}, BLACK);
    draw_line(Vec2{PHASE_ORIGIN_X, BOX_LOW.y}, Vec2{PHASE_ORIGIN_X, BOX_HIGH.y}, BLACK);
    for (const double share : TICK_SHARES) {
        const double x = PHASE_ORIGIN_X + share * PHASE_HALF_WIDTH;
        const double y = share * PHASE_HALF_HEIGHT;
        draw_line(Vec2{x, -TICK}, Vec2{x, TICK}, BLACK);
        draw_line(Vec2{PHASE_ORIGIN_X - TICK, y}, Vec2{PHASE_ORIGIN_X + TICK, y}, BLACK);
    }
}

// The ticks' values and the axes' names, over everything else.
void draw_axis_labels()
{
    for (const double share : TICK_SHARES) {
        const double x = PHASE_ORIGIN_X + share * PHASE_HALF_WIDTH;
        const double y = share * PHASE_HALF_HEIGHT;
        char value[32];
        const int n = std::snprintf(value, sizeof value, "%g", share * phase_extent[0]);
        draw_label(x - 0.5 * n * DIGIT_WIDTH, -TICK - 2.5 * TEXT_MID, value);
        const int m = std::snprintf(value, sizeof value, "%g", share * phase_extent[1]);
        draw_label(PHASE_ORIGIN_X - TICK - 0.01 - m * DIGIT_WIDTH, y - TEXT_MID, value);
    }
    draw_label(BOX_HIGH.x + 0.005, -TEXT_MID, "y");
    draw_label(PHASE_ORIGIN_X + TICK + 0.01, BOX_HIGH.y - 2.0 * TEXT_MID, "v");
}

// Harmonic balance's orbits at z: y = R cos(z t - phi), v = -z R sin(z t - phi), an ellipse of
// semi-axes R and z R, in the stability layer's style of its class, with a ring where it
// stands at the forcing's whole turns, (R cos(phi), z R sin(phi)).
void draw_predicted_orbits()
{
    double r[RESPONSE_ROOT_CAPACITY];
    const int count = response_amplitudes(epsilon, force_amp, freq_ratio, r);
    set_line_width(TRACE_WIDTH);
    for (int i = 0; i < count; ++i) {
        if (!(r[i] > 0.0))
            continue;
        const CurveStyle& style =
            CLASS_STYLES[static_cast<int>(classify_response(epsilon, freq_ratio, r[i]))];
        double phase = 0.0;
        Vec2 from = phase_to_scene(r[i], 0.0);
        for (int k = 1; k <= ELLIPSE_SEGMENTS; ++k) {
            const double a = 2.0 * std::numbers::pi * k / ELLIPSE_SEGMENTS;
            const Vec2 to = phase_to_scene(r[i] * std::cos(a), freq_ratio * r[i] * std::sin(a));
            draw_in_box(from, to, style.dash, &phase, style.colour);
            from = to;
        }
        const double phi = response_phase(epsilon, force_amp, freq_ratio, r[i]);
        const Vec2 mark = phase_to_scene(r[i] * std::cos(phi), freq_ratio * r[i] * std::sin(phi));
        if (inside_box(mark))
            draw_ring(mark, MARK_RADIUS, MARK_WIDTH, WHITE, style.colour);
    }
}

// F9's orbit, where it was found for the values now in force.
bool orbit_drawn()
{
    return orbit_shown && orbit_sought && found_orbit.found && found_orbit_for[0] == epsilon &&
           found_orbit_for[1] == force_amp && found_orbit_for[2] == freq_ratio;
}

void draw_found_orbit()
{
    if (!orbit_drawn())
        return;
    set_line_width(ORBIT_WIDTH);
    for (int k = 0; k < ORBIT_SAMPLES; ++k) {
        const double* p = found_orbit.samples[k];
        const double* q = found_orbit.samples[(k + 1) % ORBIT_SAMPLES];
        draw_line_in_box(phase_to_scene(p[0], p[1]), phase_to_scene(q[0], q[1]), ORBIT_COLOUR);
    }
    const Vec2 mark = phase_to_scene(found_orbit.start[0], found_orbit.start[1]);
    if (inside_box(mark))
        draw_ring(mark, MARK_RADIUS, MARK_WIDTH, WHITE, ORBIT_COLOUR);
}

// The trail of one motion (second: the second start's), its latest samples in bands from faint
// to full colour.
void draw_trail(std::span<const PhaseSample> trail, bool second, const Color4& colour)
{
    set_line_width(TRACE_WIDTH);
    const std::size_t n = trail.size();
    for (std::size_t i = 1; i < n; ++i) {
        const double* a = second ? trail[i - 1].second : trail[i - 1].s;
        const double* b = second ? trail[i].second : trail[i].s;
        const int band = static_cast<int>((i - 1) * PHASE_TRAIL_BANDS / (n - 1));
        draw_line_in_box(phase_to_scene(a[0], a[1]), phase_to_scene(b[0], b[1]),
                         faded(colour, (band + 1.0) / PHASE_TRAIL_BANDS));
    }
}

// A stroboscopic point's square, centred at `at`.
void fill_strobe_square(const Vec2& at, const Color4& colour)
{
    constexpr double h = STROBE_HALF;
    constexpr double square[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
    fill_polygon(at, 0.0, square, 4, colour);
}

void draw_strobe_squares(std::span<const StrobePoint> points, const Color4& colour)
{
    for (const StrobePoint& p : points) {
        const Vec2 at = phase_to_scene(p.y, p.v);
        if (inside_box(at))
            fill_strobe_square(at, colour);
    }
}

void draw_state(const double s[2], const Color4& colour)
{
    const Vec2 at = phase_to_scene(s[0], s[1]);
    if (inside_box(at))
        draw_disc(at, STATE_RADIUS, colour);
}

// The trail's samples over PHASE_TRAIL_PERIODS forcing periods; the whole trail without a
// forcing period.
long trail_samples()
{
    const double periods = PHASE_TRAIL_PERIODS * 2.0 * std::numbers::pi / std::fabs(freq_ratio);
    const double steps = std::ceil(periods / time_step) + 1.0;
    return std::isfinite(steps) && steps < PHASE_TRAIL_CAPACITY ? static_cast<long>(steps)
                                                                : PHASE_TRAIL_CAPACITY;
}

// A legend line at row y: its sample drawn by sample(x0, x1, mid), then its text.
template <typename Sample>
double draw_legend_line(double y, const char* text, Sample sample)
{
    sample(LEGEND_X, LEGEND_X + LEGEND_SAMPLE, y + TEXT_MID);
    draw_label(LEGEND_TEXT_X, y, text);
    return y - LEGEND_STEP;
}

void draw_legend()
{
    draw_label(LEGEND_X, TITLE_Y, "phase plane: y across, v = dy/dt up");
    double y = LEGEND_TOP;
    char trail[48];
    std::snprintf(trail, sizeof trail, "the motion, last %d periods", PHASE_TRAIL_PERIODS);
    y = draw_legend_line(y, trail, [](double x0, double x1, double mid) {
        set_line_width(TRACE_WIDTH);
        for (int b = 0; b < PHASE_TRAIL_BANDS; ++b)
            draw_line(Vec2{x0 + (x1 - x0) * b / PHASE_TRAIL_BANDS, mid},
                      Vec2{x0 + (x1 - x0) * (b + 1) / PHASE_TRAIL_BANDS, mid},
                      faded(TRAIL_COLOUR, (b + 1.0) / PHASE_TRAIL_BANDS));
    });
    y = draw_legend_line(y, "its points at t = 2 pi k / z", [](double x0, double x1, double mid) {
        fill_strobe_square(Vec2{0.5 * (x0 + x1), mid}, STROBE_COLOUR);
    });
    y = draw_legend_line(y, "harmonic balance, F3's styles", [](double x0, double x1, double mid) {
        set_line_width(TRACE_WIDTH);
        const Color4& red = CLASS_STYLES[0].colour;
        draw_line(Vec2{x0, mid}, Vec2{x1, mid}, red);
        draw_ring(Vec2{0.5 * (x0 + x1), mid}, MARK_RADIUS, MARK_WIDTH, WHITE, red);
    });
    if (orbit_shown && orbit_sought) {
        const char* orbit = found_orbit.found ? "periodic orbit (F9)" : "periodic orbit: not found";
        y = draw_legend_line(y, orbit, [](double x0, double x1, double mid) {
            set_line_width(ORBIT_WIDTH);
            draw_line(Vec2{x0, mid}, Vec2{x1, mid}, ORBIT_COLOUR);
        });
    }
    if (second_start_given) {
        char second[64];
        std::snprintf(second, sizeof second, "second start (%.4g, %.4g)", second_init[0],
                      second_init[1]);
        draw_legend_line(y, second, [](double x0, double x1, double mid) {
            set_line_width(TRACE_WIDTH);
            draw_line(Vec2{x0, mid}, Vec2{x1, mid}, SECOND_COLOUR);
        });
    }
}

}  // namespace

Vec2 phase_to_scene(double y, double v)
{
    return {PHASE_ORIGIN_X + y / phase_extent[0] * PHASE_HALF_WIDTH,
            v / phase_extent[1] * PHASE_HALF_HEIGHT};
}

void draw_phase_plane()
{
    fill_rectangle(-1.0, -1.0, 0.0, 1.0, WHITE);
    draw_axes();
    draw_predicted_orbits();
    draw_found_orbit();
    const std::span<const PhaseSample> trail = recent_phase_trail(trail_samples());
    draw_trail(trail, false, TRAIL_COLOUR);
    if (second_start_given)
        draw_trail(trail, true, SECOND_COLOUR);
    draw_strobe_squares(recent_strobe_points(PHASE_STROBE_SHOWN), STROBE_COLOUR);
    if (second_start_given)
        draw_strobe_squares(recent_second_points(PHASE_STROBE_SHOWN), SECOND_STROBE_COLOUR);
    draw_state(state, TRAIL_COLOUR);
    if (second_start_given)
        draw_state(second_state, SECOND_COLOUR);
    draw_axis_labels();
    draw_legend();
    set_line_width(TRACE_WIDTH);
}
