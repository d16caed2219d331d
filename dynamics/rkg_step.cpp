// Fourth-order Runge-Kutta-Gill step in Gill's accumulator form, with the incoming
// accumulator taken as zero at every step.
#include "dynamics/rkg_step.h"

#include <cstdio>
#include <cstdlib>

#include "dynamics/vdp_model.h"

namespace {

// Gill's constants as stored decimals; the rounding shows in long runs and is the one in use.
constexpr double GILL_C1 = 0.292893219;  // 1 - sqrt(1/2), nine decimals
constexpr double GILL_C2 = 1.70710678;   // 1 + sqrt(1/2), eight decimals
constexpr double GILL_C3 = 0.16666667;   // 1/6, eight decimals

constexpr int SCRATCH_VECTORS = 6;  // y1, y2, y3, q1, q2, q3

// Obtains the six zero-filled scratch vectors in order. On the first failure the ones not yet
// requested are not requested, those obtained are released, and the process ends.
void obtain_scratch(double* v[SCRATCH_VECTORS], int n)
{
    for (int i = 0; i < SCRATCH_VECTORS; ++i) {
        v[i] = static_cast<double*>(std::calloc(static_cast<std::size_t>(n), sizeof(double)));
        if (v[i] != nullptr)
            continue;
        for (int j = 0; j < i; ++j)
            std::free(v[j]);
        std::printf("memory overflow\n");
        std::exit(1);  // exit flushes stdout
    }
}

}  // namespace

void rkg_step(double t, double h, const double in[], double out[], int n)
{
    double* v[SCRATCH_VECTORS];
    obtain_scratch(v, n);
    double* y1 = v[0];
    double* y2 = v[1];
    double* y3 = v[2];
    double* q1 = v[3];
    double* q2 = v[4];
    double* q3 = v[5];

    // Each line evaluated left to right, products before the sum: long runs are compared
    // bit for bit. Every stage finishes for all components before the next begins.
    for (int i = 0; i < n; ++i) {
        const double k = vdp_rhs(i, t, in) * h;
        const double r = 0.5 * k;
        y1[i] = r + in[i];
        q1[i] = 3.0 * r - 0.5 * k;
    }
    const double t_half = 0.5 * h + t;
    for (int i = 0; i < n; ++i) {
        const double k = vdp_rhs(i, t_half, y1) * h;
        const double r = (k - q1[i]) * GILL_C1;
        y2[i] = r + y1[i];
        q2[i] = 3.0 * r + q1[i] - GILL_C1 * k;
    }
    for (int i = 0; i < n; ++i) {
        const double k = vdp_rhs(i, t_half, y2) * h;
        const double r = (k - q2[i]) * GILL_C2;
        y3[i] = r + y2[i];
        q3[i] = 3.0 * r + q2[i] - GILL_C2 * k;
    }
    const double t_end = t + h;
    for (int i = 0; i < n; ++i) {
        const double k = vdp_rhs(i, t_end, y3) * h;
        const double r = (k - 2.0 * q3[i]) * GILL_C3;
        out[i] = r + y3[i];
    }

    for (int i = 0; i < SCRATCH_VECTORS; ++i)
        std::free(v[i]);
}
