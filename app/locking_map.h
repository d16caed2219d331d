#pragma once
// The locking map with the run: its grid and run lengths as the command line and the address
// give them, the map held and the job that computes it (the desktop's threads run shares of
// it here; the page's Web Workers hand their verdicts in), its CSV rows streamed in order.
// The map's state is in core/state.h.
#include <string>

#include "app/options.h"
#include "core/types.h"
#include "dynamics/locking_map.h"

constexpr long MAP_MOST_PERIODS = 100000;   // most periods --map-periods and the like take
// The largest ratio a cell can run: a forcing period of MEASURE_MIN_STEPS integrator steps.
constexpr double MAP_MOST_RATIO = 78.0;
constexpr long MAP_SLICE_STEPS = 20000;     // steps between two looks at a stopped job (~1 ms)
constexpr std::size_t MAP_BLOCK_BYTES = 1 << 16;   // CSV text handed to its writer at once

// Reads an axis "A:B:N": numbers A <= B and a whole number N, 1 ... MAP_MOST_CELLS (N = 1
// needs A = B); for z also 0 < A and B <= MAP_MOST_RATIO. False where text is none.
bool read_map_axis(const char* text, bool z, MapAxis* axis);
// Reads a whole number of periods, 1 ... MAP_MOST_PERIODS.
bool read_map_periods(const char* text, long* periods);

// The option's value as the map reads it, for a row of the grid or periods kinds: false where
// text is none (the option then refused, naming it).
bool map_value_readable(const char* option_name, const char* text);

// "" when the grid the options ask for holds at most MAP_MOST_CELLS cells; else a message
// naming both values.
std::string map_grid_problem(const Options& options);

// The map's grid and lengths from the options given (the others as they are); and, into
// options, those that differ from the defaults (a scenario link carries them).
void apply_map_options(const Options& options);
void hold_map_options(Options* options);

// The run the map would have now: epsilon, the start (y_init, v_init), the lengths.
MapRun current_map_run();
// Whether the map held (finished or under way) is the one the run and the grid ask for now.
bool map_held_is_current();

// Begins a job for run over the grid asked for, the held map dropped: keeping its cells for
// the picture (keep_cells), streaming its verdicts (stream), or both. Every thread of an
// earlier job must have finished.
void begin_map_job(const MapRun& run, bool keep_cells, bool stream);
// Gives up the job under way (a dialog begins): its threads stop claiming and storing, and
// its cells are dropped. A finished map stays held.
void stop_map_job();

// The held map's grid: cells, and each cell's z and F (cell index: row of F times the count
// of z, plus the column of z).
long map_cell_total();
double map_cell_z(long index);
double map_cell_force(long index);

// Claims the next cell to compute: false when none is left, the job was stopped, or a stream
// holds MAP_STREAM_CAPACITY cells not yet written.
bool claim_map_cell(long* index);
// The verdict of a claimed cell. The last of its row computes the row's stable band.
void store_map_verdict(long index, const MapVerdict& verdict);

// One thread's share of the job: claims cells into engine's lanes and stores their verdicts
// until none is left or the job is stopped.
void compute_map_share(MapEngine* engine);

// The CSV rows of the cells decided, in order, since the last call (until rows holds
// MAP_BLOCK_BYTES: memory stays flat however fast cells come), under MAP_CSV_HEADER:
// state rest, locked, period N, drifting or settling; hb_class stable where harmonic balance
// predicts a stable response at the cell (has_stable_response), else empty; every number with
// 17 significant digits, a measure not known empty. Returns whether the last row is written.
constexpr const char* MAP_CSV_HEADER =
    "epsilon,force,z,state,strobe_period,rotation,drift,spread,harmonic_amplitude,hb_class\n";
bool append_streamed_map_rows(std::string* rows);
