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

// v' at (y, v) under the force's sine `sine`, for eps and F given: the arithmetic of vdp_rhs,
// in exactly its order (long runs are compared bit for bit). Inline, for the lanes of the
// locking map too.
inline double vdp_acceleration(double eps, double force, double sine, double y, double v)
{
    const double f = sine * force;
    double b = y * y;
    b = 1.0 - b;
    b = b * eps;
    b = b * v;
    b = b + f;
    return b - y;
}

// d/dt v' along the motion where v' = a, the force's cosine `cosine`, for eps, F and z given.
inline double vdp_jerk_of(double eps, double force, double z, double cosine, double y, double v,
                          double a)
{
    return eps * ((1.0 - y * y) * a - 2.0 * y * v * v) + force * z * cosine - v;
}
