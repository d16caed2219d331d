#pragma once
// The window's keys that type nothing (function and arrow keys), beside the letter keys: each
// the control of the table that has it; Save picture, Run / Pause and the sweep's F7 are the
// window's own.

// GLUT special-key callback. A key that is no control's does nothing.
void on_special_key(int key, int x, int y);

// The Run clock started, as F5 starts it, unless the motion runs already: a sweep given at the
// start runs from the first frame.
void start_running();
