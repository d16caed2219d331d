#pragma once
// A run of the program as the dialog starts it, without the dialog: the values in, the curves
// and crossings computed, the motion from (y0, v0) at t = 0.
void start_program_run(double eps, double force, double z, double y0, double v0 = 0.0);
