#pragma once
// The page around the program: its texts, the canvas and the keys the page hands in. The
// page's script (page.js) holds the console panel, the input line and the buttons.
#include "app/options.h"

// Hands the page its own texts (title, messages, names of the controls, notes on the
// address's parameters not taken) in both languages, and which one the console speaks.
void show_page_texts();

// Makes the canvas's WebGL context current; false, after telling the page, when the browser
// gives the canvas no WebGL.
bool open_page();

// The scenario the page's address names, with the command line's names and checks
// (?eps=0.1&force=0.5&z=1&y0=0&v0=0&family=e&frames=600&lang=en). Each value read whole.
// A refused value or a name the page does not take is noted for the page, and then
// none of eps, force, z, y0, v0 and frames is taken: the dialog asks for all of them.
Options page_options();

// The window phase: draws the first frame, as the desktop does when its window first
// appears, and lets the page hand in keys.
void start_page();

extern "C" {
// One key from the page (a key of the keyboard or an on-screen button): what the desktop's
// keyboard callback does with it. 'm', 'f' and 'j' return only once their dialog is answered.
void page_key(int key);

// The change of view that key makes, without drawing: lets a page start with the view that
// keys would give (a family shown before the first frame).
void page_view_key(int key);

// F1: the key help and the function keys on the console.
void page_key_help();

// Run / Pause on the shared clock: page_toggle_run starts or stops the motion running by
// itself and returns the ticket of the chain of ticks (0: paused); the first tick comes after
// page_run_interval() ms, and each page_run_tick(ticket) draws one frame as 's' does and
// returns the milliseconds until the next, or -1 when the chain has ended.
int page_toggle_run();
int page_run_interval();
int page_run_tick(int ticket);
// Whether the motion runs by itself; a dialog key stops it.
int page_running();

// The two layers of the characteristic, as the page's toggles name them.
enum PageLayer { PAGE_LAYER_STABILITY = 3, PAGE_LAYER_MEASURED = 4 };   // their F-key numbers
// F3 or F4 (layer 3 or 4): turns that layer on or off and draws the next frame. Returns
// whether it is now shown.
int page_toggle_layer(int layer);
// Whether layer 3 or 4 is shown.
int page_layer_shown(int layer);

// The console's language from now on: 1 English, 0 Japanese (the page switches its own texts).
void page_set_language(int english);

// After the program has ended (ESC): a new run, from the start dialog, or with the values
// the last run held (with_values), without reloading the page.
void page_start_again(int with_values);

// The curves as CSV text, as --export-curves writes them; valid until the next call.
const char* page_curves_csv();
// The name of a picture saved now (forced-vdp-YYYYMMDD-HHMMSS.png); valid until the next call.
const char* page_picture_name();
// The address parameters of the scenario now held (eps, force, z, y0, v0, frames: the frame
// shown comes first, the family shown, the console's language, the layers shown), each number
// in the fewest digits that read back to it.
const char* page_scenario_query();
// What the picture shows, in words, one line each: the parameters, the initial state, t and
// the frame shown, the amplitudes at which z meets the curve.
const char* page_values();
}
