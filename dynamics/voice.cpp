// The voice: its own steps of the model, sampled by cubic Hermite interpolation.
#include "dynamics/voice.h"

#include <cmath>
#include <numbers>

#include "core/state.h"
#include "dynamics/forcing.h"
#include "dynamics/rkg_step.h"

namespace {

// One integrator step from (t0, s0) to (t1, s1), as advance_simulation takes it.
void take_step(Voice* voice)
{
    rkg_step(voice->t0, time_step, voice->s0, voice->s1, 2);
    voice->t1 = voice->t0 + time_step;
}

void take_forcing(Voice* voice)
{
    voice->forcing_changed = forcing_ratio_changed;
    voice->anchor_time = forcing_anchor_time;
    voice->anchor_phase = forcing_anchor_phase;
    voice->ratio = freq_ratio;
}

// After a change of z: the voice's times shift so that theta at its step's start is what it
// was. The model depends on t only through theta, so the motion itself goes on unchanged.
void follow_forcing(Voice* voice)
{
    if (voice->forcing_changed == forcing_ratio_changed &&
        voice->anchor_time == forcing_anchor_time && voice->anchor_phase == forcing_anchor_phase &&
        voice->ratio == freq_ratio)
        return;
    // theta at the step's start as the forcing stood when the voice last took it.
    const double theta = anchored_phase(voice->forcing_changed, voice->anchor_time,
                                        voice->anchor_phase, voice->ratio, voice->t0);
    take_forcing(voice);
    // With z = 0 theta stands still and no shift can keep it: the clock stays.
    if (freq_ratio != 0.0) {
        const double t = forcing_ratio_changed
                             ? (theta - forcing_anchor_phase) / freq_ratio + forcing_anchor_time
                             : theta / freq_ratio;
        voice->origin += t - voice->t0;
        voice->t0 = t;
    }
    take_step(voice);
}

// p(t) for the step: the cubic through y and y' = v at both ends.
double hermite_y(const Voice& voice, double t)
{
    const double h = voice.t1 - voice.t0;
    const double u = (t - voice.t0) / h;
    const double u2 = u * u;
    const double u3 = u2 * u;
    return (2.0 * u3 - 3.0 * u2 + 1.0) * voice.s0[0] + (u3 - 2.0 * u2 + u) * h * voice.s0[1] +
           (3.0 * u2 - 2.0 * u3) * voice.s1[0] + (u3 - u2) * h * voice.s1[1];
}

}  // namespace

void start_voice(Voice* voice, double t, const double s[2], double rate)
{
    voice->t0 = t;
    voice->s0[0] = s[0];
    voice->s0[1] = s[1];
    voice->origin = t;
    voice->sample = 0;
    voice->spacing = 2.0 * std::numbers::pi * VOICE_HERTZ / rate;
    take_forcing(voice);
    take_step(voice);
}

void voice_samples(Voice* voice, int count, double y[], double force[])
{
    follow_forcing(voice);
    for (int i = 0; i < count; ++i) {
        const double t = voice->origin + static_cast<double>(voice->sample) * voice->spacing;
        // A motion that left the range of numbers never reaches t: it stays where it ended.
        while (t > voice->t1 && std::isfinite(voice->s1[0]) && std::isfinite(voice->s1[1])) {
            voice->t0 = voice->t1;
            voice->s0[0] = voice->s1[0];
            voice->s0[1] = voice->s1[1];
            take_step(voice);
        }
        y[i] = t > voice->t1 ? NAN : hermite_y(*voice, t);
        if (force != nullptr)
            force[i] = std::sin(forcing_phase(t));
        ++voice->sample;
    }
}
