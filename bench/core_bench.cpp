// The dialog's whole computation (21 curves and the crossings) and one frame's integration,
// each beside the cost of its arithmetic alone; the periodic-orbit search a key runs.
#include <benchmark/benchmark.h>

#include <cmath>

#include "app/describe.h"
#include "app/dialog.h"
#include "app/sound.h"
#include "app/sweep.h"
#include "core/state.h"
#include "dynamics/entrainment_measure.h"
#include "dynamics/harmonic_measure.h"
#include "dynamics/periodic_orbit.h"
#include "dynamics/rkg_step.h"
#include "dynamics/simulation_step.h"

namespace {

void BM_DialogCurves(benchmark::State& s)
{
    epsilon = 0.1;
    force_amp = 0.5;
    freq_ratio = 1.0;
    for (auto _ : s) {
        compute_response_curves();
        benchmark::DoNotOptimize(main_curve);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DialogCurves);

// The floor of the harmonic-balance arithmetic: 21 x 800 evaluations of q, A, B, D and one
// square root each, with no case analysis, refinement, second or third root, or stores.
void BM_DialogArithmeticFloor(benchmark::State& s)
{
    volatile double eps = 0.1;
    volatile double force = 0.5;
    for (auto _ : s) {
        double sum = 0.0;
        for (int c = 0; c < 1 + 2 * FAMILY_CAPACITY; ++c) {
            const double e2 = eps * eps * (1.0 + c);
            const double f2 = force * force;
            for (int i = 1; i <= CURVE_AMP_STEPS; ++i) {
                const double r = i * CURVE_AMP_STEP;
                const double q = r * r / 4.0;
                const double A = 1.0 - e2 / 2.0 * (1.0 - q) * (1.0 - q);
                const double B = 1.0 - f2 / (r * r);
                sum += std::sqrt(std::fabs(A * A - B));
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_DialogArithmeticFloor);

// eps = 0.1, F = 0.5, z = 1 from rest, the measures started as every run starts them.
void start_frames()
{
    epsilon = 0.1;
    force_amp = 0.5;
    freq_ratio = 1.0;
    state[0] = 0.0;
    state[1] = 0.0;
    sim_time = 0.0;
    reset_harmonic_measure();
    reset_entrainment_measure();
}

void BM_FrameIntegration(benchmark::State& s)
{
    start_frames();
    for (auto _ : s) {
        advance_simulation();
        benchmark::DoNotOptimize(state);
    }
}
BENCHMARK(BM_FrameIntegration);

// The same frame without the entrainment measures (stroboscopic points, zero crossings and
// the window's measures once a period): what a frame cost before them.
void BM_FrameWithoutEntrainment(benchmark::State& s)
{
    start_frames();
    for (auto _ : s) {
        for (int i = 0; i < steps_per_frame; ++i) {
            const double start[2] = {state[0], state[1]};
            rkg_step(sim_time, time_step, start, state, 2);
            sim_time = sim_time + time_step;
            record_harmonic_step();
        }
        benchmark::DoNotOptimize(state);
    }
}
BENCHMARK(BM_FrameWithoutEntrainment);

// A frame of a sweep: the frame's advance and the sweep's judgement of the ratio, at
// eps = 0.1, F = 0.2 over 0.9 ... 1.1 (started again when it ends).
void BM_SweepFrame(benchmark::State& s)
{
    epsilon = 0.1;
    force_amp = 0.2;
    freq_ratio = 0.9;
    compute_response_curves();
    restart_run();
    for (auto _ : s) {
        if (!sweep_running)
            start_sweep(0.9, 1.1, SWEEP_DEFAULT_STEP);
        advance_frame();
        sweep_after_frame();
        benchmark::DoNotOptimize(state);
    }
}
BENCHMARK(BM_SweepFrame);

// One frame's model arithmetic alone: 5 steps x 4 stages of the acceleration, whose sine
// dominates; no scratch allocation, no stage bookkeeping.
void BM_FrameArithmeticOnly(benchmark::State& s)
{
    volatile double eps = 0.1;
    volatile double force = 0.5;
    volatile double z = 1.0;
    double y = 0.3, v = 0.1, t = 0.0;
    for (auto _ : s) {
        for (int step = 0; step < 5; ++step) {
            for (int stage = 0; stage < 4; ++stage) {
                const double a = (1.0 - y * y) * eps * v + std::sin(z * t) * force - y;
                v = v + a * 1e-9;
                y = y + v * 1e-9;
                t = t + 0.005;
            }
        }
        benchmark::DoNotOptimize(y);
    }
}
BENCHMARK(BM_FrameArithmeticOnly);

// The periodic-orbit search from a settled motion (eps = 0.1, F = 0.5, z = 1: one segment,
// one Newton step), from the harmonic solution of a strongly unstable orbit (eps = 5, F = 0.5,
// z = 0.8: 20 segments), and a search that finds nothing and ends on its budget of steps
// (eps = 5, F = 0.2, z = 0.016: 19,635 steps a period).
void BM_PeriodicOrbit(benchmark::State& s)
{
    const struct {
        double eps, force, z, y, v;
        OrbitGuess guess;
    } cases[] = {
        {0.1, 0.5, 1.0, -3.19427, 0.13587, OrbitGuess::motion},
        {5.0, 0.5, 0.8, 0.12400, 0.00893, OrbitGuess::harmonic},
        {5.0, 0.2, 0.016, 2.0, 0.0, OrbitGuess::motion},
    };
    const auto& c = cases[s.range(0)];
    const double start[2] = {c.y, c.v};
    for (auto _ : s) {
        const PeriodicOrbit o = find_periodic_orbit(c.eps, c.force, c.z, 0.0, start, c.guess);
        benchmark::DoNotOptimize(o.found);
    }
}
BENCHMARK(BM_PeriodicOrbit)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// One block of the page's sound as its ScriptProcessorNode asks for it (2048 samples, 46 ms
// at 44.1 kHz, 3,210 integrator steps), playing, with the force voice; and the sentence the
// page asks for after each frame (the measures gathered over up to 2,048 periods, then
// worded), at eps = 0.05, F = 0.02, z = 1.02 after 20,000 frames (drifting).
void start_beat()
{
    epsilon = 0.05;
    force_amp = 0.02;
    freq_ratio = 1.02;
    y_init = 2.0;
    v_init = 0.0;
    restart_run();
}

void BM_SoundBlock(benchmark::State& s)
{
    start_beat();
    start_sound(44100.0);
    float out[2048];
    for (auto _ : s) {
        ++process_frame_count;   // a frame advanced: the block plays
        sound_block(out, 2048, true, 0.0);
        benchmark::DoNotOptimize(out[2047]);
    }
}
BENCHMARK(BM_SoundBlock)->Unit(benchmark::kMicrosecond);

void BM_MotionWords(benchmark::State& s)
{
    start_beat();
    for (int i = 0; i < 20000; ++i)
        advance_frame();
    for (auto _ : s)
        benchmark::DoNotOptimize(describe_motion(motion_facts(), Language::english));
}
BENCHMARK(BM_MotionWords)->Unit(benchmark::kMicrosecond);

}  // namespace
