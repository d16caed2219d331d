// The platform-independent part of the drawing interface: the palette, the scene scale and
// the arrow's outline.
#include "display/primitives.h"

const Color4 PALETTE[PALETTE_SIZE] = {
    {1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 0.0f},
    {1.0f, 0.2f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.2f, 0.0f}, {0.2f, 0.0f, 1.0f, 0.0f},
    {1.0f, 0.4f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.4f, 0.0f}, {0.4f, 0.0f, 1.0f, 0.0f},
    {1.0f, 0.6f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.6f, 0.0f}, {0.6f, 0.0f, 1.0f, 0.0f},
    {1.0f, 0.8f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.8f, 0.0f}, {0.8f, 0.0f, 1.0f, 0.0f},
    {1.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 1.0f, 0.0f},
    {1.0f, 1.0f, 0.2f, 0.0f}, {0.2f, 1.0f, 1.0f, 0.0f}, {1.0f, 0.2f, 1.0f, 0.0f},
};

namespace {

constexpr double SCENE_FACTOR = 400.0;   // multiplied in and divided out again

}  // namespace

double to_scene(double v)
{
    return v * SCENE_FACTOR / SCENE_FACTOR;
}

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
