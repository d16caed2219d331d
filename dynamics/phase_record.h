#pragma once
// What the phase plane shows of the motion, recorded as the motion advances (core/state.h):
// the trail of every integrator step's end; a second motion from another initial state,
// stepped beside the first by the same integrator over the same steps, with its own
// stroboscopic points at the first's instants; and the view's extent, which grows when the
// motion leaves it and never shrinks within a run.
#include <span>

#include "core/types.h"

// The view's extent holds every value with this share to spare.
constexpr double PHASE_MARGIN = 1.1;

// The smallest of 1, 1.5, 2, 2.5, 3, 4, 5, 6 and 8 times a power of ten at or above x > 0; x
// where that is not finite.
double nice_extent(double x);

// Grows phase_extent so that (y, v) lies inside it with PHASE_MARGIN to spare; a value that is
// not finite, or would take the extent to infinity, leaves it.
void widen_phase_extent(double y, double v);

// At a run's start: the extent around the initial states and what the motion is expected to
// reach (the free cycle's amplitude 2 and the crossings' amplitudes; v: z times those), the
// second start at its initial state (second_init) where one is given, no trail, no points of
// it, no orbit sought.
void reset_phase_record();

// Takes in the integrator step of time_step that began at t0 and ended at sim_time: the second
// motion's step and, where the first took a stroboscopic point in it (strobe_count had been
// strobe_before), the second's point at the same instant into the same slot; then the trail's
// sample and the extent.
void record_phase_step(double t0, long strobe_before);

// The latest n trail samples (fewer when fewer are held), oldest first.
std::span<const PhaseSample> recent_phase_trail(long n);

// The second start's points beside recent_strobe_points(n), in the same order.
std::span<const StrobePoint> recent_second_points(long n);
