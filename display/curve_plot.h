#pragma once
// Drawing of one amplitude curve: z to the right, amplitude upward, both harmonic-balance
// branches as polylines and horizontal connectors that close the curve at its folds.
#include "core/types.h"
#include "display/primitives.h"
#include "response/stability.h"

// Room for the sample indices where the lower branch ends or starts. A curve yields at most
// three of each; further ones are dropped.
constexpr int BRANCH_CAPACITY = 4;

// Rebuilt by every draw_amplitude_curve from its lower branch: the last sample of each run
// of present z_low followed by an absent one, and the first sample of each run preceded by
// an absent one.
extern int branch_ends[BRANCH_CAPACITY];
extern int branch_end_count;
extern int branch_starts[BRANCH_CAPACITY];
extern int branch_start_count;

// Draws samples 0 ... last of curve with draw_line in colour; a branch point (z, R) lies at
// (origin.x + scale_z z, origin.y + scale_amp R). The first branch start is never connected:
// it is the foot of the lower branch, not a fold.
void draw_amplitude_curve(const Vec2* origin, double scale_z, double scale_amp, int last,
                          const ResponsePoint curve[], const Color4* colour);

// How the stability layer draws a piece of curve of each class, indexed by ResponseClass:
// stable as the plain curve, saddle dashed, unstable dotted, neutral (eps = 0) short-dashed.
struct CurveStyle {
    ResponseClass response;
    Color4 colour;
    DashPattern dash;
};
inline constexpr CurveStyle CLASS_STYLES[] = {
    {ResponseClass::stable, RED, {0.0, 0.0}},
    {ResponseClass::saddle, {0.8f, 0.0f, 0.8f, 0.0f}, {0.03, 0.015}},    // magenta dashes
    {ResponseClass::unstable, {0.8f, 0.4f, 0.0f, 0.0f}, {0.008, 0.012}}, // dark orange dots
    {ResponseClass::neutral, RED, {0.012, 0.012}},                       // red short dashes
};
static_assert(one_row_per_class(CLASS_STYLES));

// As draw_amplitude_curve, every piece in the style of its stability for eps: a piece takes
// the class of its two ends, or where they differ the one that is furthest from stable
// (saddle, then unstable, then neutral).
void draw_classified_curve(const Vec2* origin, double scale_z, double scale_amp, int last,
                           const ResponsePoint curve[], double eps);
