#pragma once
// The window's one-character commands.

// Keyboard callback: stores key in command_key; ESC ends the process with status 0; 'm',
// 'f' and 'j' run the console dialog from the entry point they select and draw nothing;
// every other key applies its change and draws one frame.
void on_keyboard(unsigned char key, int x, int y);

// The change of view that key makes ('y' 'Y' 't' 'T' 'z' 'Z' 'e' 'E'); nothing for others.
// A press that would make a scale infinite or zero changes nothing.
void apply_view_key(unsigned char key);

// F3 and F4: turns the stability layer or the measured-amplitude layer on or off, then draws
// the next frame, as a view key does.
void toggle_stability_layer();
void toggle_measured_layer();
