#pragma once
// z changed while the motion runs, and the sweep: quasi-static steps of z from a start ratio
// to a turning ratio and back, the motion measured at each before z takes its next step
// (sweep_* and sweep_records in core/state.h). The sweep advances with the frames: whoever
// advances a frame (the window, the page, the headless loop here) calls sweep_after_frame
// after it.

#include <string>

constexpr double SWEEP_DEFAULT_STEP = 0.005;   // also the step of z by hand (the arrows)
// F7's sweep reaches this far either side of the present z.
constexpr double SWEEP_HALF_RANGE = 0.2;
// Forcing periods at one ratio after which it is left as settling: near a band's edge the
// transient outlasts any fixed run (critical slowing down).
constexpr int SWEEP_PERIOD_LIMIT = 2000;

// z becomes z_new now, the force continuing in phase; the crossings follow it, and the
// first-harmonic and entrainment measures start again (settling). Nothing when z_new is z.
void change_forcing_ratio(double z_new);

// Starts a sweep from `from` to `to` (either way) and back to `from` in steps of `step`,
// changing z to `from` first if it is not there; the records of an earlier sweep are dropped.
// False, changing nothing, unless both ends can be measured (z > 0, a forcing period of at
// least MEASURE_MIN_STEPS steps), step > 0 and the sweep fits SWEEP_CAPACITY records.
bool start_sweep(double from, double to, double step);

// Whether start_sweep(from, to, step) would start: both ends measurable, step > 0, the
// records held. The command line and the address check a sweep with it.
bool sweep_possible(double from, double to, double step);

// F7: a sweep around the present z starts (from z up by SWEEP_HALF_RANGE, back down as far
// below z, and home to z, each end moved in where a ratio could not be measured), or the one
// running stops. Returns whether a sweep runs now.
bool toggle_sweep();

// Ends a sweep where it stands (the records stay): F7 again, z changed by hand.
void stop_sweep();

// Ends a sweep and drops its records and the link's sweep: a new run.
void forget_sweep();

// z by hand (the arrows, the page's green line dragged): z_new kept to nine decimals, so that
// steps from a typed z read as typed; a sweep running stops. Nothing changes where z_new could
// not be measured.
void set_ratio_by_hand(double z_new);
// One step of SWEEP_DEFAULT_STEP up (steps 1) or down (-1).
void step_forcing_ratio(int steps);

// Whether the sweep's present leg goes up in z: out towards a higher sweep_to, or back from a
// lower one.
bool sweep_heading_up();

// Frames that one drawn frame advances: SWEEP_DRAW_STRIDE (core/state.h) while a sweep runs,
// else 1.
long frames_per_drawn_frame();

// The sweep's bookkeeping after one frame: once per new stroboscopic point it judges the
// present ratio (judge_motion, with SWEEP_PERIOD_LIMIT). The decided ratio is recorded and z
// steps on; after the last the sweep ends (sweep_running false).
void sweep_after_frame();

// The console's line on a sweep that has ended: the ratios measured and, each way, the lowest
// and the highest locked one.
std::string sweep_summary();

// A started sweep run to its end without a window: frames advanced as drawn frames advance
// them, each followed by the bookkeeping.
void run_sweep();
