#pragma once
// The page around the program: its texts and controls, the canvas and the keys the page hands
// in. The page's script (page.js) holds the console panel, the input line and the buttons,
// which it builds from the controls table.
#include "app/options.h"

// Hands the page its own texts (title, messages, notes on the address's parameters not taken)
// in both languages, the rows of the controls table, and which language the console speaks.
void show_page_texts();

// Makes the canvas's WebGL context current; false, after telling the page, when the browser
// gives the canvas no WebGL.
bool open_page();

// The scenario the page's address names (address_options), its notes kept for the page.
Options page_options();

// The window phase: draws the first frame, as the desktop does when its window first
// appears, and lets the page hand in keys; running, the Run clock starts (a sweep given).
void start_page(bool running = false);

// A run of the page: begin_run without the frames options asks for, which the page advances
// in steps (page_advance_frames), answering the user meanwhile, before start_page.
void run_page(Options options);

// A new run the page starts without reloading (Start again, a lesson's step): the motion
// paused, lines typed ahead of the old run dropped, then run_page.
void start_page_run(const Options& options);

extern "C" {
// frames more frames advanced, without drawing (advance_frames); then, once all are,
// page_start: the first frame.
void page_advance_step(int frames);
void page_start();

// The frame shown drawn again, at the drawing buffer's size for the canvas as it is shown now
// (after a rotation, a resize or a zoom): 1, or 0 where there is no frame of this run to draw
// (right after a dialog).
int page_redraw();

// Whether the motion runs by itself (Run / Pause): a dialog key pauses it.
int page_running();

// One character from the page (a key of the keyboard or an on-screen key): what the desktop's
// keyboard callback does with it. 'm', 'f' and 'j' return only once their dialog is answered.
void page_key(int key);

// Presses the control of row index of the controls table (a function key, a tool or toggle
// that the program does itself), as the desktop's key does.
void page_press(int index);
// Whether the layer of row index is shown.
int page_shown(int index);

// The change of view that key makes, without drawing: lets a page start with the view that
// keys would give (a family shown before the first frame).
void page_view_key(int key);

// Run / Pause on the shared clock: page_toggle_run starts or stops the motion running by
// itself and returns the ticket of the chain of ticks (0: paused); the first tick comes after
// page_run_interval() ms, and each page_run_tick(ticket) draws one frame as 's' does and
// returns the milliseconds until the next, or -1 when the chain has ended.
int page_toggle_run();
int page_run_interval();
int page_run_tick(int ticket);

// The console's language from now on: 1 English, 0 Japanese (the page switches its own texts).
void page_set_language(int english);

// After the program has ended (ESC): a new run, from the start dialog, or with the values
// the last run held (with_values), without reloading the page.
void page_start_again(int with_values);

// That the program has ended with status, in the console's language; valid until the next call.
const char* page_ended_text(int status);
// The curves as CSV text, as --export-curves writes them; valid until the next call.
const char* page_curves_csv();
// The name of a picture saved now (forced-vdp-YYYYMMDD-HHMMSS.png); valid until the next call.
const char* page_picture_name();
// The address parameters of the scenario now held (address_query of held_scenario).
const char* page_scenario_query();
// What the picture shows, in words, one line each: the parameters, the initial state, t and
// the frame shown, the amplitudes at which z meets the curve; the picture's labels and legends;
// with F4's layer or a sweep the motion's state, and while a sweep runs, that it does; the
// periodic orbit near the motion while F9 shows it, and the second start where one runs; what
// the motion does; with the locking map shown, the map's grid, progress, cells of each class
// and how to run one.
const char* page_values();

// F7: a sweep around z starts, or the one running stops (toggle_sweep); 1 where the page must
// start the Run clock for it (the motion stands).
int page_toggle_sweep();
// Whether a sweep runs.
int page_sweeping();
// The green z line's x in the scene (-1 ... 1 across the canvas).
double page_ratio_x();
// The green line dragged to scene x: z the whole step of SWEEP_DEFAULT_STEP nearest there, set
// by hand (set_ratio_by_hand) and the next frame drawn; nothing where that is z already.
void page_drag_ratio(double x);
// The locking map (F8), computed by the page's Web Workers. page_map_toggle: F8; 1 when a job
// was begun, which the workers are then to compute. page_map_job: the job under way or held
// (its number), 0 when none is (given up for a dialog: the workers stop). page_map_settings:
// 13 numbers for the workers: eps, y0, v0, transient, window, periods, z from, to, count,
// F from, to, count, and the cells. page_map_store: a worker's verdict of cell index (class,
// strobe period, rotation); 1 when it finished a row, 2 when the whole map. page_map_draw
// draws the map shown again; page_map_finished tells the console it took `seconds`.
int page_map_toggle();
int page_map_job();
const double* page_map_settings();
int page_map_store(double index, double map_class, double period, double rotation);
void page_map_draw();
void page_map_finished(double seconds);
// Whether the map is shown; a click or tap at scene point (x, y) on it (1: a cell ran).
int page_map_shown();
int page_map_pick(double x, double y);
}
