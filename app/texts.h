#pragma once
// Texts of the program that every platform shows, UTF-8. The console notes are written
// through console_write; %s and %d are filled in as each comment says.

// The window's title.
extern const char* const WINDOW_TITLE;

// After an unreadable answer at the dialog. %s: the values kept, "ε=0.3" or "F=0.6, z=1.2".
extern const char* const KEPT_AFTER_UNREADABLE;

// Once per run, after the first frame whose state is no longer finite.
extern const char* const MOTION_OUT_OF_RANGE;

// Before the dialog, when the display cannot be opened. %s: the display's name, then the
// program as it was started.
extern const char* const NO_DISPLAY;

// Before the dialog, when -geometry asks for a larger window than can be drawn. %s: the
// geometry as given; %d: the largest side in pixels.
extern const char* const WINDOW_TOO_LARGE;
