// Bit-exact regression of long runs and whole curves. The stored values were printed by this
// test; a deliberate change of arithmetic updates them in the same commit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "app/state.h"
#include "display/simulation_step.h"
#include "response/amplitude_curve.h"

namespace {

struct RunCase {
    double eps, force, z, y0, v0;
    double y_1000, v_1000;  // state after 1000 frames, exact
};

void start_run(const RunCase& c)
{
    epsilon = c.eps;
    force_amp = c.force;
    freq_ratio = c.z;
    state[0] = c.y0;
    state[1] = c.v0;
    sim_time = 0.0;
    trace_index = 0;
    trace_dx = 0.005;
}

TEST(Regression, StateAfterAThousandFramesIsBitExact)
{
    const RunCase cases[] = {
        {0.1, 0.5, 1.0, 0.0, 0.0, -0x1.640f91e2d6398p+1, -0x1.c0f4f93253999p+0},
        {0.5, 0.2, 1.0, 0.0, 0.0, -0x1.4afc788c74d81p+0, -0x1.26761d11cea8ap+1},
        {1.0, 0.0, 0.0, 0.5, 0.0, 0x1.63bdf950f346p+0, -0x1.b8f96c8ab575fp-1},
        {2.0, 1.0, 0.7, 1.0, -1.0, -0x1.1e714b9aeb11ap+0, 0x1.04498fe16a643p+0},
    };
    for (const RunCase& c : cases) {
        start_run(c);
        for (int frame = 0; frame < 1000; ++frame) {
            advance_simulation();
            record_trace_samples();
        }
        EXPECT_EQ(state[0], c.y_1000) << "eps " << c.eps << ": y " << std::hexfloat << state[0];
        EXPECT_EQ(state[1], c.v_1000) << "eps " << c.eps << ": v " << std::hexfloat << state[1];
        EXPECT_NEAR(sim_time, 100.0, 1e-9);  // 5000 additions of 0.02
        EXPECT_EQ(trace_index, 1000 % 201);  // indices 1 ... 200, then 0: 201 slots a sweep
        EXPECT_EQ(trace_response[trace_index], state[0]);
        EXPECT_EQ(trace_force[trace_index], std::sin(c.z * sim_time) * c.force);
    }
}

// FNV-1a over the bytes of every sample, so that any changed bit anywhere shows.
std::uint64_t curve_hash(const ResponsePoint* curve, int count)
{
    std::uint64_t h = 1469598103934665603ull;
    const auto* bytes = reinterpret_cast<const unsigned char*>(curve);
    for (std::size_t i = 0; i < sizeof(ResponsePoint) * static_cast<std::size_t>(count); ++i) {
        h ^= bytes[i];
        h *= 1099511628211ull;
    }
    return h;
}

struct CurveCase {
    double eps, force;
    std::uint64_t hash;
    int folds;
    double fold_last_z_low;  // z_low of the last fold record, exact
};

TEST(Regression, WholeCurvesAreBitExact)
{
    const CurveCase cases[] = {
        {0.1, 0.5, 0xe83587b8dc6d7696ull, 1, 0x1.fb648ea9b6ac3p-1},
        {0.5, 0.2, 0x8e012de3b873e0ecull, 3, 0x1.fda190822ad36p-1},
        {2.0, 0.01, 0x1945fcef934f114eull, 2, 0x1.febe6d8dd00afp-1},
        {0.67, 0.01, 0x38ca99ea1d70023eull, 3, 0x1.ff2031b0c59c3p-1},
    };
    static ResponsePoint curve[CURVE_CAPACITY];
    static ResponsePoint folds[FOLD_CAPACITY];
    for (const CurveCase& c : cases) {
        epsilon = c.eps;
        force_amp = c.force;
        int count = 0;
        compute_amplitude_curve(0.005, 800, curve, &count, folds);
        EXPECT_EQ(curve_hash(curve, CURVE_CAPACITY), c.hash)
            << "eps " << c.eps << ", F " << c.force << ": hash 0x" << std::hex
            << curve_hash(curve, CURVE_CAPACITY);
        ASSERT_EQ(count, c.folds) << "eps " << c.eps << ", F " << c.force;
        if (count > 0) {
            EXPECT_EQ(folds[count - 1].z_low, c.fold_last_z_low)
                << "eps " << c.eps << ": " << std::hexfloat << folds[count - 1].z_low;
        }
    }
}

TEST(Physics, FreeOscillatorSettlesOnTheLimitCycleOfAmplitudeTwo)
{
    // Over one cycle of y = R cos t the negative damping eps (1 - y^2) y' balances exactly
    // at R = 2; for small eps the limit cycle's amplitude is 2 + O(eps^2).
    start_run({0.1, 0.0, 0.0, 0.5, 0.0, 0.0, 0.0});
    for (int frame = 0; frame < 3000; ++frame) advance_simulation();
    double peak = 0.0;
    for (int frame = 0; frame < 70; ++frame) {  // a little more than one period, 2 pi
        advance_simulation();
        peak = std::fmax(peak, std::fabs(state[0]));
    }
    EXPECT_NEAR(peak, 2.0, 0.01);
}

}  // namespace
