// Amplitude curve plotting.
#include "display/curve_plot.h"

#include "display/primitives.h"

int branch_ends[BRANCH_CAPACITY];
int branch_end_count = 0;
int branch_starts[BRANCH_CAPACITY];
int branch_start_count = 0;

namespace {

void append_index(int list[], int* count, int index)
{
    if (*count < BRANCH_CAPACITY) {
        list[*count] = index;
        *count = *count + 1;
    }
}

// Where the curve is drawn: a branch point (z, R) lies at (origin.x + scale_z z,
// origin.y + scale_amp R).
// With eps given, each piece in the style of its stability, dashes continued along the
// pieces drawn one after another.
struct Plot {
    const Vec2* origin;
    double scale_z;
    double scale_amp;
    const Color4* colour;
    const double* eps = nullptr;
    double dash_phase = 0.0;
};

// How far from stable a class is, for a piece whose two ends differ.
int instability_rank(ResponseClass c)
{
    switch (c) {
    case ResponseClass::stable: return 0;
    case ResponseClass::neutral: return 1;
    case ResponseClass::unstable: return 2;
    case ResponseClass::saddle: return 3;
    }
    return 3;
}

// The line from branch point (za, Ra) to (zb, Rb).
void draw_segment(Plot& plot, double za, double Ra, double zb, double Rb)
{
    const Vec2 from = {plot.origin->x + plot.scale_z * za, plot.origin->y + plot.scale_amp * Ra};
    const Vec2 to = {plot.origin->x + plot.scale_z * zb, plot.origin->y + plot.scale_amp * Rb};
    if (plot.eps == nullptr) {
        draw_line(from, to, *plot.colour);
        return;
    }
    const ResponseClass a = classify_response(*plot.eps, za, Ra);
    const ResponseClass b = classify_response(*plot.eps, zb, Rb);
    const CurveStyle& style =
        CLASS_STYLES[static_cast<int>(instability_rank(a) >= instability_rank(b) ? a : b)];
    draw_dashed_line(from, to, style.dash, &plot.dash_phase, style.colour);
}

// The horizontal line from the upper to the lower root of sample j, when j is a fold.
void draw_connector(Plot& plot, const ResponsePoint& sample, int j)
{
    if (j == 0 || !(sample.z_high > 0.0) || !(sample.z_low > 0.0))
        return;
    draw_segment(plot, sample.z_high, sample.amplitude, sample.z_low, sample.amplitude);
}

// Both branches, then the connectors at the folds.
void draw_curve(Plot& plot, int last, const ResponsePoint curve[])
{
    for (int i = 1; i <= last; ++i) {
        const ResponsePoint& a = curve[i - 1];
        const ResponsePoint& b = curve[i];
        if (a.z_high > 0.0 && b.z_high > 0.0)
            draw_segment(plot, a.z_high, a.amplitude, b.z_high, b.amplitude);
    }

    // Present is > 0 and absent < 0: a z_low of exactly 0 neither ends nor starts a run.
    branch_end_count = 0;
    branch_start_count = 0;
    for (int i = 1; i <= last; ++i) {
        const ResponsePoint& a = curve[i - 1];
        const ResponsePoint& b = curve[i];
        if (a.z_low > 0.0 && b.z_low > 0.0)
            draw_segment(plot, a.z_low, a.amplitude, b.z_low, b.amplitude);
        if (a.z_low > 0.0 && b.z_low < 0.0)
            append_index(branch_ends, &branch_end_count, i - 1);
        if (a.z_low < 0.0 && b.z_low > 0.0)
            append_index(branch_starts, &branch_start_count, i);
    }

    for (int k = 0; k < branch_end_count; ++k)
        draw_connector(plot, curve[branch_ends[k]], branch_ends[k]);
    for (int k = 1; k < branch_start_count; ++k)
        draw_connector(plot, curve[branch_starts[k]], branch_starts[k]);
}

}  // namespace

void draw_amplitude_curve(const Vec2* origin, double scale_z, double scale_amp, int last,
                          const ResponsePoint curve[], const Color4* colour)
{
    Plot plot = {origin, scale_z, scale_amp, colour};
    draw_curve(plot, last, curve);
}

void draw_classified_curve(const Vec2* origin, double scale_z, double scale_amp, int last,
                           const ResponsePoint curve[], double eps)
{
    Plot plot = {origin, scale_z, scale_amp, &CLASS_STYLES[0].colour, &eps};
    draw_curve(plot, last, curve);
}
