// Fourth-order Runge-Kutta-Gill step in Gill's accumulator form, with the incoming
// accumulator taken as zero at every step.
#include "dynamics/rkg_step.h"

#include <cstdio>
#include <cstdlib>

#include "dynamics/vdp_model.h"

namespace {

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

    // Every stage finishes for all components before the next begins.
    for (int i = 0; i < n; ++i) {
        const GillStage s = gill_first(vdp_rhs(i, t, in) * h, in[i]);
        y1[i] = s.y;
        q1[i] = s.q;
    }
    const double t_half = 0.5 * h + t;
    for (int i = 0; i < n; ++i) {
        const GillStage s = gill_middle(vdp_rhs(i, t_half, y1) * h, {y1[i], q1[i]}, GILL_C1);
        y2[i] = s.y;
        q2[i] = s.q;
    }
    for (int i = 0; i < n; ++i) {
        const GillStage s = gill_middle(vdp_rhs(i, t_half, y2) * h, {y2[i], q2[i]}, GILL_C2);
        y3[i] = s.y;
        q3[i] = s.q;
    }
    const double t_end = t + h;
    for (int i = 0; i < n; ++i)
        out[i] = gill_last(vdp_rhs(i, t_end, y3) * h, {y3[i], q3[i]});

    for (int i = 0; i < SCRATCH_VECTORS; ++i)
        std::free(v[i]);
}
