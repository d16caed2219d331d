// Amplitude curves: main stepping over the amplitude grid, forward refinement where the curve
// runs into a gap, backward refinement where it comes out of one, and the fold records.
#include "response/amplitude_curve.h"

#include <cmath>

#include "core/state.h"

namespace {

constexpr int SUB_STEPS = 10;  // sub-steps of a refinement, each a tenth of the grid step

// One computation's working state; the squares are taken once, so the sign of eps or F
// does not matter.
struct CurveWork {
    double eps2;
    double force2;
    double force;     // |F|, for where force2 has overflowed
    int n_steps;
    ResponsePoint* curve;
    int fold_count;
    ResponsePoint* folds;
};

// The roots where F^2 has overflowed (|F| > 1.3e154): with f = |F| / r the discriminant is
// A^2 - 1 + f^2, in which the 1 is lost, so sqrt(D) = hypot(A, f). The higher root is finite
// (about sqrt(f)); the lower, A - sqrt(D) < 0, does not exist. Where A < 0, A + sqrt(D) is
// taken as f^2 / (sqrt(D) - A), which does not cancel.
bool evaluate_huge_force(const CurveWork& w, double r, double A, ResponsePoint* sample)
{
    sample->amplitude = r;
    sample->z_low = NO_ROOT;
    sample->z_high = NO_ROOT;
    if (!std::isfinite(A))
        return true;
    const double f = w.force / r;
    if (std::isfinite(f)) {
        const double s = std::hypot(A, f);
        if (std::isfinite(s - A)) {
            const double P = A >= 0.0 ? A + s : f * (f / (s - A));
            sample->z_high = std::isinf(P) ? 2.0 * std::sqrt(A / 4.0 + s / 4.0) : std::sqrt(P);
            return true;
        }
    }
    // f, the hypotenuse or s - A past the largest double: the same at a scale of 2^-64, exact
    // for A, and undone exactly by 2^32 after the square root.
    const double as = A * 0x1p-64;
    const double fs = w.force * 0x1p-64 / r;
    if (std::isinf(fs)) {   // A is negligible beside f > 2^64 * 1.8e308
        sample->z_high = std::sqrt(w.force) / std::sqrt(r);
        return true;
    }
    const double ss = std::hypot(as, fs);
    sample->z_high = std::sqrt(as >= 0.0 ? as + ss : fs * (fs / (ss - as))) * 0x1p32;
    return true;
}

// Evaluates the harmonic balance at amplitude r (> 0) into *sample. Returns whether the
// discriminant is >= 0; a NaN discriminant (from non-finite or overflowing eps or F) counts
// as no root, so every stepping case stays decidable and the stepping always advances.
bool evaluate(const CurveWork& w, double r, ResponsePoint* sample)
{
    // Evaluated in exactly this order; the curves are compared bit for bit.
    const double q = r * r / 4.0;
    const double A = 1.0 - w.eps2 / 2.0 * (1.0 - q) * (1.0 - q);
    if (std::isinf(w.force2))
        return evaluate_huge_force(w, r, A, sample);
    const double B = 1.0 - w.force2 / (r * r);
    const double D = A * A - B;
    sample->amplitude = r;
    if (!(D >= 0.0)) {
        sample->z_high = NO_ROOT;
        sample->z_low = NO_ROOT;
        return false;
    }
    const double s = std::sqrt(D);
    const double P = A + s;
    const double M = A - s;
    sample->z_high = P > 0.0 ? std::sqrt(P) : NO_ROOT;
    sample->z_low = M > 0.0 ? std::sqrt(M) : NO_ROOT;
    return true;
}

bool has_both_roots(const ResponsePoint& p)
{
    return p.z_high > 0.0 && p.z_low > 0.0;
}

// Samples a refinement would place past the last index are dropped; the refinement itself
// runs as it would with room, so the fold records do not depend on the array's end.
void store(CurveWork& w, int index, const ResponsePoint& sample)
{
    if (index <= w.n_steps)
        w.curve[index] = sample;
}

// Fold records past the capacity are dropped; the count never exceeds it.
void append_fold(CurveWork& w, double z_high, double z_low, double r)
{
    if (w.fold_count >= FOLD_CAPACITY)
        return;
    w.folds[w.fold_count] = ResponsePoint{z_high, z_low, r};
    ++w.fold_count;
}

// The curve runs into a gap between main steps s - 1 and s. Returns the index at which main
// stepping resumes and sets *in_gap when a sub-step fell into the gap.
int refine_forward(CurveWork& w, double amp_delta, int s, bool* in_gap)
{
    double r = s * amp_delta - amp_delta;
    const double h = 0.1 * amp_delta;
    ResponsePoint last = w.curve[s - 1];
    for (int j = 0; j < SUB_STEPS; ++j) {
        r = r + h;
        ResponsePoint sample;
        if (evaluate(w, r, &sample)) {
            store(w, s + j, sample);
            last = sample;
            continue;
        }
        if (has_both_roots(last))
            append_fold(w, last.z_high, last.z_low, r);
        store(w, s + j, ResponsePoint{NO_ROOT, NO_ROOT, r});
        *in_gap = true;
        return s + j + 1;
    }
    return s + SUB_STEPS;
}

// The curve comes out of a gap between main steps s - 1 and s: walk down from s until the
// gap edge, then store the samples found in increasing amplitude. Returns the index at which
// main stepping resumes; with no sample found that is s itself, evaluated again out of the gap.
int refine_backward(CurveWork& w, double amp_delta, int s)
{
    ResponsePoint refine_buffer[SUB_STEPS];
    double r = s * amp_delta;
    const double h = 0.1 * amp_delta;
    int k = 0;
    while (k < SUB_STEPS) {
        r = r - h;
        ResponsePoint sample;
        if (evaluate(w, r, &sample)) {
            refine_buffer[k] = sample;
            k = k + 1;
            continue;
        }
        if (k >= 1 && has_both_roots(refine_buffer[k - 1]))
            append_fold(w, refine_buffer[k - 1].z_high, refine_buffer[k - 1].z_low, r);
        break;
    }
    for (int j = 0; j < k; ++j)
        store(w, s + j, refine_buffer[k - 1 - j]);
    return s + k;
}

}  // namespace

int compute_amplitude_curve(double amp_delta, int n_steps, ResponsePoint curve[],
                            int* fold_count, ResponsePoint folds[])
{
    CurveWork w{epsilon * epsilon, force_amp * force_amp, std::fabs(force_amp), n_steps, curve, 0,
                folds};
    // As R -> 0 with F != 0 the higher root grows without bound; 100 stands for it.
    curve[0] = ResponsePoint{100.0, NO_ROOT, 0.0};
    bool in_gap = false;
    int i = 1;
    while (i <= n_steps) {
        ResponsePoint sample;
        const bool root = evaluate(w, i * amp_delta, &sample);
        if (!in_gap && root) {
            curve[i] = sample;
            i = i + 1;
        } else if (!in_gap) {
            i = refine_forward(w, amp_delta, i, &in_gap);
        } else if (root) {
            // A discriminant of exactly 0 after a gap is a double root: the curve touches
            // the gap's far side there (F = 0 meets it at R = 2, the free limit cycle).
            i = refine_backward(w, amp_delta, i);
            in_gap = false;
        } else {
            curve[i] = sample;
            i = i + 1;
        }
    }
    *fold_count = w.fold_count;
    return w.fold_count;
}
