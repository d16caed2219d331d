// The oscillator picture and the time traces.
#include "display/picture.h"

#include "core/state.h"
#include "display/primitives.h"

namespace {

constexpr double END_RADIUS = 0.01;    // the two fixed ends of the string
constexpr double MASS_RADIUS = 0.04;

void draw_trace(const Vec2& origin, double dx, double scale, int count, const double values[],
                const Color4& colour)
{
    set_line_width(TRACE_WIDTH);
    Vec2 from = {origin.x, scale * values[0] + origin.y};
    for (int i = 1; i <= count; ++i) {
        const Vec2 to = {from.x + dx, scale * values[i] + origin.y};
        draw_line(from, to, colour);
        from = to;
    }
}

}  // namespace

void draw_oscillator(const Vec2& left, double scale, int n, const double values[])
{
    const double step = (picture_right_x - left.x) / (n + 1);
    const Vec2 right = {picture_right_x, left.y};

    Vec2 from = left;
    for (int i = 0; i < n; ++i) {
        const Vec2 to = {from.x + step, scale * values[i] + left.y};
        draw_line(from, to, RED);
        from = to;
    }
    draw_line(from, right, RED);

    draw_disc(left, END_RADIUS, RED);
    draw_disc(right, END_RADIUS, RED);

    // The masses last, over the string and its ends.
    double x = left.x;
    for (int i = 0; i < n; ++i) {
        x = x + step;
        const Vec2 centre = {x, scale * values[i] + left.y};
        draw_disc(centre, MASS_RADIUS, PALETTE[i]);
    }
    flush_drawing();
}

void draw_traces(const Vec2& origin, double dx, const double scales[], int rows, int count,
                 const double histories[], int row_length)
{
    for (int i = 0; i < rows; ++i)
        draw_trace(origin, dx, scales[i], count, histories + i * row_length, PALETTE[i]);
}
