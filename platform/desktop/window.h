#pragma once
// GLUT set-up and the one 800 x 800 window.
#include <span>

#include "app/options.h"

// Each side of the window, in pixels, unless -geometry says otherwise.
constexpr int DEFAULT_WINDOW_SIDE = 800;

// The longest side, in pixels, that the window may have: Mesa's software renderer crashes on
// windows of 2^30 pixels and more.
constexpr int MAX_WINDOW_SIDE = 16384;

// GLUT's own command-line options, which glutInit reads: -display NAME, -geometry WxH+X+Y, ...
extern const std::span<const PlatformOption> WINDOW_OPTIONS;

// Initialises GLUT with the command line, creates the window, registers the display, reshape,
// keyboard and function-key callbacks and sets the white clear colour.
void open_window(int* argc, char** argv);

// open_window, then the event loop, the Run clock started first where running. Never returns.
void start_graphics(int* argc, char** argv, bool running = false);

// Creates the window with WINDOW_TITLE and publishes the title so that window managers show
// it as Japanese text.
void create_window();

// Opaque white.
void set_clear_color();

// Viewport over the whole window, identity projection; the scene always spans -1 ... 1.
// A size with a side beyond MAX_WINDOW_SIDE is not taken: the window is sized back to the
// size it had.
void on_reshape(int width, int height);
