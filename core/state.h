#pragma once
// Program-wide state: everything a run holds, each variable once, with static lifetime.
// The dialog fills it, each frame advances it, the keys change the view part of it.
#include <array>
#include <atomic>
#include <memory>
#include <vector>

#include "core/types.h"

constexpr int CURVE_CAPACITY = 801;     // samples per curve, indices 0 ... 800
constexpr int FOLD_CAPACITY = 10;       // fold records per curve
constexpr int FAMILY_CAPACITY = 10;     // members of each family
constexpr int CROSSING_CAPACITY = 5;    // a cubic in R^2 meets a vertical line at most 3 times
constexpr int TRACE_CAPACITY = 801;     // samples per trace row, indices 0 ... 800
constexpr int TRACE_ROWS = 2;           // row 0 the response y, row 1 the forcing term
constexpr int MEASURED_PERIODS = 10;    // whole forcing periods the measured amplitude keeps
constexpr int STROBE_CAPACITY = 2048;   // stroboscopic points kept: 2,000 forcing periods and more
constexpr int UPCROSSING_CAPACITY = 8192;   // upward zero crossings of y kept: 4 a period
constexpr int SWEEP_CAPACITY = 4001;    // records of one sweep: 2,000 steps each way and back

// The values every dialog run gives the curves and the view. Amplitudes and forcing ratios are
// in the oscillator's normalised units; positions and scales in scene units (the window spans
// -1 ... 1 on both axes).

// The integrator's step and the steps per drawn frame: a frame advances t by 0.1.
constexpr double FRAME_TIME_STEP = 0.02;
constexpr int FRAME_STEPS = 5;
// Amplitude between two samples of a curve on its plain grid.
constexpr double CURVE_AMP_STEP = 0.005;
// Amplitude steps of every curve: samples 0 ... 800 cover amplitudes 0 ... 4.
constexpr int CURVE_AMP_STEPS = CURVE_CAPACITY - 1;
// Amplitude of the black stability line: sqrt(2) as the stored eight-decimal value.
constexpr double STABILITY_LEVEL = 1.41421356;
// Left end of the string, and the origin of the amplitude plot (z = 0, amplitude 0).
constexpr Vec2 DEFAULT_PICTURE_LEFT = {0.01, 0.0};
// Start of the time traces: a sweep of about one scene unit ends where the picture begins.
constexpr Vec2 DEFAULT_TRACE_ORIGIN = {-0.99, 0.0};
// Scene units per unit of amplitude, in the plot and for the traces and the picture.
constexpr double DEFAULT_AMP_SCALE = 0.25;
// Scene units per unit of z in the amplitude plot.
constexpr double DEFAULT_Z_SCALE = 0.5;
// Scene units the traces advance per frame; a sweep then holds 201 samples.
constexpr double DEFAULT_TRACE_DX = 0.005;

// Model parameters, as typed at the console.
extern double epsilon;                  // negative damping ratio
extern double force_amp;                // amplitude F of the forcing term
extern double freq_ratio;               // forcing frequency / natural frequency, z
extern double y_init;                   // initial displacement y0
extern double v_init;                   // initial velocity v0

// Simulation.
extern double state[2];                 // [0] displacement y, [1] velocity dy/dt
extern double sim_time;                 // simulated time t since the last dialog
extern double time_step;                // integrator step, 0.02
extern int    steps_per_frame;          // integrator steps per drawn frame, 5
extern bool   motion_lost_told;         // this run's console note on a non-finite state is out

// Frequency response.
extern double amp_step;                 // amplitude increment between curve samples
extern int    amp_steps;                // amplitude steps per curve; samples 0 ... amp_steps
extern ResponsePoint main_curve[CURVE_CAPACITY];          // curve for the typed epsilon and F
extern int    main_fold_count;                            // fold records of main_curve
extern ResponsePoint main_folds[FOLD_CAPACITY];           // fold records of main_curve
extern ResponsePoint eps_curves[FAMILY_CAPACITY][CURVE_CAPACITY];    // epsilon family, typed F
extern ResponsePoint force_curves[FAMILY_CAPACITY][CURVE_CAPACITY];  // F family, typed epsilon
extern int    family_fold_counts[FAMILY_CAPACITY];        // shared by both families; F family last
extern ResponsePoint family_folds[FAMILY_CAPACITY][FOLD_CAPACITY];   // shared, as the counts
extern int    family_size;                                // members per family, 10
extern const double EPSILON_FAMILY[FAMILY_CAPACITY];      // epsilon of each epsilon-family curve
extern const double FORCE_FAMILY[FAMILY_CAPACITY];        // F of each F-family curve
extern double crossings[CROSSING_CAPACITY];               // amplitudes where z meets main_curve
extern int    crossing_count;                             // valid entries of crossings
extern double unstable_level;                             // amplitude of the stability line

