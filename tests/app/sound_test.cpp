// The motion as sound, read back from the WAV bytes: the header, the linear motion's closed
// form, a locked motion's odd harmonics and a drifting one's beat by a spectrum of our own,
// the voice against the window's motion, a change of z, and the page's stream.
#include "app/sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <numeric>
#include <string>
#include <vector>

#include "app/describe.h"
#include "app/run.h"
#include "app/sweep.h"
#include "core/state.h"
#include "dynamics/voice.h"
#include "tests/support/program_run.h"

namespace {

constexpr double PI = std::numbers::pi;
constexpr double UNITS_PER_SAMPLE = 2.0 * PI * 220.0 / 44100.0;   // angular frequency 1 = 220 Hz
constexpr double LSB = 5.0 / 32767.0;   // y per step of 16-bit sound at the fixed scale

// The WAV the command line writes for the motion as it stands: header and samples.
std::string wav_bytes(long samples, bool force_voice)
{
    Voice voice;
    start_voice(&voice, sim_time, state, AUDIO_RATE);
    std::string bytes = wav_header(samples);
    for (long next = 0; next < samples;)
        append_audio_block(&voice, &next, samples, force_voice, &bytes);
    return bytes;
}

unsigned long little_endian(const std::string& b, std::size_t at, int size)
{
    return size == 0 ? 0 : static_cast<unsigned char>(b[at]) | little_endian(b, at + 1, size - 1) << 8;
}

std::vector<double> pcm_of(const std::string& wav)
{
    std::vector<double> x;
    for (std::size_t at = 44; at + 1 < wav.size(); at += 2)
        x.push_back(static_cast<std::int16_t>(little_endian(wav, at, 2)));
    return x;
}

// Bin k of the DFT of x[first ... first + n - 1], summed directly.
std::complex<double> dft_bin(const std::vector<double>& x, std::size_t first, std::size_t n, double k)
{
    std::complex<double> sum = 0.0;
    for (std::size_t j = 0; j < n; ++j)
        sum += x[first + j] * std::polar(1.0, -2.0 * PI * k * static_cast<double>(j) / static_cast<double>(n));
    return sum;
}

// The header's every field (the command line's empty file is compared byte for byte in
// output_files_test.sh); samples for frames, t = 0 up to but not including 0.1 N.
TEST(Sound, HeaderSaysWhatFollows)
{
    start_program_run(0.1, 0.5, 1.0, 0.0, 0.0);
    const std::string wav = wav_bytes(44100, false);
    ASSERT_EQ(wav.size(), 44u + 88200u);
    EXPECT_EQ(wav.substr(0, 4) + wav.substr(8, 8) + wav.substr(36, 4), "RIFFWAVEfmt data");
    // The rest of the file; PCM's chunk of 16, PCM, mono, 44.1 kHz, bytes a second and a
    // sample, 16 bits; the data.
    const unsigned long fields[][3] = {{4, 4, 36 + 88200}, {16, 4, 16}, {20, 2, 1}, {22, 2, 1},
                                       {24, 4, 44100}, {28, 4, 88200}, {32, 2, 2}, {34, 2, 16},
                                       {40, 4, 88200}};
    for (const auto& [at, size, value] : fields)
        EXPECT_EQ(little_endian(wav, at, static_cast<int>(size)), value) << "byte " << at;
    EXPECT_EQ(audio_samples_for_frames(0), 0);
    EXPECT_EQ(audio_samples_for_frames(1000), 3191);   // 100 / 0.0313434 = 3190.5
}

// eps = 0: y = y0 cos t + (v0 - F z / (1 - z^2)) sin t + F / (1 - z^2) sin(z t), and the force
// voice adds sin(z t) at the level of amplitude 1 (3.8 at most in all: within the knee). Over
// a second (1382 time units) the integrator's phase error (about h^4/120 a unit of time) and
// the interpolation's (h^4/384 of the amplitude) stay below 1e-5 of y, 7 % of a 16-bit step:
// each sample is the closed form rounded, or one step off where the closed form lies that
// close to a rounding boundary.
TEST(Sound, LinearMotionIsTheClosedFormToTheSixteenBitStep)
{
    const double F = 0.8, z = 0.5, y0 = 1.6, v0 = -0.2;
    for (const bool force_voice : {false, true}) {
        start_program_run(0.0, F, z, y0, v0);
        const std::vector<double> x = pcm_of(wav_bytes(44100, force_voice));
        double worst = 0.0, square = 0.0;
        for (std::size_t k = 0; k < x.size(); ++k) {
            const double t = static_cast<double>(k) * UNITS_PER_SAMPLE;
            const double y = y0 * std::cos(t) + (v0 - F * z / (1.0 - z * z)) * std::sin(t) +
                             F / (1.0 - z * z) * std::sin(z * t);
            const double sound = force_voice ? y + std::sin(z * t) : y;
            worst = std::max(worst, std::fabs(x[k] - std::round(sound / LSB)));
            square += (x[k] - sound / LSB) * (x[k] - sound / LSB) / x.size();
        }
        EXPECT_LE(worst, 1.0) << "force voice " << force_voice;
        // Rounding alone leaves 1/sqrt(12) = 0.289 of a step; linear interpolation would add
        // its h^2/8 |y''| (0.42 in all) and show here.
        EXPECT_LT(std::sqrt(square), 0.30) << "force voice " << force_voice;
    }
}

// A motion locked to the force has the symmetry y(t + T/2) = -y(t): its sound has energy at
// odd multiples of the tone only. z is chosen so that a period is 200 samples exactly (a tone
// of 220.5 Hz); 20 periods after two seconds' settling, rectangular window, Parseval for the
// energy off the odd harmonics.
TEST(Sound, LockedMotionSoundsAtOddMultiplesOfItsToneOnly)
{
    const std::size_t P = 200, n = 20 * P, first = 2 * 44100;
    start_program_run(0.1, 0.5, 44100.0 / (220.0 * P), 0.0, 0.0);
    const std::vector<double> x = pcm_of(wav_bytes(static_cast<long>(first + n), false));
    double total = 0.0;
    for (std::size_t j = 0; j < n; ++j)
        total += x[first + j] * x[first + j];
    double odd = 0.0, fundamental = 0.0, even = 0.0;
    for (std::size_t h = 1; h < P / 2; ++h) {
        const double energy = 2.0 * std::norm(dft_bin(x, first, n, static_cast<double>(h * n / P))) / n;
        (h % 2 == 1 ? odd : even) += energy;
        if (h == 1)
            fundamental = energy;
    }
    EXPECT_GT(fundamental, 0.99 * total);
    EXPECT_LT(even / fundamental, 1e-6) << "even harmonics";           // 60 dB below
    EXPECT_LT((total - odd) / fundamental, 1e-6) << "off the odd harmonics";
}

// eps = 0.05, F = 0.02, z = 1.02: the swing slips against the push, and the sound's envelope
// (the peak of each cycle) beats at the drift's angular frequency times 220 Hz (about 4.3 Hz).
// The envelope's frequency: the largest peak of our own periodogram of it, Hann-windowed.
TEST(Sound, DriftingMotionBeatsAtTheMeasuredDriftFrequency)
{
    start_program_run(0.05, 0.02, 1.02, 2.0, 0.0);
    const std::vector<double> x = pcm_of(wav_bytes(4 * 44100, false));
    std::vector<double> times, peaks{0.0};
    for (std::size_t k = 44100 / 2; k < x.size(); ++k) {
        peaks.back() = std::max(peaks.back(), std::fabs(x[k]));
        if (x[k - 1] < 0.0 && x[k] >= 0.0) {
            times.push_back(static_cast<double>(k) / 44100.0);
            peaks.push_back(0.0);
        }
    }
    peaks.pop_back();
    const double mean = std::accumulate(peaks.begin(), peaks.end(), 0.0) / peaks.size();
    const double t0 = times.front(), span = times.back() - t0;
    for (std::size_t j = 0; j < times.size(); ++j)   // Hann-windowed, less the mean
        peaks[j] = (peaks[j] - mean) * (0.5 - 0.5 * std::cos(2.0 * PI * (times[j] - t0) / span));
    const auto power = [&](double f) {
        std::complex<double> sum = 0.0;
        for (std::size_t j = 0; j < times.size(); ++j)
            sum += peaks[j] * std::polar(1.0, -2.0 * PI * f * times[j]);
        return std::norm(sum);
    };
    // A grid of 0.02 Hz over 1 ... 10 Hz, then of 0.001 Hz about its best.
    double best = 1.0;
    for (double f = 1.0; f < 10.0; f += 0.02)
        best = power(f) > power(best) ? f : best;
    for (double f = best - 0.02, around = best; f < around + 0.02; f += 0.001)
        best = power(f) > power(best) ? f : best;
    // The motion's own measure, after as long a run.
    advance_frames(static_cast<long>(4.0 * 2.0 * PI * 220.0 / 0.1));
    const double drift_hz = freq_ratio * std::fabs(1.0 - motion_facts().rotation) * 220.0;
    EXPECT_NEAR(best, drift_hz, 0.02 * drift_hz);
    EXPECT_NEAR(drift_hz, 4.34, 0.1);
}

// From the motion's start the voice is the window's motion to the last bit (the same
// integrator, step and clock). Then z changes while the sound runs ahead of the picture: the
// force goes on in phase and the motion without a jump, the force's pitch changing at once.
TEST(Sound, VoiceIsTheMotionAndFollowsAChangeOfZInPhase)
{
    start_program_run(2.0, 1.0, 0.7, 0.5, -0.5);
    Voice voice;
    start_voice(&voice, sim_time, state, AUDIO_RATE);
    constexpr int N = 4000;
    double y[2 * N], force[2 * N];
    advance_frames(1000);
    while (voice.t1 < sim_time)
        voice_samples(&voice, 1, y, force);
    EXPECT_EQ(voice.t1, sim_time);
    EXPECT_EQ(voice.s1[0], state[0]) << std::hexfloat << voice.s1[0] << " " << state[0];
    EXPECT_EQ(voice.s1[1], state[1]);
    voice_samples(&voice, N, y, force);
    advance_frames(37);   // the picture far behind the voice
    change_forcing_ratio(1.5);
    voice_samples(&voice, N, y + N, force + N);
    // One sample moves the phase by at most z times the spacing, the motion by |v| (below 4
    // here) times it; the new z takes over at the start of the voice's step, up to a step
    // (0.02) before the last sample, which adds (1.5 - 0.7) 0.02 at most.
    EXPECT_LT(std::fabs(force[N] - force[N - 1]), 1.5 * UNITS_PER_SAMPLE + 0.8 * 0.02);
    EXPECT_LT(std::fabs(y[N] - y[N - 1]), 4.0 * UNITS_PER_SAMPLE);
    int rises = 0;
    for (int i = N + 1; i < 2 * N; ++i)
        rises += force[i - 1] < 0.0 && force[i] >= 0.0;
    EXPECT_NEAR(rises, 1.5 * (N - 1) * UNITS_PER_SAMPLE / (2.0 * PI), 1.0);   // the new pitch
}

// The page's stream: silent until a frame advances, then the motion's sound for SOUND_HOLD_MS,
// ramped in and out with no step larger than the sound's own (0.84 of full scale at most, by
// 2 pi 220 / 44100 a sample); the voice waits while silent, and takes a new run's state.
TEST(Sound, PageStreamPlaysWhileFramesComeAndEndsWithoutAClick)
{
    start_program_run(0.1, 0.5, 1.0, 2.0, 0.0);
    start_sound(44100.0);
    std::vector<float> out(4410, 0.0f);
    const auto block = [&out](double now_ms) {
        const float before = out.back();   // the step from the block before counts too
        sound_block(out.data(), static_cast<int>(out.size()), true, now_ms);
        float loudest = 0.0f, step = std::fabs(out[0] - before);
        for (std::size_t i = 1; i < out.size(); ++i)
            step = std::max(step, std::fabs(out[i] - out[i - 1]));
        for (const float v : out)
            loudest = std::max(loudest, std::fabs(v));
        return std::pair{loudest, step};
    };
    const double t_heard = (block(0.0), sound_voice.t0);
    EXPECT_EQ(block(100.0).first, 0.0f) << "before any frame";
    EXPECT_EQ(sound_voice.t0, t_heard) << "the voice moved while silent";
    advance_frames(1);
    const auto [loud, first_step] = block(200.0);
    EXPECT_GT(loud, 0.4f);
    EXPECT_LT(first_step, 0.05f);
    EXPECT_LT(block(200.0 + SOUND_HOLD_MS + 1.0).second, 0.05f);
    EXPECT_EQ(out.back(), 0.0f) << "ramped out";
    EXPECT_EQ(block(1000.0).first, 0.0f);
    start_program_run(0.1, 0.5, 1.0, -3.0, 0.0);
    advance_frames(1);
    sound_block(out.data(), 0, true, 2000.0);
    EXPECT_EQ(sound_voice.t0, sim_time);
    EXPECT_EQ(sound_voice.s0[0], state[0]);
}

// Beyond the knee (amplitude 4; below it the closed form above holds): continuous in value
// and slope, odd, rising, and at most full scale, never wrapped; a voice of nothing is silent.
TEST(Sound, LevelBendsSmoothlyBeyondTheKneeAndNeverWraps)
{
    force_amp = 0.0;   // no push, no force voice
    EXPECT_EQ(sound_level(1.0, 1.0, true), 0.2);
    EXPECT_NEAR(sound_level(4.0 + 1e-6, 0.0, false) - 0.8, 1e-6 / 5.0, 1e-12);
    EXPECT_EQ(sound_level(-6.0, 0.0, false), -sound_level(6.0, 0.0, false));
    EXPECT_LT(sound_level(6.0, 0.0, false), sound_level(7.0, 0.0, false));
    EXPECT_EQ(sound_level(NAN, 0.0, false), 0.0);
    EXPECT_EQ(pcm_sample(sound_level(-INFINITY, 0.0, false)), -32767);
}

}  // namespace
