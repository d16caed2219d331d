#pragma once
// The phase plane (F6), y across and v = y' up, in place of the time traces in the left half
// of the window: the motion's trail over its last forcing periods, older parts fainter; its
// stroboscopic points; its state now; a second start beside it in a colour of its own; the
// orbits harmonic balance predicts at z, in the stability layer's style of their class, each
// with the point where it stands at the forcing's whole turns; the periodic orbit F9 found;
// axes through the origin with labelled ticks, and a legend. The labels are English: the
// window's bitmap font has Latin glyphs only (the console and the page's values panel say
// what F9 found in either language).
//
// Everything it shows was written when the motion advanced (dynamics/phase_record.h) or when
// F9's orbit was sought; the predicted orbits are harmonic balance at the values given, as the
// characteristic is. The view's scale is phase_extent: it grows when the motion leaves the
// view and never shrinks within a run.
#include "core/types.h"
#include "display/primitives.h"

// Where the plane lies in the scene: its origin, and the scene lengths of phase_extent.
constexpr double PHASE_ORIGIN_X = -0.54;
constexpr double PHASE_HALF_WIDTH = 0.39;    // y = +-phase_extent[0]
constexpr double PHASE_HALF_HEIGHT = 0.66;   // v = +-phase_extent[1]
// Forcing periods of trail shown (fewer where the trail's capacity holds fewer), in bands of
// colour from faint (oldest) to full.
constexpr int PHASE_TRAIL_PERIODS = 4;
constexpr int PHASE_TRAIL_BANDS = 8;
constexpr int PHASE_STROBE_SHOWN = 2000;     // latest stroboscopic points drawn, of each motion

constexpr Color4 TRAIL_COLOUR = BLUE;                          // the motion, and its state now
constexpr Color4 SECOND_COLOUR = {0.0f, 0.6f, 0.0f, 0.0f};     // the second start, dark green
constexpr Color4 STROBE_COLOUR = BLACK;                        // the motion's points: squares
constexpr Color4 SECOND_STROBE_COLOUR = {0.0f, 0.4f, 0.0f, 0.0f};   // the second's points
constexpr Color4 ORBIT_COLOUR = {0.0f, 0.6f, 0.8f, 0.0f};      // F9's orbit, a band of cyan

// Scene point of (y, v) at the present extent.
Vec2 phase_to_scene(double y, double v);

// The left half (x < 0) covered with the plane. Drawn after the traces, which it hides, and
// before the characteristic, whose labels reach into the left half; leaves the line width at
// the traces' (TRACE_WIDTH), as they leave it for the characteristic.
void draw_phase_plane();