// View, traces and commands.
extern char   command_key;              // last command key; chooses the dialog's entry point
extern int    family_view;              // 'e' epsilon family shown, 'E' F family, else none
extern Vec2   picture_left;             // left end of the string, where it is anchored
extern double picture_right_x;          // x of the string's right end, 0.99
extern Vec2   curve_origin;             // where z = 0, amplitude 0 lies in the amplitude plot
extern Vec2   trace_origin;             // start point of the time traces
extern double amp_scale;                // scene units per unit amplitude; also the traces'
extern double z_scale;                  // scene units per unit z in the amplitude plot
extern double trace_scales[TRACE_ROWS]; // vertical scale of each trace row
extern double trace_dx;                 // horizontal advance of the traces per frame
extern int    trace_len;                // (int)(1.0 / trace_dx): largest index before the wrap
extern int    trace_index;              // index of the newest trace sample
// trace_response and trace_force are the two rows of one table: the trace drawing steps
// from row to row by the row length, so two separate arrays would not do.
extern double trace_rows[TRACE_ROWS][TRACE_CAPACITY];
extern double (&trace_response)[TRACE_CAPACITY];   // row 0: y at the end of each frame
extern double (&trace_force)[TRACE_CAPACITY];      // row 1: F sin(z t) at the end of each frame
extern int    trace_count;              // trace rows drawn, 2
extern int    mass_count;               // masses on the string, 1
extern bool   motion_running;           // frames advance by themselves (F5); off at start

// What the frame shown is drawn with besides the motion, written when it advances, so that
// every drawing of it (a redraw, a saved picture) has the same pixels. The picture lags 'y'
// and 'Y' by one frame; the process's first frame draws its string thinner than the rest.
extern double picture_scale;            // string, masses, arrow: the frame before's trace_scales[0]
extern long   process_frame_count;      // frames advanced for the window by this process, all runs

// Optional layers of the picture (off at start) and what they show.
extern bool   stability_shown;          // F3: the main curve drawn by its stability
extern bool   measured_shown;           // F4: the measured first-harmonic amplitude at z
// The first-harmonic measure of y at the forcing frequency, over forcing periods
// [k 2pi/z, (k + 1) 2pi/z), taken from every integrator step by the trapezoid rule.
extern long   harmonic_period;          // k of the period being summed; -1: nothing measured
extern double harmonic_sums[2];         // integral of y cos(z t) and of y sin(z t) so far in it
extern double harmonic_last[4];         // the last step taken in: t, y, y cos(z t), y sin(z t)
extern double measured_amps[MEASURED_PERIODS];  // amplitude of period k, at k % MEASURED_PERIODS
extern long   measured_count;           // whole periods measured since the run or z changed;
                                        // -1 while the period in progress began before that

// The forcing F sin(theta), theta' = z. Until z changes within a run theta is z t, computed as
// such; a change anchors theta where it stands, so the force stays continuous.
extern bool   forcing_ratio_changed;    // z has changed since the run began
extern double forcing_anchor_time;      // t of the last change of z
extern double forcing_anchor_phase;     // theta there

// The entrainment measures, taken from every integrator step since the run began or z last
// changed. Both rings hold each entry twice, at i % capacity and capacity further on, so that
// the latest capacity entries always lie in a row.
extern StrobePoint strobe_ring[2 * STROBE_CAPACITY];   // stroboscopic points, oldest first
extern long   strobe_count;             // points taken since the measures restarted
extern long   strobe_next;              // k of the next forcing instant to sample; -1: none
extern double strobe_due;               // the time of that instant
extern double upcrossing_ring[2 * UPCROSSING_CAPACITY];   // times where y passes 0 upward
extern long   upcrossing_count;         // crossings taken since the measures restarted
extern EntrainmentMeasure motion_measure;   // of the latest window, renewed at each point

// The sweep of z (quasi-static steps up and back down), run with the motion.
extern bool   sweep_running;            // a sweep steps z; off at start
extern double sweep_from;               // the ratio it starts and ends at
extern double sweep_to;                 // the ratio it turns at
extern double sweep_step;               // the step of z, positive
extern int    sweep_steps;              // steps from sweep_from to the turning ratio
extern int    sweep_index;              // steps from sweep_from to the present ratio, towards
                                        // sweep_to; negative beyond sweep_from the other way
extern int    sweep_below;              // steps the way back goes on past sweep_from (F7's)
extern int    sweep_leg;                // 0 out to sweep_to, 1 back (past sweep_from by
                                        // sweep_below), 2 home to sweep_from
extern long   sweep_points_judged;      // strobe_count when the present ratio was last judged
extern SweepRecord sweep_records[SWEEP_CAPACITY];   // one per ratio left, in order
extern int    sweep_record_count;       // valid entries of sweep_records

// The motion in words and as sound (app/describe.h, app/sound.h).
extern long   runs_started;             // runs begun (restart_run) since the program started
extern int    words_said_kind;          // the page's live region said this kind last; -1 none
extern double words_said_at_ms;         // when it said it
extern unsigned long long words_told_in_full;   // a bit per kind said whole once; then briefly
extern Voice  sound_voice;              // the page's sound: the motion, ahead of the picture
extern double sound_rate;               // its samples a second
extern long   sound_run_heard;          // runs_started when it last took the motion's state;
                                        // -1: it takes it at its next block
