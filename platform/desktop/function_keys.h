#pragma once
// The window's keys that type nothing (function and arrow keys), beside the letter keys: each
// the control of the table that has it; Save picture and Run / Pause are the window's own.

// GLUT special-key callback. A key that is no control's does nothing.
void on_special_key(int key, int x, int y);
