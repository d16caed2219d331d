// The state line, the sweep's trail and its strip of rotation numbers.
#include "display/sweep_layer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/state.h"
#include "display/picture.h"
#include "display/primitives.h"
#include "response/stability.h"

namespace {

constexpr float PANEL_LINE_WIDTH = TRACE_WIDTH;   // the width every layer leaves
constexpr float MARK_WIDTH = 1.0f;                // pixels: outlines, joins, the strip's box

// The legend column, as the other legends have it.
constexpr double SAMPLE_X = -0.1;                  // a legend line's sample starts here
constexpr double SAMPLE_LENGTH = 0.08;
constexpr double TEXT_X = SAMPLE_X + SAMPLE_LENGTH + 0.02;
constexpr double TEXT_MID = 0.01;                  // from a text's baseline to its capitals' middle
constexpr double ROW_STEP = 0.05;

// The strip: from z = 0 at the characteristic's origin to near the right edge, from the
// room under the legend (at most STRIP_TOP) down to STRIP_BOTTOM; rotation 0 ... STRIP_RHO.
constexpr double STRIP_TOP = -0.79;
constexpr double STRIP_BOTTOM = -0.98;
constexpr double STRIP_RIGHT = 0.99;
constexpr double STRIP_GAP = 0.04;                 // between the last legend row and the strip
constexpr double STRIP_RHO = 1.5;                  // drifting just below the band: rho = omega / z
constexpr double STRIP_LABEL_X = -0.13;
constexpr double DOT_LENGTH = 0.004;               // the levels' dots, and the period they repeat at
constexpr double DOT_PERIOD = 0.012;
constexpr int BAND_CAPACITY = 4;
constexpr Color4 BAND_GREY = {0.85f, 0.85f, 0.85f, 0.0f};
constexpr double STRIP_MARK_SCALE = 0.5;           // of the trail's marks: the steps stay sharp

// The sweep's line while it runs, at the top of the right half.
constexpr float RUNNING_X = 0.02f;
constexpr float RUNNING_Y = 0.95f;

constexpr int CIRCLE_SIDES = 16;

// At the default z scale neighbouring ratios lie a pixel apart: the marks of one way merge
// into a band, filled or hollow, and the smaller light marks of the way down stay visible
// inside the larger dark ones of the way up.
struct TrailStyle {
    Color4 colour;
    bool square;
    double size;   // a circle's radius, half a square's side
};
constexpr TrailStyle UP_STYLE = {BLACK, false, 0.01};
constexpr TrailStyle DOWN_STYLE = {{0.2f, 0.6f, 1.0f, 0.0f}, true, 0.005};

const TrailStyle& style_of(const SweepRecord& r)
{
    return r.up ? UP_STYLE : DOWN_STYLE;
}

// A circle or a square at centre, its size times scale: filled, or its outline alone.
void draw_mark(const Vec2& centre, const TrailStyle& style, bool filled, double scale = 1.0)
{
    double corners[CIRCLE_SIDES][2];
    const int n = style.square ? 4 : CIRCLE_SIDES;
    for (int i = 0; i < n; ++i) {
        const double a = style.square ? (i + 0.5) * PI / 2.0 : i * 2.0 * PI / n;
        const double r = (style.square ? style.size * std::sqrt(2.0) : style.size) * scale;
        corners[i][0] = r * std::cos(a);
        corners[i][1] = r * std::sin(a);
    }
    if (filled) {
        fill_polygon(centre, 0.0, corners, n, style.colour);
        return;
    }
    double ends[2 * CIRCLE_SIDES][2];
    for (int i = 0; i < n; ++i) {
        std::copy(corners[i], corners[i] + 2, ends[2 * i]);
        std::copy(corners[(i + 1) % n], corners[(i + 1) % n] + 2, ends[2 * i + 1]);
    }
    stroke_lines(centre, 0.0, ends, n, MARK_WIDTH, style.colour);
}

// Whether the trail joins two consecutive records: one direction, one locked state or strobe
// period, amplitudes within a jump.
bool joined(const SweepRecord& a, const SweepRecord& b)
{
    const MotionState s = a.measure.state;
    return a.up == b.up && s == b.measure.state &&
           (s == MotionState::locked || s == MotionState::periodic) &&
           a.measure.strobe_period == b.measure.strobe_period &&
           std::fabs(a.harmonic_amplitude - b.harmonic_amplitude) <= TRAIL_JUMP_AMPLITUDE;
}

double ratio_x(double z)
{
    return curve_origin.x + z_scale * z;
}

// The trail on the characteristic: the joins first, then every mark, the way down's last.
void draw_trail()
{
    set_line_width(MARK_WIDTH);
    for (int i = 1; i < sweep_record_count; ++i) {
        const SweepRecord& a = sweep_records[i - 1];
        const SweepRecord& b = sweep_records[i];
        if (joined(a, b))
            draw_line(Vec2{ratio_x(a.z), curve_origin.y + amp_scale * a.harmonic_amplitude},
                      Vec2{ratio_x(b.z), curve_origin.y + amp_scale * b.harmonic_amplitude},
                      style_of(b).colour);
    }
    for (const bool up : {true, false})
        for (int i = 0; i < sweep_record_count; ++i) {
            const SweepRecord& r = sweep_records[i];
            if (r.up == up && std::isfinite(r.harmonic_amplitude))
                draw_mark(Vec2{ratio_x(r.z), curve_origin.y + amp_scale * r.harmonic_amplitude},
                          style_of(r), r.measure.state == MotionState::locked);
        }
}

// A legend row: a join's sample with a filled and an open mark on it, then text.
void draw_trail_legend(double y, const TrailStyle& style, const char* text)
{
    const double mid = y + TEXT_MID;
    set_line_width(MARK_WIDTH);
    draw_line(Vec2{SAMPLE_X, mid}, Vec2{SAMPLE_X + SAMPLE_LENGTH, mid}, style.colour);
    draw_mark(Vec2{SAMPLE_X + 0.25 * SAMPLE_LENGTH, mid}, style, true);
    draw_mark(Vec2{SAMPLE_X + 0.75 * SAMPLE_LENGTH, mid}, style, false);
    draw_label(TEXT_X, y, text);
}

void draw_box(double left, double bottom, double right, double top, const Color4& colour)
{
    const double ends[8][2] = {{left, bottom}, {right, bottom}, {right, bottom}, {right, top},
                               {right, top},   {left, top},     {left, top},     {left, bottom}};
    stroke_lines(Vec2{0.0, 0.0}, 0.0, ends, 4, MARK_WIDTH, colour);
}

// The rotation numbers against z, under the legends: the band where harmonic balance predicts
// a stable 1:1 response shaded, dotted levels at 1 and 1/3, the present z, a mark per record.
void draw_strip(double top)
{
    const double left = curve_origin.x;
    const auto rho_y = [top](double rho) { return STRIP_BOTTOM + (top - STRIP_BOTTOM) * rho / STRIP_RHO; };
    double band[BAND_CAPACITY][2];
    const int count = stable_band(epsilon, force_amp, 0.0, (STRIP_RIGHT - left) / z_scale, band,
                                  BAND_CAPACITY);
    for (int i = 0; i < count; ++i)
        fill_rectangle(ratio_x(band[i][0]), STRIP_BOTTOM,
                       std::min(ratio_x(band[i][1]), STRIP_RIGHT), top, BAND_GREY);
    const struct {
        double rho;
        const char* label;
    } levels[] = {{1.0, "rho 1"}, {1.0 / 3.0, "1/3"}};
    set_line_width(MARK_WIDTH);
    for (const auto& level : levels) {
        const double y = rho_y(level.rho);
        // Each dot from its own index: lengths summed along the line fall short of a period
        // by a rounding now and then, where draw_dashed_line ends the line early.
        for (int k = 0; left + k * DOT_PERIOD < STRIP_RIGHT; ++k)
            draw_line(Vec2{left + k * DOT_PERIOD, y}, Vec2{left + k * DOT_PERIOD + DOT_LENGTH, y}, BLACK);
        draw_label(STRIP_LABEL_X, y - TEXT_MID, level.label);
    }
    const double xz = ratio_x(freq_ratio);
    if (xz >= left && xz <= STRIP_RIGHT)
        draw_line(Vec2{xz, STRIP_BOTTOM}, Vec2{xz, top}, GREEN);
    for (const bool up : {true, false})
        for (int i = 0; i < sweep_record_count; ++i) {
            const SweepRecord& r = sweep_records[i];
            const double x = ratio_x(r.z);
            if (r.up == up && r.measure.rotation >= 0.0 && r.measure.rotation <= STRIP_RHO &&
                x >= left && x <= STRIP_RIGHT)
                draw_mark(Vec2{x, rho_y(r.measure.rotation)}, style_of(r),
                          r.measure.state == MotionState::locked, STRIP_MARK_SCALE);
        }
    draw_box(left, STRIP_BOTTOM, STRIP_RIGHT, top, BLACK);
}

// "locked, rho 1.0000", "period 3, rho 0.3333", "drifting, rho 0.9876, beat 0.0123",
// "settling".
void describe(const EntrainmentMeasure& m, char* text, std::size_t size)
{
    switch (m.state) {
    case MotionState::locked:
        std::snprintf(text, size, "locked, rho %.4f", m.rotation);
        break;
    case MotionState::periodic:
        std::snprintf(text, size, "period %d, rho %.4f", m.strobe_period, m.rotation);
        break;
    case MotionState::drifting:
        std::snprintf(text, size, "drifting, rho %.4f, beat %.4f", m.rotation, m.drift);
        break;
    case MotionState::settling:
        std::snprintf(text, size, "settling");
        break;
    }
}

void draw_state_line(double row)
{
    char state_text[64];
    char line[96];
    double z = NAN;
    describe(named_measure(&z), state_text, sizeof state_text);
    if (std::isnan(z))
        std::snprintf(line, sizeof line, "motion: %s", state_text);
    else
        std::snprintf(line, sizeof line, "motion at z = %.6g: %s", z, state_text);
    draw_label(SAMPLE_X, row, line);
}

void draw_running_line()
{
    const bool up = (sweep_to >= sweep_from) == (sweep_leg != 1);
    char line[96];
    std::snprintf(line, sizeof line, "sweep %s, z = %.6g: 1 frame in %ld drawn",
                  up ? "up" : "down", freq_ratio, SWEEP_DRAW_STRIDE);
    draw_text(RUNNING_X, RUNNING_Y, LABEL_FONT, line);
}

}  // namespace

bool sweep_shown()
{
    return sweep_running || sweep_record_count > 0;
}

const EntrainmentMeasure& named_measure(double* z)
{
    *z = NAN;
    if (!sweep_running || sweep_record_count == 0)
        return motion_measure;
    *z = sweep_records[sweep_record_count - 1].z;
    return sweep_records[sweep_record_count - 1].measure;
}

void draw_entrainment_layer(double row)
{
    if (measured_shown && (motion_measure.state != MotionState::settling || forcing_ratio_changed))
        draw_state_line(row);
    if (!sweep_shown())
        return;
    if (sweep_running)
        draw_running_line();
    draw_trail();
    const double up_row = row - ROW_STEP;
    draw_trail_legend(up_row, UP_STYLE, "sweep up: filled locked, open not");
    draw_trail_legend(up_row - ROW_STEP, DOWN_STYLE, "sweep down; grey: stable 1:1 predicted");
    draw_strip(std::min(STRIP_TOP, up_row - ROW_STEP - STRIP_GAP));
    set_line_width(PANEL_LINE_WIDTH);
}