extern long   sound_frames_heard;       // process_frame_count at its last block
extern double sound_hold_until_ms;      // it plays until then; each frame advanced moves it on
extern double sound_gain;               // 0 ... 1, ramped towards 1 while it plays, 0 after
// The phase plane (F6): the motion's trail, a second motion from another initial state, the
// view's scale, and the periodic orbit F9 seeks near the motion. The trail and the second
// start's points are held twice, as the strobe ring, so that the latest lie in a row.
constexpr int PHASE_TRAIL_CAPACITY = 4096;   // steps of trail kept: 4 forcing periods at z >= 0.31
extern bool   phase_shown;                   // F6: the phase plane in place of the traces
extern bool   orbit_shown;                   // F9: the periodic orbit near the motion, sought, shown
extern PhaseSample phase_trail[2 * PHASE_TRAIL_CAPACITY];   // the end of each integrator step
extern long   phase_trail_count;             // steps taken in since the run began
extern double phase_extent[2];               // |y| and |v| at the edges of the view; only grow
extern bool   second_start_given;            // a second motion runs beside the first
extern double second_init[2];                // its initial state (y0, v0)
extern double second_state[2];               // its state at sim_time
extern StrobePoint second_strobe_ring[2 * STROBE_CAPACITY];   // at the same instants and slots
                                                              // as strobe_ring's points
extern bool   orbit_sought;                  // the search orbit_shown asks for has been made
extern PeriodicOrbit found_orbit;            // what that search found
extern double found_orbit_for[3];            // epsilon, force_amp and freq_ratio it was made for
// The entrainment experiment seen: z changed by hand, the sweep drawn and linked.
// Frames advanced for each frame drawn while a sweep runs: a sweep over 0.8 ... 1.2 takes
// 0.72 to 1.24 million frames (eps = 1, F = 1 and eps = 0.1, F = 0.5), so 38 to 65 s at 30
// drawn frames a second, about a minute of watching.
constexpr long SWEEP_DRAW_STRIDE = 640;
extern bool   sweep_in_link;            // the run began with its sweep and z has changed no
                                        // other way since: a copied link carries the sweep
// The locking map (F8, --locking-map): the grid and run lengths asked for, the map held (its
// run, grid, cells and the stable band over each row) and the job that computes it, shared by
// threads or fed by Web Workers. A cell is written by one thread before its row's count falls
// (release); a row is read once its count is seen at 0 (acquire).
constexpr long MAP_MOST_CELLS = 1000000;   // cells of one map
constexpr int MAP_BAND_CAPACITY = 4;       // stable intervals kept per row
constexpr long MAP_STREAM_CAPACITY = 4096; // verdicts held for a stream ahead of its writing
// The grid and lengths where none are given: the sweep's lengths (periods left to settle, the
// window searched for a period up to half of it, the most periods a cell runs before it is
// called settling), and a start off rest for the command line without --y0, --v0, so that an
// unforced cell shows the free oscillation.
constexpr MapAxis MAP_DEFAULT_Z = {0.5, 1.5, 101};
constexpr MapAxis MAP_DEFAULT_FORCE = {0.0, 1.0, 41};
constexpr long MAP_DEFAULT_TRANSIENT = 30;
constexpr long MAP_DEFAULT_WINDOW = 40;
constexpr long MAP_DEFAULT_PERIODS = 2000;
constexpr double MAP_DEFAULT_Y0 = 0.1;
constexpr double MAP_DEFAULT_V0 = 0.0;
extern MapAxis map_z_axis;              // the grid's z values asked for (--map-z, map-z=)
extern MapAxis map_force_axis;          // its F values (--map-force)
extern long   map_transient;            // periods each cell settles before it is judged
extern long   map_window;               // periods searched for a strobe period
extern long   map_periods;              // most periods a cell runs
extern bool   map_shown;                // F8: the map in place of the picture
extern MapRun map_run;                  // the held map: what its cells were run with,
extern MapAxis map_held_z;              // its z values
extern MapAxis map_held_force;          // and its F values
extern std::vector<MapCell> map_cells;  // its cells, F row by row, z ascending in a row; empty
                                        // for a stream alone
extern std::vector<int> map_band_counts;                     // stable intervals of each row
extern std::vector<std::array<double, 2>> map_band_edges;    // row r's at r * MAP_BAND_CAPACITY
extern std::unique_ptr<std::atomic<int>[]> map_row_left;    // cells of each row undecided
extern std::atomic<int>  map_rows_done;         // rows whose every cell is decided
extern std::atomic<long> map_next_cell;         // the next cell a thread may claim
extern std::atomic<bool> map_stopped;           // the job was given up: its cells are dropped
extern long   map_job;                  // counts jobs begun: a worker's results name theirs
extern std::vector<MapVerdict> map_stream;                   // a stream's verdicts, by index
extern std::unique_ptr<std::atomic<bool>[]> map_stream_ready;  // modulo MAP_STREAM_CAPACITY
extern std::atomic<long> map_streamed;          // cells written out, in order
// Lessons (app/lessons.h): the one open and its step, which a copied link carries.
extern int    lesson_open;              // its index in the lessons' table + 1; 0 none; -1 the list
extern int    lesson_step_open;         // the step shown, from 1
