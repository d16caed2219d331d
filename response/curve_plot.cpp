// Amplitude curve plotting.
#include "response/curve_plot.h"

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

Vec2 plot_point(const Vec2* origin, double scale_z, double scale_amp, double z, double R)
{
    return Vec2{origin->x + scale_z * z, origin->y + scale_amp * R};
}

// The horizontal line from the upper to the lower root of sample j, when j is a fold.
void draw_connector(const Vec2* origin, double scale_z, double scale_amp,
                    const ResponsePoint& sample, int j, const Color4* colour)
{
    if (j == 0 || !(sample.z_high > 0.0) || !(sample.z_low > 0.0))
        return;
    draw_line(plot_point(origin, scale_z, scale_amp, sample.z_high, sample.amplitude),
              plot_point(origin, scale_z, scale_amp, sample.z_low, sample.amplitude), *colour);
}

}  // namespace

void draw_amplitude_curve(const Vec2* origin, double scale_z, double scale_amp, int last,
                          const ResponsePoint curve[], const Color4* colour)
{
    for (int i = 1; i <= last; ++i) {
        const ResponsePoint& a = curve[i - 1];
        const ResponsePoint& b = curve[i];
        if (a.z_high > 0.0 && b.z_high > 0.0)
            draw_line(plot_point(origin, scale_z, scale_amp, a.z_high, a.amplitude),
                      plot_point(origin, scale_z, scale_amp, b.z_high, b.amplitude), *colour);
    }

    // Present is > 0 and absent < 0: a z_low of exactly 0 neither ends nor starts a run.
    branch_end_count = 0;
    branch_start_count = 0;
    for (int i = 1; i <= last; ++i) {
        const ResponsePoint& a = curve[i - 1];
        const ResponsePoint& b = curve[i];
        if (a.z_low > 0.0 && b.z_low > 0.0)
            draw_line(plot_point(origin, scale_z, scale_amp, a.z_low, a.amplitude),
                      plot_point(origin, scale_z, scale_amp, b.z_low, b.amplitude), *colour);
        if (a.z_low > 0.0 && b.z_low < 0.0)
            append_index(branch_ends, &branch_end_count, i - 1);
        if (a.z_low < 0.0 && b.z_low > 0.0)
            append_index(branch_starts, &branch_start_count, i);
    }

    for (int k = 0; k < branch_end_count; ++k)
        draw_connector(origin, scale_z, scale_amp, curve[branch_ends[k]], branch_ends[k], colour);
    for (int k = 1; k < branch_start_count; ++k)
        draw_connector(origin, scale_z, scale_amp, curve[branch_starts[k]], branch_starts[k],
                       colour);
}
