#pragma once
// Right-hand side of the forced Van der Pol equation
//   y'' - eps (1 - y^2) y' + y = F sin(z t)
// as the first-order system (y, v): y' = v, v' = eps (1 - y^2) v + F sin(z t) - y.
// eps, F and z are read from epsilon, force_amp and freq_ratio at every call; z t stands for
// the forcing's phase (dynamics/forcing.h), which a change of z while the motion runs makes
// piecewise.

// Time derivative of component `component` (0: y, 1: v) of `state_vector` at time t.
double vdp_rhs(int component, double t, const double state_vector[]);

// The time derivative of v' along the motion, d/dt [eps (1 - y^2) v + F sin(theta) - y] with
// theta' = z, at (t, state_vector) where v' = a.
double vdp_jerk(double t, const double state_vector[], double a);
