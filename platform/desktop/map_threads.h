#pragma once
// The locking map on the desktop: its job computed by one thread per core, F8 in the window
// with a timer that draws the rows as they finish, a click on a cell, and the batch outputs'
// wait for the whole map.

// Starts the threads of the job begun (begin_map_job): one per core, each with its engine.
void start_map_threads();
// Waits for them to end (the job finished or stopped).
void join_map_threads();

// F8 in the window: the map or the picture; a job begun is computed while the window stays
// responsive, its rows drawn as they finish and the console told when the last is in.
void toggle_map_in_window();

// GLUT mouse callback: a left click on a cell of the map shown runs that cell.
void on_map_click(int button, int state, int x, int y);
