// vdp-validate: runs the simulator's integrator headless and prints how the motion compares
// with first-harmonic balance, the basis of the amplitude curves in the window. Without
// options, the guide's tables; with --stability, the stability layer against the motion.
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <iterator>
#include <numbers>

#include "core/state.h"
#include "validation/measure.h"

namespace {

constexpr double PUBLISHED_PERIOD_EPS1 = 6.6632868593;     // free limit cycle, eps = 1
constexpr double PUBLISHED_AMPLITUDE_EPS1 = 2.0086198609;
constexpr double FINE_STEP = 0.005;
constexpr double FREE_SETTLE_TIME = 200.0;     // time units before the crossings are taken
constexpr int SETTLE_PERIODS = 300;            // forcing periods before the samples are judged
constexpr int BAND_SETTLE_PERIODS = 200;
constexpr double BAND_FORCE = 0.2;
constexpr double BAND_Z_FROM = 0.25;
constexpr double BAND_Z_TO = 1.20;
constexpr double BAND_DZ = 0.01;

struct ForcedCase {
    double eps;
    double force;
    double z;
};

const double FREE_EPSILONS[] = {0.1, 0.5, 1.0, 2.0, 5.0, 10.0};
const double BAND_EPSILONS[] = {0.1, 0.5, 1.0, 2.0, 5.0, 10.0};

const ForcedCase SMALL_EPS_CASES[] = {
    {0.1, 0.5, 1.0}, {0.1, 0.5, 0.9}, {0.1, 0.5, 1.1}, {0.1, 0.1, 1.0}, {0.1, 0.1, 0.98},
    {0.2, 0.1, 1.0}, {0.2, 0.1, 0.98}, {0.2, 0.2, 1.0}, {0.1, 0.5, 0.5}, {0.1, 0.5, 1.2},
    {0.2, 0.1, 1.05},
};
const ForcedCase LARGE_EPS_CASES[] = {
    {0.5, 0.2, 1.0}, {0.5, 0.5, 1.0}, {1.0, 0.2, 1.0}, {1.0, 0.2, 0.94}, {1.0, 0.5, 1.0},
    {2.0, 0.2, 1.0}, {2.0, 0.2, 0.82}, {2.0, 0.5, 1.0}, {5.0, 0.2, 1.0}, {5.0, 0.2, 0.54},
};
// Past the upper fold: the start stands for the amplitude the motion had just inside the band,
// as in a slow sweep of z.
const ForcedCase PAST_FOLD_CASES[] = {{0.2, 0.1, 1.05}, {0.1, 0.5, 1.2}};
constexpr double PAST_FOLD_START = 2.2;

char verdict_letter(HbVerdict v)
{
    if (v == HB_STABLE)
        return 'S';
    return v == HB_SADDLE ? 'x' : 'u';
}

void print_free_table()
{
    std::printf("1. Free oscillator (F = 0) from (2, 0), after t = %.0f; harmonic balance: "
                "period 2 pi = %.10f, amplitude 2\n\n", FREE_SETTLE_TIME, 2.0 * std::numbers::pi);
    std::printf("  eps   period h=0.02   period h=0.005  amplitude h=0.02  amplitude h=0.005"
                "  freq 2pi/T  last-period change\n");
    for (double eps : FREE_EPSILONS) {
        const FreeCycle w = measure_free_cycle(eps, FRAME_TIME_STEP, FREE_SETTLE_TIME);
        const FreeCycle f = measure_free_cycle(eps, FINE_STEP, FREE_SETTLE_TIME);
        std::printf("%5.1f  %14.10f  %14.10f  %15.10f  %16.10f  %10.6f  %9.1e\n", eps, w.period,
                    f.period, w.amplitude, f.amplitude, 2.0 * std::numbers::pi / w.period,
                    w.period_change);
    }
    const FreeCycle w = measure_free_cycle(1.0, FRAME_TIME_STEP, FREE_SETTLE_TIME);
    const FreeCycle f = measure_free_cycle(1.0, FINE_STEP, FREE_SETTLE_TIME);
    std::printf("\n  eps = 1 against the published %.10f and %.10f:\n", PUBLISHED_PERIOD_EPS1,
                PUBLISHED_AMPLITUDE_EPS1);
    std::printf("    h = 0.02:  period %+.2e  amplitude %+.2e\n", w.period - PUBLISHED_PERIOD_EPS1,
                w.amplitude - PUBLISHED_AMPLITUDE_EPS1);
    std::printf("    h = 0.005: period %+.2e  amplitude %+.2e\n\n", f.period - PUBLISHED_PERIOD_EPS1,
                f.amplitude - PUBLISHED_AMPLITUDE_EPS1);
}

// One row: the simulated motion from (y0, 0) and the window's crossings for the same input.
void print_forced_row(const ForcedCase& c, double y0)
{
    const ForcedResponse r = measure_forced_response(c.eps, c.force, c.z, y0, 0.0, SETTLE_PERIODS);
    double found[CROSSING_CAPACITY];
    const int n = hb_crossings(c.eps, c.force, c.z, found);
    std::printf("%5.2f %4.2f %5.2f  %-3s %8.1e  %8.5f %8.5f  ", c.eps, c.force, c.z,
                r.locked ? "yes" : "no", r.strobe_move, r.first_harmonic, r.peak);
    double stable = 0.0;
    for (int k = 0; k < n; ++k) {
        const HbVerdict v = hb_verdict(c.eps, c.z, found[k]);
        std::printf(" %.5f%c", found[k], verdict_letter(v));
        if (v == HB_STABLE)
            stable = found[k];
    }
    for (int k = n; k < 3; ++k)
        std::printf("         ");
    if (r.locked && stable > 0.0)
        std::printf("  %+6.2f %%", 100.0 * (r.first_harmonic - stable) / stable);
    std::printf("\n");
}

void print_forced_table(const char* title, const ForcedCase cases[], int count, double y0)
{
    std::printf("%s, from (%.1f, 0), step <= 0.02\n\n", title, y0);
    std::printf("  eps    F     z  lock  strobe    1st harm     peak   harmonic-balance crossings"
                "     1st harm vs S\n");
    for (int i = 0; i < count; ++i)
        print_forced_row(cases[i], y0);
    std::printf("\n");
}

void print_orbit_table(double eps, double force, double z)
{
    double found[CROSSING_CAPACITY];
    const int n = hb_crossings(eps, force, z, found);
    std::printf("  eps = %.1f, F = %.1f, z = %.1f:\n", eps, force, z);
    for (int k = 0; k < n; ++k) {
        const PeriodicOrbit o = orbit_at_crossing(eps, force, z, found[k]);
        const HbVerdict v = hb_verdict(eps, z, found[k]);
        std::printf("    R %.5f %c  orbit 1st harm %.5f  multipliers %8.5f%+8.5fi %8.5f%+8.5fi"
                    "  (|%.5f|, |%.5f|)  %s\n", found[k], verdict_letter(v), o.first_harmonic,
                    o.multipliers[0].real(), o.multipliers[0].imag(), o.multipliers[1].real(),
                    o.multipliers[1].imag(), std::abs(o.multipliers[0]),
                    std::abs(o.multipliers[1]),
                    o.found ? response_class_name(o.stability) : "not found");
        double start[2];
        hb_start_state(eps, force, z, found[k], start);
        const ForcedResponse r = measure_forced_response(eps, force, z, start[0], start[1],
                                                         SETTLE_PERIODS);
        std::printf("      started there (%.5f, %.5f): settles %s on 1st harm %.5f\n", start[0],
                    start[1], r.locked ? "locked" : "unlocked", r.first_harmonic);
    }
}

void print_band_table()
{
    std::printf("5. Locking band for F = %.1f: z = %.2f ... %.2f in steps of %.2f, each run from "
                "rest\n\n", BAND_FORCE, BAND_Z_FROM, BAND_Z_TO, BAND_DZ);
    std::printf("  eps   free freq   simulated band   centre  gaps   harmonic balance  centre\n");
    for (double eps : BAND_EPSILONS) {
        const FreeCycle c = measure_free_cycle(eps, FRAME_TIME_STEP, FREE_SETTLE_TIME);
        const LockingBand r = scan_locking_band(eps, BAND_FORCE, BAND_Z_FROM, BAND_Z_TO, BAND_DZ,
                                                BAND_SETTLE_PERIODS);
        const LockingBand h = scan_hb_band(eps, BAND_FORCE, BAND_Z_FROM, BAND_Z_TO, BAND_DZ);
        std::printf("%5.1f  %9.5f   %.2f ... %.2f   %6.3f  %4d    %.2f ... %.2f   %6.3f\n", eps,
                    2.0 * std::numbers::pi / c.period, r.z_first, r.z_last,
                    0.5 * (r.z_first + r.z_last), r.gaps, h.z_first, h.z_last,
                    0.5 * (h.z_first + h.z_last));
    }
}

// The stability check's grid: every eps with every F, z from Z_FROM to Z_TO.
const double STABILITY_EPSILONS[] = {0.05, 0.1, 0.2};
const double STABILITY_FORCES[] = {0.05, 0.1, 0.2, 0.5};
constexpr double STABILITY_Z_FROM = 0.8;
constexpr double STABILITY_Z_TO = 1.2;
constexpr double STABILITY_DZ = 0.02;
constexpr int STABILITY_USAGE = 2;   // exit status after a bad option
constexpr const char* STABILITY_USAGE_TEXT =
    "usage: vdp-validate [--stability [--eps E1,E2,...]]\n";

// Tallies of the stability check: crossings, orbits that belong to another crossing, orbits
// found away from the boundaries and agreeing there, orbits found near a boundary and
// agreeing there.
struct Tally {
    int crossings = 0;
    int elsewhere = 0;
    int found = 0;
    int agree = 0;
    int near_found = 0;
    int near_agree = 0;
};

void add_check(const StabilityCheck& c, Tally* t)
{
    ++t->crossings;
    t->elsewhere += !c.found && c.orbit.found ? 1 : 0;
    if (!c.found)
        return;
    const bool agree = c.predicted == c.measured;
    if (c.near_boundary) {
        ++t->near_found;
        t->near_agree += agree ? 1 : 0;
    } else {
        ++t->found;
        t->agree += agree ? 1 : 0;
    }
}

const char* verdict_text(const StabilityCheck& c)
{
    if (!c.found)
        return c.orbit.found ? "orbit elsewhere" : "no orbit";
    if (c.near_boundary)
        return c.predicted == c.measured ? "near a boundary, agree" : "near a boundary, differ";
    return c.predicted == c.measured ? "agree" : "DIFFER";
}

void print_tally(const char* what, const Tally& t)
{
    std::printf("%s: %d crossings, %d orbits found away from a boundary (%d agree), %d near a "
                "boundary (%d agree), %d elsewhere, %d none\n", what, t.crossings, t.found,
                t.agree, t.near_found, t.near_agree, t.elsewhere,
                t.crossings - t.found - t.near_found - t.elsewhere);
}

// vdp-validate --stability [--eps E1,E2,...]
int run_stability(int argc, char** argv)
{
    std::vector<double> epsilons(std::begin(STABILITY_EPSILONS), std::end(STABILITY_EPSILONS));
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--eps") == 0 && i + 1 < argc) {
            epsilons.clear();
            char* end = argv[++i];
            do {
                const double eps = std::strtod(end, &end);
                if (!(eps > 0.0) || (*end != ',' && *end != '\0')) {
                    std::fprintf(stderr, "vdp-validate: --eps needs positive numbers, a,b,c\n");
                    return STABILITY_USAGE;
                }
                epsilons.push_back(eps);
            } while (*end++ == ',');
        } else {
            std::fputs(STABILITY_USAGE_TEXT, stderr);
            return STABILITY_USAGE;
        }
    }
    const int z_count =
        static_cast<int>(std::floor((STABILITY_Z_TO - STABILITY_Z_FROM) / STABILITY_DZ + 0.5)) + 1;
    std::printf("Stability along the curve against the periodic orbits of the motion\n");
    std::printf("Each crossing's class by harmonic balance (the F3 layer) beside the class of the "
                "periodic orbit that\nNewton's method on the once-per-period map (by multiple "
                "shooting) finds from it (stable: both\nmultipliers inside the unit circle, "
                "saddle: one outside, unstable: both outside). Found: converged,\nfirst harmonic "
                "within %.0f %% of the crossing and nearer to it than to any other crossing; "
                "elsewhere:\nconverged to an orbit further away; none: Newton's method did not "
                "converge. Near a boundary: within\n%.0f %% of a fold or of sqrt 2.\n\n",
                100.0 * ORBIT_NEAR_SHARE, 100.0 * BOUNDARY_SHARE);
    std::printf("   eps     F     z  crossing  layer      orbit 1st  |mult 1|  |mult 2|  orbit"
                "      verdict\n");
    Tally all;
    std::vector<Tally> per_eps(epsilons.size());
    for (std::size_t e = 0; e < epsilons.size(); ++e) {
        for (double force : STABILITY_FORCES) {
            for (int i = 0; i < z_count; ++i) {
                const double z = STABILITY_Z_FROM + i * STABILITY_DZ;
                StabilityCheck checks[CROSSING_CAPACITY];
                const int n = check_stability(epsilons[e], force, z, checks);
                for (int k = 0; k < n; ++k) {
                    const StabilityCheck& c = checks[k];
                    std::printf("%6.2f  %4.2f  %4.2f  %8.5f  %-9s  ", epsilons[e], force, z, c.r,
                                response_class_name(c.predicted));
                    if (c.orbit.found)
                        std::printf("%9.5f  %8.5f  %8.5f  %-9s  ", c.orbit.first_harmonic,
                                    std::abs(c.orbit.multipliers[0]), std::abs(c.orbit.multipliers[1]),
                                    response_class_name(c.measured));
                    else
                        std::printf("%9s  %8s  %8s  %-9s  ", "-", "-", "-", "-");
                    std::printf("%s\n", verdict_text(c));
                    add_check(c, &all);
                    add_check(c, &per_eps[e]);
                }
            }
        }
    }
    std::printf("\n");
    for (std::size_t e = 0; e < epsilons.size(); ++e) {
        const std::string what = "eps = " + std::to_string(epsilons[e]).substr(0, 4);
        print_tally(what.c_str(), per_eps[e]);
        std::printf("  agreement at eps = %g: %d/%d\n", epsilons[e], per_eps[e].agree,
                    per_eps[e].found);
    }
    print_tally("all", all);
    std::printf("agreement: %d/%d\n", all.agree, all.found);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--stability") == 0)
        return run_stability(argc - 2, argv + 2);
    if (argc > 1) {
        std::fputs(STABILITY_USAGE_TEXT, stderr);
        return STABILITY_USAGE;
    }

    std::printf("Forced Van der Pol oscillator: simulation against first-harmonic balance\n");
    std::printf("Locked: %d stroboscopic samples, one per forcing period, each within %.0e of "
                "the one before.\n", STROBE_SAMPLES, LOCK_TOLERANCE);
    std::printf("Crossings as the window marks them; S stable, u below the sqrt 2 level, "
                "x saddle (by harmonic balance).\n\n");
    print_free_table();
    print_forced_table("2. Forced, small eps", SMALL_EPS_CASES,
                       static_cast<int>(std::size(SMALL_EPS_CASES)), 0.0);
    print_forced_table("3. Forced, larger eps", LARGE_EPS_CASES,
                       static_cast<int>(std::size(LARGE_EPS_CASES)), 0.0);
    std::printf("4. Periodic orbits of the forcing period at each crossing (Newton's method on "
                "the stroboscopic map, started from the harmonic-balance solution)\n\n");
    print_orbit_table(0.5, 0.2, 1.0);
    print_orbit_table(0.2, 0.1, 1.0);
    std::printf("\n");
    print_band_table();
    std::printf("\n");
    print_forced_table("6. Just past the fold, started near the former upper response",
                       PAST_FOLD_CASES, static_cast<int>(std::size(PAST_FOLD_CASES)),
                       PAST_FOLD_START);
    return 0;
}
