// Fuzzes the amplitude curve, its crossings, the exact responses at the ratio and the plotting's
// branch lists with arbitrary 64-bit patterns for epsilon, F and the forcing ratio, at the
// dialog's step and count.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/state.h"
#include "response/amplitude_curve.h"
#include "response/balance_roots.h"
#include "response/crossings.h"
#if VDP_FUZZ_PLOT
#include "display/curve_plot.h"
#endif

namespace {

constexpr int GUARDS = 8;
const ResponsePoint GUARD = {-7.0, -7.0, -7.0};

// The curve and fold arrays with guard records right behind them.
struct Guarded {
    ResponsePoint curve[CURVE_CAPACITY];
    ResponsePoint curve_guard[GUARDS];
    ResponsePoint folds[FOLD_CAPACITY];
    ResponsePoint fold_guard[GUARDS];
    double found[CROSSING_CAPACITY];
    double found_guard[GUARDS];
    double roots[RESPONSE_ROOT_CAPACITY];
    double roots_guard[GUARDS];
};
Guarded g;

void check(bool ok, const char* what, int index)
{
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s (index %d, eps %a, F %a)\n", what, index, epsilon,
                 force_amp);
    std::abort();
}

bool is_guard(const ResponsePoint& p)
{
    return p.z_high == GUARD.z_high && p.z_low == GUARD.z_low && p.amplitude == GUARD.amplitude;
}

double take_double(const std::uint8_t*& data, std::size_t& size)
{
    std::uint64_t bits = 0;
    const std::size_t n = size < 8 ? size : 8;
    std::memcpy(&bits, data, n);
    data += n;
    size -= n;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    epsilon = take_double(data, size);
    force_amp = take_double(data, size);
    const double z0 = take_double(data, size);
    for (auto& p : g.curve) p = {std::nan(""), std::nan(""), std::nan("")};
    for (auto& p : g.curve_guard) p = GUARD;
    for (auto& p : g.fold_guard) p = GUARD;
    for (auto& d : g.found_guard) d = -7.0;

    int count = -1;
    const int returned = compute_amplitude_curve(0.005, 800, g.curve, &count, g.folds);
    check(count == returned && count >= 0 && count <= FOLD_CAPACITY, "fold count", count);
    for (int i = 0; i <= 800; ++i) {
        const ResponsePoint& p = g.curve[i];
        check(!std::isnan(p.amplitude), "every index holds a sample", i);
        check(p.z_high > 0.0 || p.z_high == NO_ROOT, "z_high positive or NO_ROOT", i);
        check(p.z_low > 0.0 || p.z_low == NO_ROOT, "z_low positive or NO_ROOT", i);
        check(!(p.z_high > 0.0 && p.z_low > 0.0) || p.z_high >= p.z_low, "z_high >= z_low", i);
    }
    for (const auto& p : g.curve_guard) check(is_guard(p), "curve guard", 801);
    for (const auto& p : g.fold_guard) check(is_guard(p), "fold guard", FOLD_CAPACITY);

    // The crossings read the program-wide main curve.
    std::memcpy(main_curve, g.curve, sizeof main_curve);
    std::memcpy(main_folds, g.folds, sizeof main_folds);
    main_fold_count = count;
    amp_steps = 800;
    const int n = find_crossings(z0, g.found);
    check(n >= 0 && n <= CROSSING_CAPACITY, "crossing count", n);
    for (double d : g.found_guard) check(d == -7.0, "crossing guard", n);

    // The exact responses: at most the capacity, each a finite amplitude >= 0, in order (two
    // roots closer than a double's step may land on the same one).
    for (double& d : g.roots_guard) d = -7.0;
    const int roots = response_amplitudes(epsilon, force_amp, z0, g.roots);
    check(roots >= 0 && roots <= RESPONSE_ROOT_CAPACITY, "response count", roots);
    for (double d : g.roots_guard) check(d == -7.0, "response guard", roots);
    for (int i = 0; i < roots; ++i) {
        check(std::isfinite(g.roots[i]) && g.roots[i] >= 0.0, "response finite and >= 0", i);
        check(i == 0 || g.roots[i] >= g.roots[i - 1], "responses in order", i);
    }

#if VDP_FUZZ_PLOT
    // Without a current context the drawing calls do nothing; the lists are built all the same.
    const Vec2 origin{0.01, 0.0};
    const Color4 colour{1.0f, 0.0f, 0.0f, 0.0f};
    draw_amplitude_curve(&origin, 0.5, 0.25, 800, g.curve, &colour);
    check(branch_end_count >= 0 && branch_end_count <= BRANCH_CAPACITY, "branch ends", branch_end_count);
    check(branch_start_count >= 0 && branch_start_count <= BRANCH_CAPACITY, "branch starts",
          branch_start_count);
#endif
    return 0;
}
