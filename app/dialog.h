#pragma once
// The console dialog: reads the parameters, computes every curve that depends on them, and
// restarts the simulation with the view at its defaults.

// Runs from the entry point that command_key selects: 'j' asks for y0 v0 only, 'f' for
// F z and then y0 v0, any other key for epsilon, F z and y0 v0. Counts itself in dialogs_run.
void input_parameters();

// Dialogs run by input_parameters since the start: a window that sees it grow across a key
// drops the keys pressed in it while the console waited.
extern long dialogs_run;

// The main curve for epsilon and force_amp with its crossings at freq_ratio, then both
// families. Each family member is computed with its value put into epsilon or force_amp, and
// the typed value restored afterwards.
void compute_response_curves();

// Starts a run from the values already held (given on the command line) without asking:
// the banner, the curves as the dialog computes them, the key help, and the resets.
void start_with_values();

// The simulation back to t = 0 with the typed initial state and the view to its defaults, as
// at the end of every dialog run: the forcing's phase z t again, the measures afresh, no sweep.
void restart_run();

// The dialog's key help, then the function keys, on the console.
void print_key_help();
