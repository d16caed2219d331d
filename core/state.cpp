// Program-wide state with its start values. Few variables start non-zero; the dialog
// gives the rest their working values before any frame is drawn.
#include "core/state.h"

#include <cmath>

double epsilon = 0.0;
double force_amp = 0.0;
double freq_ratio = 0.0;
double y_init = 0.0;
double v_init = 0.0;

double state[2] = {0.0, 0.0};
double sim_time = 0.0;
double time_step = FRAME_TIME_STEP;
int steps_per_frame = FRAME_STEPS;
bool motion_lost_told = false;

double amp_step = 0.0;
int amp_steps = 0;
ResponsePoint main_curve[CURVE_CAPACITY] = {};
int main_fold_count = 0;
ResponsePoint main_folds[FOLD_CAPACITY] = {};
ResponsePoint eps_curves[FAMILY_CAPACITY][CURVE_CAPACITY] = {};
ResponsePoint force_curves[FAMILY_CAPACITY][CURVE_CAPACITY] = {};
int family_fold_counts[FAMILY_CAPACITY] = {};
ResponsePoint family_folds[FAMILY_CAPACITY][FOLD_CAPACITY] = {};
int family_size = 0;
const double EPSILON_FAMILY[FAMILY_CAPACITY] = {0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0};
const double FORCE_FAMILY[FAMILY_CAPACITY] = {0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0};
double crossings[CROSSING_CAPACITY] = {};
int crossing_count = 0;
double unstable_level = 0.0;

char command_key = 0;
int family_view = 0;
Vec2 picture_left = {0.0, 0.0};
double picture_right_x = 0.99;
Vec2 curve_origin = {0.0, 0.0};
Vec2 trace_origin = {0.0, 0.0};
double amp_scale = 0.0;
double z_scale = 0.0;
double trace_scales[TRACE_ROWS] = {0.0, 0.0};
double trace_dx = 0.0;
int trace_len = 0;
int trace_index = 0;
double trace_rows[TRACE_ROWS][TRACE_CAPACITY] = {};
double (&trace_response)[TRACE_CAPACITY] = trace_rows[0];
double (&trace_force)[TRACE_CAPACITY] = trace_rows[1];
int trace_count = 0;
int mass_count = 0;
bool motion_running = false;

double picture_scale = 0.0;
long process_frame_count = 0;

bool stability_shown = false;
bool measured_shown = false;
long harmonic_period = -1;
double harmonic_sums[2] = {0.0, 0.0};
double harmonic_last[4] = {0.0, 0.0, 0.0, 0.0};
double measured_amps[MEASURED_PERIODS] = {};
long measured_count = 0;

bool forcing_ratio_changed = false;
double forcing_anchor_time = 0.0;
double forcing_anchor_phase = 0.0;

StrobePoint strobe_ring[2 * STROBE_CAPACITY] = {};
long strobe_count = 0;
long strobe_next = -1;
double strobe_due = 0.0;
double upcrossing_ring[2 * UPCROSSING_CAPACITY] = {};
long upcrossing_count = 0;
EntrainmentMeasure motion_measure = {MotionState::settling, 0, NAN, NAN, NAN};

bool sweep_running = false;
double sweep_from = 0.0;
double sweep_to = 0.0;
double sweep_step = 0.0;
int sweep_steps = 0;
int sweep_index = 0;
int sweep_below = 0;
int sweep_leg = 0;
long sweep_points_judged = 0;
SweepRecord sweep_records[SWEEP_CAPACITY] = {};
int sweep_record_count = 0;

long runs_started = 0;
int words_said_kind = -1;
double words_said_at_ms = 0.0;
unsigned long long words_told_in_full = 0;
Voice sound_voice = {};
double sound_rate = 44100.0;
long sound_run_heard = -1;
long sound_frames_heard = 0;
double sound_hold_until_ms = 0.0;
double sound_gain = 0.0;
bool phase_shown = false;
bool orbit_shown = false;
PhaseSample phase_trail[2 * PHASE_TRAIL_CAPACITY] = {};
long phase_trail_count = 0;
double phase_extent[2] = {1.0, 1.0};
bool second_start_given = false;
double second_init[2] = {0.0, 0.0};
double second_state[2] = {NAN, NAN};
StrobePoint second_strobe_ring[2 * STROBE_CAPACITY] = {};
bool orbit_sought = false;
PeriodicOrbit found_orbit = {};
double found_orbit_for[3] = {0.0, 0.0, 0.0};
bool sweep_in_link = false;
MapAxis map_z_axis = MAP_DEFAULT_Z;
MapAxis map_force_axis = MAP_DEFAULT_FORCE;
long map_transient = MAP_DEFAULT_TRANSIENT;
long map_window = MAP_DEFAULT_WINDOW;
long map_periods = MAP_DEFAULT_PERIODS;
bool map_shown = false;
MapRun map_run = {};
MapAxis map_held_z = {};
MapAxis map_held_force = {};
std::vector<MapCell> map_cells;
std::vector<int> map_band_counts;
std::vector<std::array<double, 2>> map_band_edges;
std::unique_ptr<std::atomic<int>[]> map_row_left;
std::atomic<int> map_rows_done = 0;
std::atomic<long> map_next_cell = 0;
std::atomic<bool> map_stopped = false;
long map_job = 0;
std::vector<MapVerdict> map_stream;
std::unique_ptr<std::atomic<bool>[]> map_stream_ready;
std::atomic<long> map_streamed = 0;
int lesson_open = 0;
int lesson_step_open = 1;
