#pragma once
// The parts of a frame that compute and draw nothing: advancing the motion and recording the
// newest trace samples. Kept apart from the drawing so that long runs need no window.

// Advances state and sim_time by steps_per_frame integrator steps of time_step; the
// first-harmonic and the entrainment measures and the phase plane's record take in each step.
void advance_simulation();

// Advances trace_index, wrapping to 0 past trace_len (and never past the last slot of a row),
// and stores y and the force F sin(theta) (dynamics/forcing.h) at that index.
void record_trace_samples();

// Everything one frame changes, in the frame's order, without drawing: the advance, the
// picture's scale (the traces' until now), the trace scales taken from amp_scale, the trace
// samples.
void advance_frame();
