#pragma once
// The window's function keys, beside the letter keys: F1 key help, F2 save the picture,
// F3 and F4 the two layers of the characteristic, F5 run / pause.

// GLUT special-key callback. Other special keys do nothing.
void on_special_key(int key, int x, int y);

// F5: starts or stops the motion advancing by itself, 30 frames a second, each frame as if
// 's' were pressed. A dialog key stops it first.
void toggle_run();
