// The locking map's grid, its job and its CSV rows.
#include "app/locking_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <chrono>
#include <thread>

#include "app/console.h"
#include "app/export.h"
#include "core/state.h"
#include "dynamics/harmonic_measure.h"
#include "response/stability.h"

namespace {

constexpr long OPEN_BAND = 1;   // a row's count holds one more while its band is computed

bool streaming()
{
    return !map_stream.empty();
}

bool same_axis(const MapAxis& a, const MapAxis& b)
{
    return a.from == b.from && a.to == b.to && a.count == b.count;
}

int columns()
{
    return map_held_z.count;
}

// The compact cell the picture keeps.
MapCell compact(const MapVerdict& v)
{
    MapCell cell = {v.map_class, 0, 0};
    if (v.map_class == MapClass::periodic || v.map_class == MapClass::locked) {
        const int n = v.measure.strobe_period;
        cell.period = static_cast<unsigned char>(std::clamp(n, 0, 255));
        const double turns = std::round(v.measure.rotation * n);
        cell.turns = std::isfinite(turns) ? static_cast<unsigned char>(std::clamp(turns, 0.0, 255.0))
                                          : 0;
    }
    return cell;
}

// Row r's stable band, from stable_band over the grid's span of z.
void compute_band(int row)
{
    const double half = map_cell_half_width(map_held_z);
    double edges[MAP_BAND_CAPACITY][2];
    const double z_lo = std::max(0.0, map_held_z.from - half);
    const int n = stable_band(map_run.eps, map_axis_value(map_held_force, row), z_lo,
                              map_held_z.to + half, edges, MAP_BAND_CAPACITY);
    map_band_counts[static_cast<std::size_t>(row)] = n;
    for (int i = 0; i < n; ++i)
        map_band_edges[static_cast<std::size_t>(row) * MAP_BAND_CAPACITY + i] = {edges[i][0],
                                                                                  edges[i][1]};
}

void append_number(std::string* out, double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", v);
    *out += text;
}

void append_map_row(std::string* out, long index, const MapVerdict& v)
{
    const double z = map_cell_z(index), force = map_cell_force(index);
    append_number(out, map_run.eps);
    *out += ',';
    append_number(out, force);
    *out += ',';
    append_number(out, z);
    *out += ',';
    // The cell's class, which an unforced motion's measures do not give alone.
    switch (v.map_class) {
    case MapClass::rest: *out += "rest"; break;
    case MapClass::locked: append_state_word(out, MotionState::locked, 1); break;
    case MapClass::periodic:
        append_state_word(out, MotionState::periodic, v.measure.strobe_period);
        break;
    case MapClass::drifting: append_state_word(out, MotionState::drifting, 0); break;
    case MapClass::pending:
    case MapClass::settling: append_state_word(out, MotionState::settling, 0); break;
    }
    append_measure_columns(out, v.measure);
    *out += ',';
    if (!std::isnan(v.harmonic_amplitude))
        append_number(out, v.harmonic_amplitude);
    *out += ',';
    if (has_stable_response(map_run.eps, force, z))
        *out += "stable";
    *out += '\n';
}

}  // namespace

bool read_map_axis(const char* text, bool z, MapAxis* axis)
{
    const char* first = std::strchr(text, ':');
    const char* second = first != nullptr ? std::strchr(first + 1, ':') : nullptr;
    if (second == nullptr)
        return false;
    MapAxis a = {0.0, 0.0, 0};
    long count = 0;
    if (!console_parse_number(std::string(text, first).c_str(), &a.from) ||
        !console_parse_number(std::string(first + 1, second).c_str(), &a.to) ||
        !read_whole(second + 1, 1, MAP_MOST_CELLS, &count))
        return false;
    a.count = static_cast<int>(count);
    if (!(a.from <= a.to) || (a.count == 1 && a.from != a.to))
        return false;
    if (z && !(a.from > 0.0 && a.to <= MAP_MOST_RATIO))
        return false;
    *axis = a;
    return true;
}

