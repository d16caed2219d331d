#pragma once
// Drawing primitives in scene units (the window spans -1 ... 1 on both axes), the system's
// colours and palette. Every shape is rasterised with lighting off; text is rasterised with
// lighting on and no lights, which turns every label the same near-black grey.
#include "app/types.h"

constexpr Color4 RED = {1.0f, 0.0f, 0.0f, 0.0f};
constexpr Color4 GREEN = {0.0f, 1.0f, 0.0f, 0.0f};
constexpr Color4 BLUE = {0.0f, 0.0f, 1.0f, 0.0f};
constexpr Color4 BLACK = {0.0f, 0.0f, 0.0f, 0.0f};

// Colour of trace i and of mass i. 21 entries; alpha is 0 throughout (blending stays off).
constexpr int PALETTE_SIZE = 21;
extern const Color4 PALETTE[PALETTE_SIZE];

constexpr double PI = 3.1415926536;         // ten decimals: the disc's vertices use this value
constexpr double DEGREE = 0.01745329252;    // pi/180 as stored; radians / DEGREE = degrees
constexpr int DISC_SEGMENTS = 100;          // vertices of every disc, whatever its radius
constexpr double ARROW_SHAFT_WIDTH = 0.02;  // full width of an arrow's shaft
constexpr double ARROW_HEAD_LENGTH = 0.1;   // length of an arrow's head along its axis

// Scene length of a length v: v * 400 / 400, so v itself up to the last bit.
double to_scene(double v);

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

// Bitmap text from (x, y) in window coordinates; sets no colour (see the file comment).
void draw_text(float x, float y, void* font, const char* text);

// Sets the line width for the lines drawn after it.
void set_line_width(float width);
// Hands everything drawn so far to the renderer (glFlush).
void flush_drawing();

// Graphics state handling. With state_tracking on (the default) the primitives switch
// lighting only when it has to change and join consecutive lines into one GL_LINES run; with
// it off, every shape switches lighting off and on again around itself and issues its own
// glBegin/glEnd. Both produce the same pixels; the second costs a state change per shape.
extern bool state_tracking;

// Closes an open run of lines and switches lighting back on, so that the graphics state is
// the one every primitive promises: call before reading pixels or after the last primitive.
void settle_drawing_state();
// Forgets what lighting is known to be; call after switching GL_LIGHTING outside this file.
void forget_lighting_state();
