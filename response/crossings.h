#pragma once
// Amplitudes at which the vertical line z = z0 meets main_curve: the periodic responses that
// harmonic balance predicts at that forcing ratio.

// Reads main_curve[0 ... amp_steps], main_fold_count and main_folds. Writes the amplitudes to
// found[0 ... count - 1], upper-branch crossings first, then lower-branch, then fold caps,
// and returns count (at most CROSSING_CAPACITY; found must hold that many).
int find_crossings(double z0, double found[]);
