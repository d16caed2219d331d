// The motion as sound: its level, the WAV file, the page's stream.
#include "app/sound.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/state.h"
#include "dynamics/voice.h"

namespace {

constexpr double PCM_FULL_SCALE = 32767.0;
constexpr int SOUND_CHUNK = 512;   // samples computed at once for the page

// Time units between samples at rate samples a second.
double sample_spacing(double rate)
{
    return 2.0 * std::numbers::pi * VOICE_HERTZ / rate;
}

void append_little_endian(std::string* bytes, unsigned long value, int size)
{
    for (int i = 0; i < size; ++i)
        *bytes += static_cast<char>((value >> (8 * i)) & 0xff);
}

}  // namespace

double sound_level(double y, double force_phase_sine, bool force_voice)
{
    const double m = force_voice && force_amp != 0.0 ? y + force_phase_sine : y;
    if (std::isnan(m))
        return 0.0;
    const double u = m / SOUND_FULL_AMPLITUDE;
    const double a = std::fabs(u);
    if (a <= SOUND_KNEE)
        return u;
    // Continuous in value and slope at the knee; full scale only where tanh rounds to 1.
    const double room = 1.0 - SOUND_KNEE;
    return std::copysign(SOUND_KNEE + room * std::tanh((a - SOUND_KNEE) / room), u);
}

std::int16_t pcm_sample(double level)
{
    return static_cast<std::int16_t>(std::lround(std::clamp(level, -1.0, 1.0) * PCM_FULL_SCALE));
}

long audio_samples_for_seconds(double seconds)
{
    return std::lround(seconds * AUDIO_RATE);
}

long audio_samples_for_frames(long frames)
{
    const double span = static_cast<double>(frames) * steps_per_frame * time_step;
    return static_cast<long>(std::ceil(span / sample_spacing(AUDIO_RATE)));
}

std::string wav_header(long samples)
{
    const unsigned long data = static_cast<unsigned long>(samples) * 2;
    std::string h = "RIFF";
    append_little_endian(&h, 36 + data, 4);
    h += "WAVEfmt ";
    append_little_endian(&h, 16, 4);              // the format chunk's size
    append_little_endian(&h, 1, 2);               // PCM
    append_little_endian(&h, 1, 2);               // mono
    append_little_endian(&h, AUDIO_RATE, 4);
    append_little_endian(&h, AUDIO_RATE * 2, 4);  // bytes a second
    append_little_endian(&h, 2, 2);               // bytes a sample
    append_little_endian(&h, 16, 2);              // bits a sample
    h += "data";
    append_little_endian(&h, data, 4);
    return h;
}

void append_audio_block(Voice* voice, long* next, long samples, bool force_voice,
                        std::string* bytes)
{
    const int count = static_cast<int>(std::min<long>(AUDIO_BLOCK_SAMPLES, samples - *next));
    if (count <= 0)
        return;
    std::vector<double> y(static_cast<std::size_t>(count));
    std::vector<double> force(static_cast<std::size_t>(count));
    voice_samples(voice, count, y.data(), force.data());
    for (int i = 0; i < count; ++i) {
        const std::int16_t sample = pcm_sample(sound_level(y[i], force[i], force_voice));
        append_little_endian(bytes, static_cast<std::uint16_t>(sample), 2);
    }
    *next += count;
}

void start_sound(double rate)
{
    sound_rate = rate;
    sound_run_heard = -1;
    sound_frames_heard = process_frame_count;
    sound_hold_until_ms = 0.0;
    sound_gain = 0.0;
}

void sound_block(float out[], int count, bool force_voice, double now_ms)
{
    if (sound_run_heard != runs_started) {
        start_voice(&sound_voice, sim_time, state, sound_rate);
        sound_run_heard = runs_started;
    }
    if (process_frame_count != sound_frames_heard) {
        sound_frames_heard = process_frame_count;
        sound_hold_until_ms = now_ms + SOUND_HOLD_MS;
    }
    const double target = now_ms < sound_hold_until_ms ? 1.0 : 0.0;
    const double ramp = 1000.0 / (SOUND_RAMP_MS * sound_rate);   // gain per sample
    for (int done = 0; done < count;) {
        const int n = std::min(SOUND_CHUNK, count - done);
        // Silent and staying so: the voice waits, as the motion does.
        if (sound_gain == 0.0 && target == 0.0) {
            std::fill(out + done, out + count, 0.0f);
            return;
        }
        double y[SOUND_CHUNK];
        double force[SOUND_CHUNK];
        voice_samples(&sound_voice, n, y, force);
        for (int i = 0; i < n; ++i) {
            sound_gain = target > sound_gain ? std::min(target, sound_gain + ramp)
                                             : std::max(target, sound_gain - ramp);
            const double level = sound_level(y[i], force[i], force_voice);
            out[done + i] = static_cast<float>(sound_gain * level);
        }
        done += n;
    }
}
