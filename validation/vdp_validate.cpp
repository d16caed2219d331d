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
#include "validation/figures.h"
#include "validation/measure.h"

namespace {

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

constexpr int USAGE_STATUS = 2;   // exit status after a bad option
constexpr const char* USAGE_TEXT = "usage: vdp-validate [--stability [--eps E1,E2,...]]\n";

// What the check of one crossing comes to; the tallies count each.
enum Verdict { AGREE, DIFFER, NEAR_AGREE, NEAR_DIFFER, ELSEWHERE, NO_ORBIT, VERDICTS };
// Each verdict as its row ends.
constexpr const char* VERDICT_TEXT[VERDICTS] = {
    "agree", "DIFFER", "near a boundary, agree", "near a boundary, differ", "orbit elsewhere",
    "no orbit",
};

struct Tally {
    int crossings = 0;
    int count[VERDICTS] = {};
};

Verdict verdict_of(const StabilityCheck& c)
{
    if (!c.found)
        return c.orbit.found ? ELSEWHERE : NO_ORBIT;
    const bool agree = c.predicted == c.measured;
    if (c.near_boundary)
        return agree ? NEAR_AGREE : NEAR_DIFFER;
    return agree ? AGREE : DIFFER;
}

// --eps E1,E2,... into epsilons (each positive); false after printing why not.
bool parse_epsilons(int argc, char** argv, std::vector<double>* epsilons)
{
    if (argc == 0)
        return true;
    if (argc != 2 || std::strcmp(argv[0], "--eps") != 0) {
        std::fputs(USAGE_TEXT, stderr);
        return false;
    }
    epsilons->clear();
    char* end = argv[1];
    do {
        const double eps = std::strtod(end, &end);
        if (!(eps > 0.0) || (*end != ',' && *end != '\0')) {
            std::fprintf(stderr, "vdp-validate: --eps needs positive numbers, a,b,c\n");
            return false;
        }
        epsilons->push_back(eps);
    } while (*end++ == ',');
    return true;
}

void print_stability_heading()
{
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
}

// A multiplier's modulus in eight characters: fixed up to 10^5, in powers of ten above.
void print_modulus(std::complex<double> m)
{
    const double r = std::abs(m);
    std::printf(r < 1e5 ? "%8.5f  " : "%8.2e  ", r);
}

void print_stability_row(double eps, double force, double z, const StabilityCheck& c)
{
    std::printf("%6.2f  %4.2f  %4.2f  %8.5f  %-9s  ", eps, force, z, c.r,
                response_class_name(c.predicted));
    if (c.orbit.found) {
        std::printf("%9.5f  ", c.orbit.first_harmonic);
        print_modulus(c.orbit.multipliers[0]);
        print_modulus(c.orbit.multipliers[1]);
        std::printf("%-9s  ", response_class_name(c.measured));
    } else {
        std::printf("%9s  %8s  %8s  %-9s  ", "-", "-", "-", "-");
    }
    std::printf("%s\n", VERDICT_TEXT[verdict_of(c)]);
}

// Every crossing of the grid at eps: a row each, counted into both tallies.
void check_grid(double eps, Tally* mine, Tally* all)
{
    const int z_count = grid_size(STABILITY_Z_FROM, STABILITY_Z_TO, STABILITY_DZ);
    for (double force : STABILITY_FORCES) {
        for (int i = 0; i < z_count; ++i) {
            const double z = STABILITY_Z_FROM + i * STABILITY_DZ;
            StabilityCheck checks[CROSSING_CAPACITY];
            const int n = check_stability(eps, force, z, checks);
            for (int k = 0; k < n; ++k) {
                print_stability_row(eps, force, z, checks[k]);
                for (Tally* t : {mine, all}) {
                    ++t->crossings;
                    ++t->count[verdict_of(checks[k])];
                }
            }
        }
    }
}

void print_tally(const char* what, const Tally& t)
{
    const int* c = t.count;
    std::printf("%s: %d crossings, %d orbits found away from a boundary (%d agree), %d near a "
                "boundary (%d agree), %d elsewhere, %d none\n", what, t.crossings,
                c[AGREE] + c[DIFFER], c[AGREE], c[NEAR_AGREE] + c[NEAR_DIFFER], c[NEAR_AGREE],
                c[ELSEWHERE], c[NO_ORBIT]);
}

// vdp-validate --stability [--eps E1,E2,...]
int run_stability(int argc, char** argv)
{
    std::vector<double> epsilons(std::begin(STABILITY_EPSILONS), std::end(STABILITY_EPSILONS));
    if (!parse_epsilons(argc, argv, &epsilons))
        return USAGE_STATUS;
    print_stability_heading();
    Tally all;
    std::vector<Tally> per_eps(epsilons.size());
    for (std::size_t e = 0; e < epsilons.size(); ++e)
        check_grid(epsilons[e], &per_eps[e], &all);
    std::printf("\n");
    for (std::size_t e = 0; e < epsilons.size(); ++e) {
        const std::string what = "eps = " + std::to_string(epsilons[e]).substr(0, 4);
        print_tally(what.c_str(), per_eps[e]);
        std::printf("  agreement at eps = %g: %d/%d\n", epsilons[e], per_eps[e].count[AGREE],
                    per_eps[e].count[AGREE] + per_eps[e].count[DIFFER]);
    }
    print_tally("all", all);
    std::printf("agreement: %d/%d\n", all.count[AGREE], all.count[AGREE] + all.count[DIFFER]);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--stability") == 0)
        return run_stability(argc - 2, argv + 2);
    if (argc > 1) {
        std::fputs(USAGE_TEXT, stderr);
        return USAGE_STATUS;
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
