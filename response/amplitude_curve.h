#pragma once
// Amplitude-frequency characteristic of the forced Van der Pol oscillator by first-harmonic
// balance: (1 - z^2)^2 + eps^2 z^2 (1 - R^2/4)^2 = F^2 / R^2, solved for z at each amplitude R.
#include "core/types.h"

// Fills curve[0 ... n_steps] with samples at amplitudes stepping by amp_delta from 0 upward,
// refining tenfold at every gap edge, and folds[0 ... count - 1] with the fold records
// (at most FOLD_CAPACITY). Reads epsilon and force_amp. Stores the fold count through
// fold_count and returns it. curve must hold n_steps + 1 samples; nothing is written past it.
int compute_amplitude_curve(double amp_delta, int n_steps, ResponsePoint curve[],
                            int* fold_count, ResponsePoint folds[]);
