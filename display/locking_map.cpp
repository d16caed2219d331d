// The locking map's picture: cells, hatch, the harmonic-balance outline, axes, title, legend.
#include "display/locking_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/state.h"
#include "display/primitives.h"
#include "dynamics/locking_map.h"

namespace {

constexpr float FRAME_WIDTH = 1.0f;          // pixels: the plot's frame and ticks
constexpr double TICK_LENGTH = 0.015;
constexpr double DIGIT_WIDTH = 0.025;        // scene units of a digit at 800 pixels: centring
constexpr int MOST_TICKS = 6;
constexpr double TITLE_Y = 0.92;
constexpr double STATUS_Y = 0.86;
constexpr double Z_LABEL_Y = MAP_PLOT_BOTTOM - 0.065;
constexpr double F_LABEL_X = -0.97;
constexpr double LEGEND_TOP = -0.71;
constexpr double LEGEND_STEP = 0.055;
// Where the legend's columns begin: the first is the widest, for the outline's entry.
constexpr double LEGEND_COLUMNS[] = {-0.95, -0.28, 0.32};
constexpr int LEGEND_ROWS = 5;
constexpr int LEGEND_RATIOS = 2;             // ratios named beside a period's colour
constexpr int RATIO_CAPACITY = 64;           // distinct ratios p:n counted for the legend
constexpr double SWATCH_WIDTH = 0.06;
constexpr double SWATCH_HEIGHT = 0.035;
constexpr double DOT_HALF = 0.006;           // the settling cell's dot: a square, about 5 pixels
constexpr int LINE_BATCH = 256;              // lines handed to the platform at once

// Lines of one width and colour, handed on LINE_BATCH at a time.
struct LineBatch {
    float width;
    Color4 colour;
    int count;
    double ends[2 * LINE_BATCH][2];
};

void flush_lines(LineBatch* b)
{
    if (b->count > 0)
        stroke_lines(Vec2{0.0, 0.0}, 0.0, b->ends, b->count, b->width, b->colour);
    b->count = 0;
}

void add_line(LineBatch* b, double x0, double y0, double x1, double y1)
{
    if (b->count == LINE_BATCH)
        flush_lines(b);
    b->ends[2 * b->count][0] = x0;
    b->ends[2 * b->count][1] = y0;
    b->ends[2 * b->count + 1][0] = x1;
    b->ends[2 * b->count + 1][1] = y1;
    b->count = b->count + 1;
}

// The grid's extent: the first cell's lower edge to the last cell's upper edge.
struct Span {
    double low, high;
};

Span span_of(const MapAxis& a)
{
    const double half = map_cell_half_width(a);
    return {a.from - half, a.to + half};
}

double map_x(double z)
{
    const Span s = span_of(map_held_z);
    return MAP_PLOT_LEFT + (z - s.low) / (s.high - s.low) * (MAP_PLOT_RIGHT - MAP_PLOT_LEFT);
}

double map_y(double force)
{
    const Span s = span_of(map_held_force);
    return MAP_PLOT_BOTTOM + (force - s.low) / (s.high - s.low) * (MAP_PLOT_TOP - MAP_PLOT_BOTTOM);
}

void add_box(LineBatch* b, double x0, double y0, double x1, double y1)
{
    add_line(b, x0, y0, x1, y0);
    add_line(b, x1, y0, x1, y1);
    add_line(b, x1, y1, x0, y1);
    add_line(b, x0, y1, x0, y0);
}

// The locked cells' hatch over [x0, x1] x [y0, y1]: the pieces of the lines
// x - y = k MAP_HATCH_SPACING within it (1:1), or of x + y = k MAP_HATCH_SPACING (p:1, p cycles
// in each forcing period), one pattern over the whole plot so that neighbouring runs continue
// it.
void add_hatch(LineBatch* hatch, double x0, double y0, double x1, double y1, bool rising)
{
    const double sign = rising ? -1.0 : 1.0;   // the lines x + sign y = d
    const double low = x0 + std::min(sign * y0, sign * y1), high = x1 + std::max(sign * y0, sign * y1);
    for (long k = static_cast<long>(std::ceil(low / MAP_HATCH_SPACING));
         k <= static_cast<long>(std::floor(high / MAP_HATCH_SPACING)); ++k) {
        const double d = k * MAP_HATCH_SPACING;
        // x = d - sign y over y in [y0, y1], clipped to [x0, x1].
        const double ya = std::max(y0, std::min((d - x1) * sign, (d - x0) * sign));
        const double yb = std::min(y1, std::max((d - x1) * sign, (d - x0) * sign));
        if (yb > ya)
            add_line(hatch, d - sign * ya, ya, d - sign * yb, yb);
    }
}

// A cell locked with p != 1 cycles in each forcing period (a superharmonic, p:1).
bool several_to_one(const MapCell& c)
{
    return c.map_class == MapClass::locked && c.turns != 1;
}

const MapCell& cell_at(int row, int column)
{
    return map_cells[static_cast<std::size_t>(row) * map_held_z.count + column];
}

bool same_cell(const MapCell& a, const MapCell& b)
{
    return a.map_class == b.map_class && a.period == b.period && a.turns == b.turns;
}

// A finished row: runs of like cells as one rectangle each; the 1:1 runs' hatch into hatch.
void draw_row(int row, LineBatch* hatch)
{
    const int n = map_held_z.count;
    const double half_z = map_cell_half_width(map_held_z);
    const double force = map_axis_value(map_held_force, row);
    const double half_f = map_cell_half_width(map_held_force);
    const double y0 = map_y(force - half_f), y1 = map_y(force + half_f);
    for (int i = 0; i < n;) {
        int j = i + 1;
        while (j < n && same_cell(cell_at(row, j), cell_at(row, i)))
            ++j;
        const double x0 = map_x(map_axis_value(map_held_z, i) - half_z);
        const double x1 = map_x(map_axis_value(map_held_z, j - 1) + half_z);
        fill_rectangle(x0, y0, x1, y1, map_cell_colour(cell_at(row, i)));
        if (cell_at(row, i).map_class == MapClass::locked)
            add_hatch(hatch, x0, y0, x1, y1, !several_to_one(cell_at(row, i)));
        i = j;
    }
}

void draw_dot(double x, double y)
{
    fill_rectangle(x - DOT_HALF, y - DOT_HALF, x + DOT_HALF, y + DOT_HALF, BLACK);
}

void draw_settling_dots(int row)
{
    for (int i = 0; i < map_held_z.count; ++i)
        if (cell_at(row, i).map_class == MapClass::settling)
            draw_dot(map_x(map_axis_value(map_held_z, i)), map_y(map_axis_value(map_held_force, row)));
}

// Row r's stable intervals (none for a row not finished or off the grid); returns how many.
int band_of(int row, const std::array<double, 2>** intervals)
{
    if (row < 0 || row >= map_held_force.count || !map_row_finished(row))
        return 0;
    *intervals = &map_band_edges[static_cast<std::size_t>(row) * MAP_BAND_CAPACITY];
    return map_band_counts[static_cast<std::size_t>(row)];
}

bool inside_band(const std::array<double, 2>* intervals, int n, double z)
{
    for (int i = 0; i < n; ++i)
        if (z > intervals[i][0] && z < intervals[i][1])
            return true;
    return false;
}

// Where in z exactly one of two rows' stable intervals lies: the outline's horizontal pieces
// between them, at y.
void add_band_steps(LineBatch* outline, int below, int above, double y)
{
    const std::array<double, 2>* a = nullptr;
    const std::array<double, 2>* b = nullptr;
    const int na = band_of(below, &a), nb = band_of(above, &b);
    double cuts[4 * MAP_BAND_CAPACITY];
    int n = 0;
    for (int i = 0; i < na; ++i)
        cuts[n++] = a[i][0], cuts[n++] = a[i][1];
    for (int i = 0; i < nb; ++i)
        cuts[n++] = b[i][0], cuts[n++] = b[i][1];
    std::sort(cuts, cuts + n);
    for (int i = 0; i + 1 < n; ++i) {
        const double mid = 0.5 * (cuts[i] + cuts[i + 1]);
        if (cuts[i + 1] > cuts[i] && inside_band(a, na, mid) != inside_band(b, nb, mid))
            add_line(outline, map_x(cuts[i]), y, map_x(cuts[i + 1]), y);
    }
}

// The band where harmonic balance predicts a stable 1:1 response, row by row: each interval's
// ends across its row, and the steps between rows.
void draw_band_outline()
{
    static LineBatch outline;
    outline = {MAP_OUTLINE_WIDTH, MAP_OUTLINE_COLOUR, 0, {}};
    const double half_f = map_cell_half_width(map_held_force);
    for (int row = 0; row <= map_held_force.count; ++row) {
        const double edge = map_y(map_axis_value(map_held_force, std::min(row, map_held_force.count - 1)) +
                                  (row < map_held_force.count ? -half_f : half_f));
        add_band_steps(&outline, row - 1, row, edge);
        const std::array<double, 2>* intervals = nullptr;
        const int n = band_of(row, &intervals);
        for (int i = 0; i < n; ++i)
            for (const double z : intervals[i])
                add_line(&outline, map_x(z), edge, map_x(z), edge + 2.0 * (map_y(half_f) - map_y(0.0)));
    }
    flush_lines(&outline);
}

// The step between ticks: 1, 2 or 5 times a power of ten, at most MOST_TICKS over the span.
double tick_step(double low, double high)
{
    const double raw = (high - low) / MOST_TICKS;
    if (!(raw > 0.0))
        return 0.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0})
        if (m * power >= raw)
            return m * power;
    return 10.0 * power;
}

