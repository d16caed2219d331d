#pragma once
// What main makes sure of before the dialog starts, so that nothing fails only after the user
// has typed every value.

// Opens /dev/null on each of the descriptors 0, 1 and 2 that the program was started without
// (a launcher may close them), before anything else takes them: else the X connection would
// become standard input or output and the dialog would read or write its protocol stream.
void open_missing_standard_streams();

// Ends the process with status 1 and one console line when the -geometry that GLUT will read
// from argv asks for a side longer than MAX_WINDOW_SIDE.
void refuse_oversized_geometry(int argc, char** argv);

// Ends the process with status 1 and one console line, naming the display and suggesting
// xvfb-run, when the display GLUT will open (the last -display NAME in argv, else $DISPLAY)
// cannot be opened.
void require_display(int argc, char** argv);
