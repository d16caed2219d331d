#pragma once
// The motion as sound, the same on both platforms: y(t) from a voice (dynamics/voice.h) at a
// fixed level, optionally with the force as a second voice; a WAV file of it for the command
// line, and the page's stream of it, which plays while the motion advances.
//
// Level: a fixed scale, so that a change of amplitude is heard as one. A response of amplitude
// SOUND_FULL_AMPLITUDE would reach full scale; up to SOUND_KNEE of it (amplitude 4, the top of
// the plot) the sound is y itself, and beyond the knee it bends smoothly (tanh, continuous in
// value and slope) towards full scale, which only amplitudes past about 9 reach: never
// clipped, never wrapped. The bend is odd, as the motion's symmetry is, so it adds no even
// harmonics. The force voice is sin(theta) at the level of a response of amplitude 1, whatever
// F (a weak push is heard as well as a strong one), silent where F = 0.
#include <cstdint>
#include <string>

#include "core/types.h"

constexpr int AUDIO_RATE = 44100;               // samples a second of the WAV file
constexpr double SOUND_FULL_AMPLITUDE = 5.0;    // the amplitude of y at full scale
constexpr double SOUND_KNEE = 0.8;              // of full scale: linear up to here
constexpr int MAX_AUDIO_SECONDS = 600;          // the longest --seconds (53 MB of WAV)
constexpr double AUDIO_DEFAULT_SECONDS = 5.0;   // without --seconds or --frames
constexpr int WAV_HEADER_BYTES = 44;
constexpr int AUDIO_BLOCK_SAMPLES = 1 << 15;    // samples appended per block

// The sound of y and of the forcing's sin(theta), as a fraction of full scale in (-1, 1);
// 0 where y is not a number.
double sound_level(double y, double force_phase_sine, bool force_voice);

// A level as a 16-bit sample: rounded to the nearest of -32767 ... 32767.
std::int16_t pcm_sample(double level);

// Samples in a sound of seconds, and in the frames 0 ... frames of the motion (the span of
// time they advance, t = 0 up to but not including frames * 0.1).
long audio_samples_for_seconds(double seconds);
long audio_samples_for_frames(long frames);

// The 44 bytes of a WAV file's header: PCM, mono, AUDIO_RATE, 16 bits, of `samples` samples.
std::string wav_header(long samples);

// The next samples of voice, from sample *next up to `samples` in all, as 16-bit PCM, little
// endian, appended to bytes, AUDIO_BLOCK_SAMPLES at most per call; *next moves past them.
void append_audio_block(Voice* voice, long* next, long samples, bool force_voice,
                        std::string* bytes);

// ---- The page's sound, in sound_voice and sound_* (core/state.h).

// The time the sound plays on after each frame advanced, and the ramps of its starts and ends.
constexpr double SOUND_HOLD_MS = 250.0;   // a key's repeat or the Run clock keeps it going
constexpr double SOUND_RAMP_MS = 20.0;    // from silence to full and back: no click

// The sound starts (silent, ramping up once frames advance) at `rate` samples a second: the
// voice takes the motion as it stands at its first block.
void start_sound(double rate);

// The next count samples of the page's sound, as levels (sound_level), at now_ms (the page's
// steady clock). A frame advanced since the last block lets it play for SOUND_HOLD_MS; after
// that it ramps down and stands still, the voice waiting where it stopped. A new run (the
// dialog, the page started again) makes the voice take the motion's new state; a change of z
// it follows in phase.
void sound_block(float out[], int count, bool force_voice, double now_ms);
