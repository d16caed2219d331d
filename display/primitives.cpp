// The platform-independent part of the drawing interface: the palette, the scene scale, the
// geometry of every shape, and the shapes made of the platform's polygons and lines.
#include "display/primitives.h"

#include <cmath>
#include <initializer_list>

const Color4 PALETTE[PALETTE_SIZE] = {
    {1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 0.0f},
    {1.0f, 0.2f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.2f, 0.0f}, {0.2f, 0.0f, 1.0f, 0.0f},
    {1.0f, 0.4f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.4f, 0.0f}, {0.4f, 0.0f, 1.0f, 0.0f},
    {1.0f, 0.6f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.6f, 0.0f}, {0.6f, 0.0f, 1.0f, 0.0f},
    {1.0f, 0.8f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.8f, 0.0f}, {0.8f, 0.0f, 1.0f, 0.0f},
    {1.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 1.0f, 0.0f},
    {1.0f, 1.0f, 0.2f, 0.0f}, {0.2f, 1.0f, 1.0f, 0.0f}, {1.0f, 0.2f, 1.0f, 0.0f},
};

double to_scene(double v)
{
    constexpr double SCENE_FACTOR = 400.0;   // multiplied in and divided out again
    return v * SCENE_FACTOR / SCENE_FACTOR;
}

namespace {

constexpr int GRID_LINE_CAPACITY = 2 * (2 * GRID_HALF_CAPACITY + 1);

// An arrow of the given length in its own frame, its point at the origin and its body along
// -x: the shaft (a quad) and the two halves of the head (triangles), vertices in drawing
// order. A short arrow gives up its shaft, never its head.
struct ArrowOutline {
    double shaft[4][2];
    double upper[3][2];
    double lower[3][2];
};

ArrowOutline arrow_outline(double length)
{
    const double L = to_scene(length);
    const double w = to_scene(ARROW_SHAFT_WIDTH);
    const double h = to_scene(ARROW_HEAD_LENGTH);
    double s = L - h;
    if (s < 0.0)
        s = 0.0;
    return ArrowOutline{
        {{-h, -0.5 * w}, {-h - s, -0.5 * w}, {-h - s, 0.5 * w}, {-h, 0.5 * w}},
        {{0.0, 0.0}, {-h, 0.0}, {-h - 0.5 * h, 0.4 * h}},
        {{0.0, 0.0}, {-h, 0.0}, {-h - 0.5 * h, -0.4 * h}},
    };
}

// The other shapes in their own frame (scene units, centre at the origin): a disc's vertices,
// counter-clockwise from +x; the cross's two lines; the grid's lines, the vertical ones first,
// each as its two ends.
void disc_outline(double radius, double vertices[DISC_SEGMENTS][2])
{
    const double r = to_scene(radius);
    const double step = 2.0 * PI / DISC_SEGMENTS;
    for (int i = 0; i < DISC_SEGMENTS; ++i) {
        const double a = i * step;
        vertices[i][0] = r * std::cos(a);
        vertices[i][1] = r * std::sin(a);
    }
}

void cross_lines(double ends[4][2])
{
    const double lines[4][2] = {
        {-CROSS_ARM, 0.0}, {CROSS_ARM, 0.0}, {0.0, -CROSS_ARM}, {0.0, CROSS_ARM}};
    for (int i = 0; i < 4; ++i) {
        ends[i][0] = lines[i][0];
        ends[i][1] = lines[i][1];
    }
}

// Fills ends with 2 (2n + 1) lines and returns that count; n is held within the capacity.
int grid_lines(int n, double spacing_x, double spacing_y, double ends[2 * GRID_LINE_CAPACITY][2])
{
    if (n > GRID_HALF_CAPACITY)
        n = GRID_HALF_CAPACITY;
    if (n < 0)
        return 0;
    const double sx = to_scene(spacing_x);
    const double sy = to_scene(spacing_y);
    const double ex = n * sx;
    const double ey = n * sy;
    int k = 0;
    for (int i = -n; i <= n; ++i, k += 2) {
        ends[k][0] = i * sx;
        ends[k][1] = -ey;
        ends[k + 1][0] = i * sx;
        ends[k + 1][1] = ey;
    }
    for (int i = -n; i <= n; ++i, k += 2) {
        ends[k][0] = -ex;
        ends[k][1] = i * sy;
        ends[k + 1][0] = ex;
        ends[k + 1][1] = i * sy;
    }
    return k / 2;
}

}  // namespace

void draw_disc(const Vec2& centre, double radius, const Color4& colour)
{
    double vertices[DISC_SEGMENTS][2];
    disc_outline(radius, vertices);
    fill_polygon(Vec2{to_scene(centre.x), to_scene(centre.y)}, 0.0, vertices, DISC_SEGMENTS,
                 colour);
}

void draw_arrow(const Vec2& tip, double length, double angle, const Color4& colour)
{
    const Vec2 at = {to_scene(tip.x), to_scene(tip.y)};
    const ArrowOutline a = arrow_outline(length);
    fill_polygon(at, angle, a.shaft, 4, colour);
    fill_polygon(at, angle, a.upper, 3, colour);
    fill_polygon(at, angle, a.lower, 3, colour);
}

