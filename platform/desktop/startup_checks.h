#pragma once
// What main makes sure of first, so that nothing fails only after the user has typed every
// value.

// Opens /dev/null on each of the descriptors 0, 1 and 2 that the program was started without
// (a launcher may close them), before anything else takes them: else the X connection would
// become standard input or output and the dialog would read or write its protocol stream.
// A closed descriptor 1 sets standard_output_closed (platform/desktop/output_file.h).
void open_missing_standard_streams();

// For a run that will open the window, given the window system's part of the command line:
// ends the process with status 1 and one console line naming the value when a -geometry is
// not a geometry (read as X reads one) or asks for a side outside 1 ... MAX_WINDOW_SIDE, or
// when the display GLUT will open (the last -display NAME, else $DISPLAY) cannot be opened;
// that line names the display and suggests xvfb-run. Under a limit on the address space
// (ulimit -v) the renderer is tried first in a child process, without showing anything, and a
// renderer that cannot start within it ends the process the same way, naming the limit. The -geometry GLUT takes is rewritten
// whole in argv (a position alone gets the default size).
void check_window_can_open(int argc, char** argv);
