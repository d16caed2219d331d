#pragma once
// The keys and buttons of both platforms, dispatched through the controls table.
#include "app/controls.h"

// Keyboard callback: stores key in command_key and presses the control of that key; any other
// character draws one frame, as 's' does. ESC ends the process with status 0; 'm', 'f' and
// 'j' run the console dialog from the entry point they select and draw nothing.
void on_keyboard(unsigned char key, int x, int y);

// What pressing control does on either platform: its act; a layer turns on or off. After a
// view key, a layer or a step, the next frame is drawn. Nothing for a tool the platform does
// itself.
void press_control(const Control& control);