// Ticks and labels of one axis: z along the bottom, F up the left side.
void draw_axis(LineBatch* frame, bool z_axis)
{
    const MapAxis& a = z_axis ? map_held_z : map_held_force;
    const Span s = span_of(a);
    const double step = tick_step(s.low, s.high);
    const double first = step > 0.0 ? std::ceil(s.low / step - 1e-9) * step : a.from;
    for (double v = first; v <= s.high + 1e-9 * step; v += step) {
        char label[32];
        std::snprintf(label, sizeof label, "%g", std::fabs(v) <= 1e-9 * step ? 0.0 : v);
        if (z_axis) {
            const double x = map_x(v);
            add_line(frame, x, MAP_PLOT_BOTTOM, x, MAP_PLOT_BOTTOM - TICK_LENGTH);
            const double left = x - 0.5 * DIGIT_WIDTH * static_cast<double>(std::strlen(label));
            draw_label(std::clamp(left, -0.99, 0.9), Z_LABEL_Y, label);
        } else {
            const double y = map_y(v);
            add_line(frame, MAP_PLOT_LEFT, y, MAP_PLOT_LEFT - TICK_LENGTH, y);
            draw_label(F_LABEL_X, y - 0.012, label);
        }
        if (!(step > 0.0))
            break;   // one value: its own tick
    }
}

