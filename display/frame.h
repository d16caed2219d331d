#pragma once
// One frame drawn from the program-wide state: the whole window, as the frame that advanced
// last left the state. Drawing changes no state, so the same frame can be drawn again.

// The whole frame into the buffer frames are drawn into, without showing it: the back buffer
// can then be read.
void draw_frame();

// draw_frame, then flush and swap: the frame shown.
void on_display();
