#pragma once
// Advances n state components from t to t + h by one Runge-Kutta-Gill step of the forced
// Van der Pol model. in and out may be the same array. Prints "memory overflow\n" on
// standard output and ends the process with status 1 if its scratch vectors cannot be had.
void rkg_step(double t, double h, const double in[], double out[], int n);
