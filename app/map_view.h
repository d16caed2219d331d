#pragma once
// The locking map in the window and the page (F8): shown in place of the picture, and a cell
// picked to run. Each platform computes the map's cells itself (threads, Web Workers) and
// calls these around it.

// F8: shows the map, or the picture again. Returns whether a job was begun for the map shown
// (the run or the grid differ from the map held): the platform then starts computing it.
bool toggle_map_view();

// The picture in place of the map, nothing drawn: before a key that draws a frame.
void leave_map_view();

// A click or tap at scene point (x, y) while the map is shown: on a cell, z and F become the
// cell's, the run starts again from its start state and the picture shows its first frame.
// False, changing nothing, off the cells or while the map is not shown.
bool pick_map_cell(double x, double y);

// The platform's note that the map's last row is in: the console says so once.
void tell_map_finished(double seconds);