void draw_cross(const Vec2& centre, double angle)
{
    double ends[4][2];
    cross_lines(ends);
    stroke_lines(Vec2{to_scene(centre.x), to_scene(centre.y)}, angle, ends, 2, CROSS_WIDTH, BLACK);
}

void draw_grid(const Vec2& centre, double angle, int n, double spacing_x, double spacing_y)
{
    double ends[2 * GRID_LINE_CAPACITY][2];
    const int lines = grid_lines(n, spacing_x, spacing_y, ends);
    stroke_lines(Vec2{to_scene(centre.x), to_scene(centre.y)}, angle, ends, lines, GRID_WIDTH,
                 BLACK);
}

void fill_rectangle(double x0, double y0, double x1, double y1, const Color4& colour)
{
    const double v[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    fill_polygon(Vec2{0.0, 0.0}, 0.0, v, 4, colour);
}

void draw_label(double x, double y, const char* text)
{
    draw_text(static_cast<float>(x), static_cast<float>(y), LABEL_FONT, text);
}

namespace {

constexpr double DASH_CLIP = 2.0;   // scene units: dashes only within the window and a margin

// The part t0 ... t1 (0 <= t0 <= t1 <= 1) of p + t (q - p) within the clip square; false when
// none is.
bool clip_to_square(const Vec2& p, const Vec2& q, double* t0, double* t1)
{
    return clip_to_box(p, q, Vec2{-DASH_CLIP, -DASH_CLIP}, Vec2{DASH_CLIP, DASH_CLIP}, t0, t1);
}

}  // namespace

bool clip_to_box(const Vec2& p, const Vec2& q, const Vec2& low, const Vec2& high, double* t0,
                 double* t1)
{
    const double d[2] = {q.x - p.x, q.y - p.y};
    const double start[2] = {p.x, p.y};
    const double sides[2][2] = {{low.x, high.x}, {low.y, high.y}};
    *t0 = 0.0;
    *t1 = 1.0;
    for (int axis = 0; axis < 2; ++axis) {
        for (int end = 0; end < 2; ++end) {
            const double side = sides[axis][end];
            const double inside = end == 0 ? start[axis] - side : side - start[axis];
            const double toward = end == 0 ? -d[axis] : d[axis];
            if (toward == 0.0) {
                if (inside < 0.0)
                    return false;
                continue;
            }
            const double t = inside / toward;
            if (toward > 0.0)
                *t1 = std::fmin(*t1, t);
            else
                *t0 = std::fmax(*t0, t);
        }
    }
    return *t0 < *t1;
}

void draw_dashed_line(const Vec2& p, const Vec2& q, const DashPattern& pattern, double* phase,
                      const Color4& colour)
{
    if (!(pattern.on > 0.0) || !(pattern.off > 0.0)) {
        draw_line(p, q, colour);
        return;
    }
    const double length = std::hypot(q.x - p.x, q.y - p.y);
    if (!std::isfinite(length) || !std::isfinite(*phase))
        return;   // nothing that could be placed, and a pattern that stays usable
    const double period = pattern.on + pattern.off;
    double t0 = 0.0;
    double t1 = 0.0;
    if (length > 0.0 && clip_to_square(p, q, &t0, &t1)) {
        double at = t0 * length;   // distance from p
        while (at < t1 * length) {
            const double into = std::fmod(*phase + at, period);
            bool dash = into < pattern.on;
            double rest = (dash ? pattern.on : period) - into;
            // A part's end closer than at's rounding (fmod of a sum lands a hair below it): the
            // next part begins here. Stopping there instead would leave the rest of the line out.
            if (!(at + rest > at)) {
                dash = !dash;
                rest = dash ? pattern.on : pattern.off;
            }
            const double end = std::fmin(t1 * length, at + rest);
            if (!(end > at))
                break;   // a remainder below the rounding of at
            if (dash) {
                const double s = at / length;
                const double e = end / length;
                draw_line(Vec2{p.x + (q.x - p.x) * s, p.y + (q.y - p.y) * s},
                          Vec2{p.x + (q.x - p.x) * e, p.y + (q.y - p.y) * e}, colour);
            }
            at = end;
        }
    }
    *phase = std::fmod(*phase + length, period);
}

void draw_ring(const Vec2& centre, double radius, float width, const Color4& fill,
               const Color4& colour)
{
    double vertices[DISC_SEGMENTS][2];
    disc_outline(radius, vertices);
    const Vec2 at = {to_scene(centre.x), to_scene(centre.y)};
    fill_polygon(at, 0.0, vertices, DISC_SEGMENTS, fill);
    double ends[2 * DISC_SEGMENTS][2];
    for (int i = 0; i < DISC_SEGMENTS; ++i) {
        const int j = (i + 1) % DISC_SEGMENTS;
        ends[2 * i][0] = vertices[i][0];
        ends[2 * i][1] = vertices[i][1];
        ends[2 * i + 1][0] = vertices[j][0];
        ends[2 * i + 1][1] = vertices[j][1];
    }
    stroke_lines(at, 0.0, ends, DISC_SEGMENTS, width, colour);
}
