#pragma once
// Advances n state components from t to t + h by one Runge-Kutta-Gill step of the forced
// Van der Pol model. in and out may be the same array. Prints "memory overflow\n" on
// standard output and ends the process with status 1 if its scratch vectors cannot be had.
void rkg_step(double t, double h, const double in[], double out[], int n);

// Gill's constants as stored decimals; the rounding shows in long runs and is the one in use.
constexpr double GILL_C1 = 0.292893219;  // 1 - sqrt(1/2), nine decimals
constexpr double GILL_C2 = 1.70710678;   // 1 + sqrt(1/2), eight decimals
constexpr double GILL_C3 = 0.16666667;   // 1/6, eight decimals

// One component through the step's stages, in Gill's accumulator form with the incoming
// accumulator taken as zero: k is the stage's rate times h, y the stage's value, q its
// accumulator. Each line evaluated left to right, products before the sum: long runs are
// compared bit for bit. Inline, for the lanes of the locking map too.
struct GillStage {
    double y;
    double q;
};
inline GillStage gill_first(double k, double y0)
{
    const double r = 0.5 * k;
    return {r + y0, 3.0 * r - 0.5 * k};
}
// The second stage with c = GILL_C1, the third with c = GILL_C2.
inline GillStage gill_middle(double k, GillStage p, double c)
{
    const double r = (k - p.q) * c;
    return {r + p.y, 3.0 * r + p.q - c * k};
}
inline double gill_last(double k, GillStage p)
{
    const double r = (k - 2.0 * p.q) * GILL_C3;
    return r + p.y;
}
