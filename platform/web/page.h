#pragma once
// The page around the program: its title, the canvas and the keys the page hands in. The
// page's script (page.js) holds the console panel, the input line and the buttons.
#include "app/options.h"

// Shows the title and makes the canvas's WebGL context current; false, after telling the
// page, when the browser gives the canvas no WebGL.
bool open_page();

// The scenario the page's address names, with the command line's names and checks
// (?eps=0.1&force=0.5&z=1&y0=0&v0=0&family=e&frames=600&lang=en). A value that is not
// accepted is told on the page and leaves that parameter out; other names are not the
// program's and are passed over.
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

// Run / pause: starts or stops the motion advancing by itself (the page's timer then hands
// in 's' 30 times a second while page_running says so). Returns whether it now runs.
int page_toggle_run();
// Whether the motion runs by itself; a dialog key stops it.
int page_running();

// The two layers of the characteristic, as the page's toggles name them.
enum PageLayer { PAGE_LAYER_STABILITY = 3, PAGE_LAYER_MEASURED = 4 };   // their F-key numbers
// F3 or F4 (layer 3 or 4): turns that layer on or off and draws the next frame. Returns
// whether it is now shown.
int page_toggle_layer(int layer);
// Whether layer 3 or 4 is shown.
int page_layer_shown(int layer);

// The curves as CSV text, as --export-curves writes them; valid until the next call.
const char* page_curves_csv();
// The address parameters of the scenario now held (eps, force, z, y0, v0, the family shown,
// the console's language, the layers shown), each number in the fewest digits that read back
// to it.
const char* page_scenario_query();
}
