#pragma once
// z changed while the motion runs, and the sweep: quasi-static steps of z from a start ratio
// to a turning ratio and back, the motion measured at each before z takes its next step
// (sweep_* and sweep_records in core/state.h). The sweep advances with the frames: whoever
// advances a frame (the window, the page, the headless loop here) calls sweep_after_frame
// after it.

constexpr double SWEEP_DEFAULT_STEP = 0.005;
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

// Ends a sweep where it stands (the records stay); a new run or F7 again.
void stop_sweep();

// The sweep's bookkeeping after one frame: once per new stroboscopic point it judges the
// present ratio (judge_motion, with SWEEP_PERIOD_LIMIT). The decided ratio is recorded and z
// steps on; after the last the sweep ends (sweep_running false).
void sweep_after_frame();

// A started sweep run to its end without a window: frames advanced as drawn frames advance
// them, each followed by the bookkeeping.
void run_sweep();
