#pragma once
// The drawing interface that every platform implements: frame begin and end, shapes in scene
// units (the window spans -1 ... 1 on both axes), bitmap text, and the system's colours and
// palette. Every shape is rasterised with lighting off; text is rasterised with lighting on
// and no lights, which turns every label the same near-black grey (10, 10, 10).
#include "core/types.h"

constexpr Color4 RED = {1.0f, 0.0f, 0.0f, 0.0f};
constexpr Color4 GREEN = {0.0f, 1.0f, 0.0f, 0.0f};
constexpr Color4 BLUE = {0.0f, 0.0f, 1.0f, 0.0f};
constexpr Color4 BLACK = {0.0f, 0.0f, 0.0f, 0.0f};
constexpr Color4 WHITE = {1.0f, 1.0f, 1.0f, 0.0f};   // the background

// Colour of trace i and of mass i. 21 entries; alpha is 0 throughout (blending stays off).
constexpr int PALETTE_SIZE = 21;
extern const Color4 PALETTE[PALETTE_SIZE];

constexpr double PI = 3.1415926536;         // ten decimals: the disc's vertices use this value
constexpr double DEGREE = 0.01745329252;    // pi/180 as stored; radians / DEGREE = degrees
constexpr int DISC_SEGMENTS = 100;          // vertices of every disc, whatever its radius
constexpr double ARROW_SHAFT_WIDTH = 0.02;  // full width of an arrow's shaft
constexpr double ARROW_HEAD_LENGTH = 0.1;   // length of an arrow's head along its axis

// The bitmap fonts labels can be drawn in; every label uses the 18-point Helvetica.
enum class Font { helvetica_18 };
constexpr Font LABEL_FONT = Font::helvetica_18;

// Scene length of a length v: v * 400 / 400, so v itself up to the last bit.
double to_scene(double v);

// The shapes' geometry (display/primitives.cpp), the same on every platform: a disc is a
// polygon of DISC_SEGMENTS vertices; the cross's two lines reach CROSS_ARM either way; a grid
// holds at most GRID_HALF_CAPACITY lines either side of its centre.
constexpr double CROSS_ARM = 10.0;            // scene units: five window widths either way
constexpr float CROSS_WIDTH = 2.0f;           // pixels
constexpr float GRID_WIDTH = 1.0f;            // pixels
constexpr int GRID_HALF_CAPACITY = 50;        // most lines either side of a grid's centre

// A dash pattern along a line: on for `on` scene units, off for `off`; on = 0 is a solid line.
struct DashPattern {
    double on;
    double off;
};
// The pieces of the line p ... q that the pattern draws, with draw_line in colour. *phase is
// how far into the pattern p lies, and is left where q lies, so that joined lines continue it.
void draw_dashed_line(const Vec2& p, const Vec2& q, const DashPattern& pattern, double* phase,
                      const Color4& colour);
// The part t0 ... t1 (0 <= t0 <= t1 <= 1) of the line p + t (q - p) that lies within the box
// from low to high; false when none does.
bool clip_to_box(const Vec2& p, const Vec2& q, const Vec2& low, const Vec2& high, double* t0,
                 double* t1);
// A circle of width pixels (the disc's outline), filled with fill first.
void draw_ring(const Vec2& centre, double radius, float width, const Color4& fill,
               const Color4& colour);

// What each platform rasterises. A polygon (convex) filled in colour, and lines (n pairs of
// ends) of width pixels, leaving that width set: both in the frame moved to origin and turned
// by angle radians. Coordinates are final scene units.
void fill_polygon(const Vec2& origin, double angle, const double (*vertices)[2], int n,
                  const Color4& colour);
void stroke_lines(const Vec2& origin, double angle, const double (*ends)[2], int n, float width,
                  const Color4& colour);

// Clears colour and depth to the white background and resets the modelview matrix.
void begin_frame();
// Hands the frame to the renderer and shows it (flush, then swap).
void end_frame();

// Shapes. Each leaves its colour as the current colour; draw_cross and draw_grid draw in black
// and leave the line width at 2.0 and 1.0. Angles in radians, counter-clockwise from +x.
void draw_line(const Vec2& p, const Vec2& q, const Color4& colour);
void draw_disc(const Vec2& centre, double radius, const Color4& colour);
// Arrow with its point at tip. An arrow shorter than its head keeps the whole head.
void draw_arrow(const Vec2& tip, double length, double angle, const Color4& colour);
// A horizontal and a vertical line through centre, each 10 units long either way.
void draw_cross(const Vec2& centre, double angle);
// 2n + 1 vertical and 2n + 1 horizontal lines centred on centre.
void draw_grid(const Vec2& centre, double angle, int n, double spacing_x, double spacing_y);
// The axis-parallel rectangle with corners (x0, y0) and (x1, y1), filled.
void fill_rectangle(double x0, double y0, double x1, double y1, const Color4& colour);

// Bitmap text from (x, y) in window coordinates; sets no colour (see the file comment).
void draw_text(float x, float y, Font font, const char* text);
// draw_text in LABEL_FONT from a point given in doubles.
void draw_label(double x, double y, const char* text);

// Sets the line width, in pixels, for the lines drawn after it.
void set_line_width(float width);
constexpr float INITIAL_LINE_WIDTH = 1.0f;   // pixels: a new renderer's, before anything sets it
// Hands everything drawn so far to the renderer.
void flush_drawing();

// Implementations may hold back shapes and state changes that do not alter a pixel (joined
// runs of lines, lighting switched only when text needs it). This finishes what is held back
// and leaves lighting on, as every primitive promises: call after the last primitive of a
// frame and before reading pixels.
void settle_drawing_state();