bool read_map_periods(const char* text, long* periods)
{
    return read_whole(text, 1, MAP_MOST_PERIODS, periods);
}

bool map_value_readable(const char* option_name, const char* text)
{
    MapAxis axis;
    long periods = 0;
    if (std::strcmp(option_name, "map-z") == 0 || std::strcmp(option_name, "map-force") == 0)
        return read_map_axis(text, std::strcmp(option_name, "map-z") == 0, &axis);
    return read_map_periods(text, &periods);
}

std::string map_grid_problem(const Options& options)
{
    MapAxis z = map_z_axis, force = map_force_axis;
    if (!options.map_z.empty())
        read_map_axis(options.map_z.c_str(), true, &z);
    if (!options.map_force.empty())
        read_map_axis(options.map_force.c_str(), false, &force);
    if (static_cast<long>(z.count) * force.count <= MAP_MOST_CELLS)
        return {};
    const auto named = [](const std::string& given, const MapAxis& axis) {
        char text[96];
        std::snprintf(text, sizeof text, "%.17g:%.17g:%d", axis.from, axis.to, axis.count);
        return given.empty() ? std::string(text) + " (the default)" : "'" + given + "'";
    };
    return "--map-z " + named(options.map_z, z) + " and --map-force " +
           named(options.map_force, force) + " make " +
           std::to_string(static_cast<long>(z.count) * force.count) + " cells, more than " +
           std::to_string(MAP_MOST_CELLS);
}

void apply_map_options(const Options& options)
{
    if (!options.map_z.empty())
        read_map_axis(options.map_z.c_str(), true, &map_z_axis);
    if (!options.map_force.empty())
        read_map_axis(options.map_force.c_str(), false, &map_force_axis);
    if (!options.map_transient.empty())
        read_map_periods(options.map_transient.c_str(), &map_transient);
    if (!options.map_window.empty())
        read_map_periods(options.map_window.c_str(), &map_window);
    if (!options.map_periods.empty())
        read_map_periods(options.map_periods.c_str(), &map_periods);
}

void hold_map_options(Options* options)
{
    const auto axis = [](const MapAxis& a, const MapAxis& plain) {
        if (same_axis(a, plain))
            return std::string();
        return shortest_digits(a.from) + ":" + shortest_digits(a.to) + ":" + std::to_string(a.count);
    };
    const auto periods = [](long value, long plain) {
        return value == plain ? std::string() : std::to_string(value);
    };
    options->map_z = axis(map_z_axis, MAP_DEFAULT_Z);
    options->map_force = axis(map_force_axis, MAP_DEFAULT_FORCE);
    options->map_transient = periods(map_transient, MAP_DEFAULT_TRANSIENT);
    options->map_window = periods(map_window, MAP_DEFAULT_WINDOW);
    options->map_periods = periods(map_periods, MAP_DEFAULT_PERIODS);
}

MapRun current_map_run()
{
    return {epsilon, y_init, v_init, map_transient, map_window, map_periods};
}

bool map_held_is_current()
{
    const MapRun run = current_map_run();
    return map_row_left != nullptr && !map_stopped && run.eps == map_run.eps &&
           run.y0 == map_run.y0 && run.v0 == map_run.v0 && run.transient == map_run.transient &&
           run.window == map_run.window && run.periods == map_run.periods &&
           same_axis(map_z_axis, map_held_z) && same_axis(map_force_axis, map_held_force);
}

