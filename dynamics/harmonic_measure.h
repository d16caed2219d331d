#pragma once
// The first-harmonic amplitude of the motion at the forcing frequency, measured over whole
// forcing periods [k T, (k + 1) T), T = 2 pi / z, from the integrator's own steps:
//   a = (z / pi) integral y cos(z t) dt,  b = (z / pi) integral y sin(z t) dt,  R = sqrt(a^2 + b^2)
// by the trapezoid rule, with y linear within the step that holds a period's end. z t stands
// for the forcing's phase theta and k T for the instant where theta = 2 pi k
// (dynamics/forcing.h). It reads the motion and never changes it.

// A period shorter than this many integrator steps is not measured.
constexpr double MEASURE_MIN_STEPS = 4.0;

// Whether forcing periods at ratio z can be measured: z > 0 and a period holds at least
// MEASURE_MIN_STEPS integrator steps of time_step.
bool period_measurable(double z);
// The largest such ratio: a forcing period of exactly MEASURE_MIN_STEPS steps.
double largest_measurable_ratio();

// Starts afresh from the state as it stands (state[0] at sim_time): at a run's start, or after
// a change of z, when the period in progress is summed but not kept, being partial.
// Nothing is measured while z <= 0 or a period is shorter than MEASURE_MIN_STEPS steps.
void reset_harmonic_measure();

// Takes in the state after one integrator step (state[0] at sim_time).
void record_harmonic_step();

// The amplitude of the last whole period into *r; false until one has passed.
bool last_measured_amplitude(double* r);

// The smallest and the largest amplitude of the last MEASURED_PERIODS whole periods (fewer
// while fewer have passed); returns how many periods they cover.
int measured_range(double* low, double* high);
