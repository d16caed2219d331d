#pragma once
// The phase plane's parts that draw nothing: the periodic orbit near the motion that F9 (the
// orbit layer) asks for, and what the console and the page's values panel say of it and of the
// second start.
#include <string>

#include "app/texts.h"

// While the orbit layer is on: seeks the periodic orbit of the forcing period near the motion
// as it stands (found_orbit), once after the layer is turned on and again after the model's
// parameters change, and writes orbit_text to the console. The motion itself is the first
// guess; where Newton's method fails from it, the harmonic motion through the same state.
// Turning the layer off forgets the search, so the next F9 seeks afresh.
void seek_orbit_when_asked();

// found_orbit in a line: its two multipliers and its class, or "not found".
std::string orbit_text(Language language);

// The lines the phase plane adds to the values panel, each ending in a line end: the orbit
// while the orbit layer is on, the second start where one runs.
std::string phase_values(Language language);