void draw_axes()
{
    static LineBatch frame;
    frame = {FRAME_WIDTH, BLACK, 0, {}};
    add_box(&frame, MAP_PLOT_LEFT, MAP_PLOT_BOTTOM, MAP_PLOT_RIGHT, MAP_PLOT_TOP);
    draw_axis(&frame, true);
    draw_axis(&frame, false);
    flush_lines(&frame);
    draw_label(0.5 * (MAP_PLOT_LEFT + MAP_PLOT_RIGHT) - 0.3, Z_LABEL_Y - 0.06,
                 "z: forcing frequency ratio");
    draw_label(F_LABEL_X, MAP_PLOT_TOP + 0.02, "F");
}

void draw_titles()
{
    char line[160];
    std::snprintf(line, sizeof line, "Locking map   eps = %.6g   start (y0, v0) = (%.6g, %.6g)",
                  map_run.eps, map_run.y0, map_run.v0);
    draw_label(-0.95, TITLE_Y, line);
    if (map_finished())
        std::snprintf(line, sizeof line, "Click a cell to run its z and F.   F8: back to the picture");
    else
        std::snprintf(line, sizeof line, "computing: %d of %d rows done ...",
                      map_rows_done.load(std::memory_order_acquire), map_held_force.count);
    draw_label(-0.95, STATUS_Y, line);
}

// A legend entry: a swatch of the cell's colour (hatched or dotted as the picture has it), or
// of the outline, and its text, in slot `slot` (column by column).
void draw_legend_entry(int slot, const MapCell* cell, const char* text)
{
    static LineBatch lines;
    const std::size_t column = std::min<std::size_t>(slot / LEGEND_ROWS, std::size(LEGEND_COLUMNS) - 1);
    const double x = LEGEND_COLUMNS[column];
    const double y = LEGEND_TOP - (slot % LEGEND_ROWS) * LEGEND_STEP;
    const double x1 = x + SWATCH_WIDTH, y1 = y + SWATCH_HEIGHT;
    if (cell == nullptr) {
        lines = {MAP_OUTLINE_WIDTH, MAP_OUTLINE_COLOUR, 0, {}};
        add_box(&lines, x, y, x1, y1);
    } else {
        fill_rectangle(x, y, x1, y1, map_cell_colour(*cell));
        lines = {1.0f, MAP_HATCH_COLOUR, 0, {}};
        if (cell->map_class == MapClass::locked)
            add_hatch(&lines, x, y, x1, y1, !several_to_one(*cell));
        flush_lines(&lines);
        if (cell->map_class == MapClass::settling)
            draw_dot(0.5 * (x + x1), 0.5 * (y + y1));
        lines = {FRAME_WIDTH, BLACK, 0, {}};
        add_box(&lines, x, y, x1, y1);
    }
    flush_lines(&lines);
    draw_label(x1 + 0.02, y + 0.005, text);
}

// A ratio p:n of the periodic cells and how many cells have it.
struct RatioCount {
    int turns, period;
    long cells;
};

