#pragma once
// One frame: advance the motion by 0.1 time units, record the trace samples, redraw the
// whole window from the program-wide state.

// The display callback, also called by the keys that draw: draw_frame, then flush and swap.
void on_display();

// Everything of a frame before its flush and swap, so that the back buffer can be read.
void draw_frame();