void begin_map_job(const MapRun& run, bool keep_cells, bool stream)
{
    map_job = map_job + 1;
    map_run = run;
    map_held_z = map_z_axis;
    map_held_force = map_force_axis;
    const int rows = map_held_force.count;
    const long total = map_cell_total();
    map_cells.assign(keep_cells ? static_cast<std::size_t>(total) : 0, MapCell{});
    map_band_counts.assign(keep_cells ? static_cast<std::size_t>(rows) : 0, 0);
    map_band_edges.assign(map_band_counts.size() * MAP_BAND_CAPACITY, {0.0, 0.0});
    map_row_left = std::make_unique<std::atomic<int>[]>(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        map_row_left[static_cast<std::size_t>(r)].store(columns() + OPEN_BAND);
    const std::size_t held =
        stream ? static_cast<std::size_t>(std::min(total, MAP_STREAM_CAPACITY)) : 0;
    map_stream.assign(held, MapVerdict{});
    map_stream_ready = std::make_unique<std::atomic<bool>[]>(held);
    map_rows_done.store(0);
    map_next_cell.store(0);
    map_streamed.store(0);
    map_stopped.store(false);
}

void stop_map_job()
{
    // Only marked: threads may still be storing. The next job frees what this one held.
    if (map_row_left == nullptr || map_finished())
        return;
    map_stopped.store(true);
    map_shown = false;
}

long map_cell_total()
{
    return static_cast<long>(map_held_z.count) * map_held_force.count;
}

double map_cell_z(long index)
{
    return map_axis_value(map_held_z, static_cast<int>(index % columns()));
}

double map_cell_force(long index)
{
    return map_axis_value(map_held_force, static_cast<int>(index / columns()));
}

bool claim_map_cell(long* index)
{
    long i = map_next_cell.load();
    do {
        if (map_stopped.load() || i >= map_cell_total() ||
            (streaming() && i >= map_streamed.load(std::memory_order_acquire) + MAP_STREAM_CAPACITY))
            return false;
    } while (!map_next_cell.compare_exchange_weak(i, i + 1));
    *index = i;
    return true;
}

void store_map_verdict(long index, const MapVerdict& verdict)
{
    if (map_stopped.load())
        return;
    if (!map_cells.empty())
        map_cells[static_cast<std::size_t>(index)] = compact(verdict);
    if (streaming()) {
        const std::size_t slot = static_cast<std::size_t>(index % MAP_STREAM_CAPACITY);
        map_stream[slot] = verdict;
        map_stream_ready[slot].store(true, std::memory_order_release);
    }
    const int row = static_cast<int>(index / columns());
    std::atomic<int>& left = map_row_left[static_cast<std::size_t>(row)];
    if (left.fetch_sub(1, std::memory_order_acq_rel) != 1 + OPEN_BAND)
        return;
    if (!map_band_counts.empty())
        compute_band(row);
    left.store(0, std::memory_order_release);
    map_rows_done.fetch_add(1, std::memory_order_acq_rel);
}

void compute_map_share(MapEngine* engine)
{
    start_map_engine(engine, map_run);
    MapCellDone done[MAP_LANES];
    for (;;) {
        long index = 0;
        while (map_lanes_busy(*engine) < MAP_LANES && claim_map_cell(&index))
            put_map_cell(engine, index, map_cell_z(index), map_cell_force(index));
        if (map_stopped.load())
            return;
        if (map_lanes_busy(*engine) == 0) {
            if (map_next_cell.load() >= map_cell_total())
                return;
            // A stream's verdicts wait for their writer.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        const int n = advance_map_engine(engine, MAP_SLICE_STEPS, done);
        for (int i = 0; i < n; ++i)
            store_map_verdict(done[i].id, done[i].verdict);
    }
}

bool append_streamed_map_rows(std::string* rows)
{
    long next = map_streamed.load();
    for (; next < map_cell_total() && rows->size() < MAP_BLOCK_BYTES; ++next) {
        const std::size_t slot = static_cast<std::size_t>(next % MAP_STREAM_CAPACITY);
        if (!map_stream_ready[slot].load(std::memory_order_acquire))
            break;
        append_map_row(rows, next, map_stream[slot]);
        map_stream_ready[slot].store(false);
        map_streamed.store(next + 1, std::memory_order_release);
    }
    return next == map_cell_total();
}
