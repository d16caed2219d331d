#pragma once
// The entrainment experiment over the characteristic: the line of F4's layer that names the
// motion's state, and what a sweep leaves (core/state.h's sweep_records): its trail, the
// measured amplitude at each ratio visited; under the legends a strip of rotation numbers on
// the characteristic's z axis, with the band where harmonic balance predicts a stable 1:1
// response shaded; and while it runs, a line saying that only some frames are drawn.
//
// The trail's two directions differ in shape, size and lightness: up large black circles, down
// small light-blue squares drawn over them; filled where locked, open otherwise. Consecutive
// ratios of one direction are joined by a line only when both are locked (or of one strobe
// period) and their amplitudes lie within TRAIL_JUMP_AMPLITUDE: a jump shows as a gap.
#include "core/types.h"

// Amplitudes further apart than this at neighbouring ratios are a jump, not a branch: at a
// step of 0.005 a stable branch moves by a few hundredths at most, a jump by a unit or so.
constexpr double TRAIL_JUMP_AMPLITUDE = 0.2;

// Whether a sweep has anything to show: one runs, or the last one left records in this run.
bool sweep_shown();

// What the state line names: while a sweep runs and has decided a ratio, the last one (its z
// into *z); else the motion's own measure (*z NaN). The page's values panel says the same.
const EntrainmentMeasure& named_measure(double* z);

// Draws what there is to show. row is the first legend row under F4's legend, shown or not:
// the state line takes it (with F4's layer, once the motion's state is decided or z has
// changed: until then, at a fixed z, F4's layer is what it always was), the sweep's legend
// the rows below, and the strip the room left above the window's lower edge.
void draw_entrainment_layer(double row);