// The legend: 1:1, the outline, drifting, settling, rest where present, then the p:1 locked
// cells and each other period the finished rows hold, with its commonest ratios p:n (p cycles
// of the motion in n forcing periods).
void draw_legend()
{
    static RatioCount ratios[RATIO_CAPACITY];
    int kinds = 0;
    bool rest = false;
    for (int row = 0; row < map_held_force.count; ++row) {
        for (int i = 0; i < map_held_z.count && map_row_finished(row); ++i) {
            const MapCell& c = cell_at(row, i);
            rest = rest || c.map_class == MapClass::rest;
            if (c.map_class != MapClass::periodic && !several_to_one(c))
                continue;
            int k = 0;
            while (k < kinds && !(ratios[k].turns == c.turns && ratios[k].period == c.period))
                ++k;
            if (k == kinds && kinds < RATIO_CAPACITY)
                ratios[kinds++] = {c.turns, c.period, 0};
            if (k < kinds)
                ++ratios[k].cells;
        }
    }
    int slot = 0;
    MapCell sample = {MapClass::locked, 1, 1};
    draw_legend_entry(slot++, &sample, "1:1 locked");
    draw_legend_entry(slot++, nullptr, "harmonic balance: stable 1:1");
    sample = {MapClass::drifting, 0, 0};
    draw_legend_entry(slot++, &sample, "drifting");
    sample = {MapClass::settling, 0, 0};
    draw_legend_entry(slot++, &sample, "settling: not decided");
    if (rest) {
        sample = {MapClass::rest, 0, 0};
        draw_legend_entry(slot++, &sample, "rest");
    }
    for (int p = 1; p <= MAP_PERIOD_COLOURS + 1; ++p) {
        // This colour's (or hatch's) ratios, the commonest first.
        char text[96];
        const char* name = p == 1 ? "locked" : p <= MAP_PERIOD_COLOURS ? "period %d:" : "period %d+:";
        int length = std::snprintf(text, sizeof text, name, p);
        int named = 0;
        for (;; ++named) {
            int best = -1;
            for (int k = 0; k < kinds; ++k)
                if (std::min<int>(ratios[k].period, MAP_PERIOD_COLOURS + 1) == p && ratios[k].cells > 0 &&
                    (best < 0 || ratios[k].cells > ratios[best].cells))
                    best = k;
            if (best < 0)
                break;
            if (named == LEGEND_RATIOS) {
                length += std::snprintf(text + length, sizeof text - length, ", ...");
                break;
            }
            length += std::snprintf(text + length, sizeof text - length, "%s%d:%d", named > 0 ? ", " : " ",
                                    ratios[best].turns, ratios[best].period);
            ratios[best].cells = -ratios[best].cells;   // named: left out of the next search
        }
        if (named == 0)
            continue;
        sample = {p == 1 ? MapClass::locked : MapClass::periodic, static_cast<unsigned char>(p), 2};
        draw_legend_entry(slot++, &sample, text);
    }
}

}  // namespace

Color4 map_cell_colour(const MapCell& cell)
{
    switch (cell.map_class) {
    case MapClass::locked: return MAP_LOCKED_COLOUR;
    case MapClass::periodic:
        return MAP_PERIOD_COLOUR[std::clamp(static_cast<int>(cell.period), 2, MAP_PERIOD_COLOURS + 1) -
                                 2];
    case MapClass::drifting: return MAP_DRIFTING_COLOUR;
    case MapClass::settling: return MAP_SETTLING_COLOUR;
    case MapClass::rest: return MAP_REST_COLOUR;
    case MapClass::pending: break;
    }
    return WHITE;
}

bool map_cell_at(double x, double y, long* index)
{
    if (map_cells.empty() || !(x >= MAP_PLOT_LEFT && x < MAP_PLOT_RIGHT && y >= MAP_PLOT_BOTTOM &&
                               y < MAP_PLOT_TOP))
        return false;
    const int column = static_cast<int>((x - MAP_PLOT_LEFT) / (MAP_PLOT_RIGHT - MAP_PLOT_LEFT) *
                                        map_held_z.count);
    const int row = static_cast<int>((y - MAP_PLOT_BOTTOM) / (MAP_PLOT_TOP - MAP_PLOT_BOTTOM) *
                                     map_held_force.count);
    if (column < 0 || column >= map_held_z.count || row < 0 || row >= map_held_force.count)
        return false;
    *index = static_cast<long>(row) * map_held_z.count + column;
    return true;
}

void draw_locking_map()
{
    draw_titles();
    if (map_cells.empty())
        return;
    static LineBatch hatch;
    hatch = {1.0f, MAP_HATCH_COLOUR, 0, {}};
    for (int row = 0; row < map_held_force.count; ++row)
        if (map_row_finished(row))
            draw_row(row, &hatch);
    flush_lines(&hatch);
    for (int row = 0; row < map_held_force.count; ++row)
        if (map_row_finished(row))
            draw_settling_dots(row);
    draw_band_outline();
    draw_axes();
    draw_legend();
}
