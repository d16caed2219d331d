#pragma once
// How a run begins and how it runs by itself, the same on the desktop and in the page: the
// values given or the start dialog, the frames asked for, and the Run / Pause clock (F5 on the
// desktop, F5 and the Run button in the page).
#include "app/options.h"

// What the options ask of the whole program, set before anything is written or drawn: the
// console's language, the family and the layers shown from the first frame, a second start.
void apply_start_options(const Options& options);
// The family, the layers and the second start shown from the next first frame: those options
// ask for, and no others.
void show_start_views(const Options& options);

// The values given take the place of the typed ones (epsilon, force_amp, freq_ratio, y_init,
// v_init); the others keep what they hold. A sweep given starts at its FROM: z is that.
void set_parameters_from(const Options& options);

// The sweep the options ask for (--sweep, sweep=) started as the run begins, z changed to its
// FROM if a dialog gave another; a copied link carries it. Nothing without one.
void start_asked_sweep(const Options& options);

// Whether the motion runs by itself from the first frame: a sweep asked for without frames
// (frames show the frame after them and wait, as every link does).
bool runs_from_start(const Options& options);

// Frames drawn since the motion last started from t = 0: the number of the frame shown.
long frame_shown();

// The scenario held now, as options that open on it (address_query writes them as a link):
// the values, the frames before the one shown (a run opened on them shows the same frame), the
// family and the layers shown, the console's language, the second start, the sweep the run
// began with while z has changed no other way, the lesson open and its step.
Options held_scenario();

// frames frames advanced as key presses advance them, without drawing: the motion's frames
// (advance_frame), each followed by the sweep's bookkeeping, counted in process_frame_count;
// then the periodic orbit where the orbit layer asks for one (seek_orbit_when_asked).
void advance_frames(long frames);
// The same frames without the search: a long advance made in parts (the page's, a part at a
// time so that it stays responsive) seeks the orbit once, from the frame it ends on, as one
// advance_frames of all of them does.
void advance_motion_frames(long frames);

// How an interactive run begins: with values given, the banner, the curves and the key help
// without asking; else the start dialog. Then the frames asked for, so that the next frame
// shown is the one that many key presses would show.
void begin_run(const Options& options);

// Run / Pause. While the motion runs, a tick draws one frame as 's' does, on a grid of
// RUN_INTERVAL_MS from the moment it was started, however long each frame takes to draw;
// 'm', 'f' and 'j' pause it (motion_running).
constexpr int RUN_INTERVAL_MS = 33;   // about 30 frames a second

// Starts or stops the motion running by itself at now_ms (any steady clock in milliseconds).
// Returns the ticket of the timer chain that now runs, 0 when it is paused. A tick of an
// earlier ticket is never due again, so quick presses never leave two chains running.
int start_or_pause_run(double now_ms);
// Whether a tick of ticket should draw its frame: the motion runs and ticket is the latest.
bool run_tick_due(int ticket);
// The first tick comes RUN_INTERVAL_MS after the start. After each tick's frame, done at
// now_ms: milliseconds until the next tick of the grid. A tick more than one interval late
// moves the grid on rather than drawing the missed frames in a burst.
int next_run_delay(double now_ms);
