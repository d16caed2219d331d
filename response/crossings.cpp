// Crossings of a vertical line with the amplitude curve: linear interpolation along each
// branch, plus the caps at the folds, which belong to neither branch.
#include "response/crossings.h"

#include "core/state.h"

namespace {

// Crossings past the capacity (impossible in exact arithmetic) are dropped.
void append_crossing(double found[], int* count, double r)
{
    if (*count >= CROSSING_CAPACITY)
        return;
    found[*count] = r;
    ++*count;
}

// One branch pass: the branch is the field `ratio` of each sample.
void scan_branch(double ResponsePoint::*ratio, double z0, double found[], int* count)
{
    double prev = main_curve[0].*ratio - z0;
    for (int i = 1; i <= amp_steps; ++i) {
        const double cur = main_curve[i].*ratio - z0;
        if (main_curve[i - 1].*ratio > 0.0 && main_curve[i].*ratio > 0.0 && prev * cur < 0.0) {
            const double t = cur / (cur - prev);
            const double r_now = main_curve[i].amplitude;
            const double r_before = main_curve[i - 1].amplitude;
            append_crossing(found, count, r_now - (r_now - r_before) * t);
        }
        prev = cur;
    }
}

}  // namespace

int find_crossings(double z0, double found[])
{
    int count = 0;
    scan_branch(&ResponsePoint::z_high, z0, found, &count);
    scan_branch(&ResponsePoint::z_low, z0, found, &count);
    for (int k = 0; k < main_fold_count && k < FOLD_CAPACITY; ++k) {
        const double a = main_folds[k].z_high - z0;
        const double b = main_folds[k].z_low - z0;
        if (a * b < 0.0)
            append_crossing(found, &count, main_folds[k].amplitude);
    }
    return count;
}
