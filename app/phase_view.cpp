// The periodic orbit near the motion, and the phase plane in words.
#include "app/phase_view.h"

#include <complex>
#include <cstdio>

#include "app/console.h"
#include "core/state.h"
#include "dynamics/forcing.h"
#include "dynamics/periodic_orbit.h"

namespace {

static_assert(CLASS_SADDLE == CLASS_STABLE + static_cast<int>(ResponseClass::saddle) &&
              CLASS_NEUTRAL == CLASS_STABLE + static_cast<int>(ResponseClass::neutral));

// A multiplier in six significant digits, a complex one as "a+bi".
std::string multiplier_text(std::complex<double> m)
{
    char text[64];
    if (m.imag() == 0.0)
        std::snprintf(text, sizeof text, "%.6g", m.real());
    else
        std::snprintf(text, sizeof text, "%.6g%+.6gi", m.real(), m.imag());
    return text;
}

bool sought_for_these_parameters()
{
    return orbit_sought && found_orbit_for[0] == epsilon && found_orbit_for[1] == force_amp &&
           found_orbit_for[2] == freq_ratio;
}

}  // namespace

void seek_orbit_when_asked()
{
    if (!orbit_shown) {
        orbit_sought = false;
        return;
    }
    if (sought_for_these_parameters())
        return;
    // The time whose z t is the forcing's phase now: the same instant of the period when z has
    // changed within the run.
    const double t = forcing_phase(sim_time) / freq_ratio;
    for (const OrbitGuess guess : {OrbitGuess::motion, OrbitGuess::harmonic}) {
        found_orbit = find_periodic_orbit(epsilon, force_amp, freq_ratio, t, state, guess);
        if (found_orbit.found)
            break;
    }
    found_orbit_for[0] = epsilon;
    found_orbit_for[1] = force_amp;
    found_orbit_for[2] = freq_ratio;
    orbit_sought = true;
    console_write(orbit_text(console_language).c_str());
}

std::string orbit_text(Language language)
{
    if (!found_orbit.found)
        return text_in(language, ORBIT_NOT_FOUND);
    const Text name = static_cast<Text>(CLASS_STABLE + static_cast<int>(found_orbit.stability));
    return fill_text(text_in(language, ORBIT_FOUND),
                     {multiplier_text(found_orbit.multipliers[0]),
                      multiplier_text(found_orbit.multipliers[1]), text_in(language, name)});
}

std::string phase_values(Language language)
{
    std::string lines;
    if (orbit_shown && sought_for_these_parameters())
        lines += orbit_text(language);
    if (second_start_given)
        lines += fill_text(text_in(language, PAGE_VALUES_SECOND_START),
                           {shortest_digits(second_init[0]), shortest_digits(second_init[1])}) +
                 "\n";
    return lines;
}
