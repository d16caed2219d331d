// The drawing interface in OpenGL 1.1 immediate mode, for the desktop window.
#include "display/primitives.h"

#include <GL/freeglut.h>
#include <cmath>


namespace {

constexpr double CROSS_ARM = 10.0;       // scene units: five window widths either way
constexpr float CROSS_WIDTH = 2.0f;      // pixels
constexpr float GRID_WIDTH = 1.0f;       // pixels

// On Mesa's software renderer every switch of GL_LIGHTING costs microseconds of state
// validation, and a frame with a family shown draws nearly 10,000 lines. Lighting matters only
// where text takes its raster position, so the shapes leave it off and draw_text switches it
// on; consecutive lines share one glBegin(GL_LINES). Neither changes a pixel: the same
// vertices, colours and widths reach the rasteriser in the same order.
enum class Lighting { unknown, on, off };
Lighting lighting = Lighting::unknown;   // what GL_LIGHTING is known to be
bool line_run_open = false;              // inside glBegin(GL_LINES) of a run of draw_line

void switch_lighting(bool on)
{
    const Lighting wanted = on ? Lighting::on : Lighting::off;
    if (lighting == wanted)
        return;
    if (on)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
    lighting = wanted;
}

void close_line_run()
{
    if (!line_run_open)
        return;
    glEnd();
    line_run_open = false;
}

void begin_shape()
{
    close_line_run();
    switch_lighting(false);
}

void set_colour(const Color4& c)
{
    glColor4f(c.r, c.g, c.b, c.a);
}

// Pushes the modelview matrix and moves the origin to (x, y), turned by angle radians.
void push_frame(double x, double y, double angle)
{
    glPushMatrix();
    glTranslated(x, y, 0.0);
    glRotated(angle / DEGREE, 0.0, 0.0, 1.0);
}

void polygon(const double (*vertices)[2], int n)
{
    glBegin(GL_POLYGON);
    for (int i = 0; i < n; ++i)
        glVertex2d(vertices[i][0], vertices[i][1]);
    glEnd();
}

void* glut_font(Font font)
{
    switch (font) {
    case Font::helvetica_18: break;
    }
    return GLUT_BITMAP_HELVETICA_18;
}

}  // namespace

// A frame starts from a known lighting state, whatever was done to it in between.
void begin_frame()
{
    close_line_run();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    lighting = Lighting::unknown;
}

void end_frame()
{
    glFlush();
    glutSwapBuffers();
}

void draw_line(const Vec2& p, const Vec2& q, const Color4& colour)
{
    if (!line_run_open) {
        begin_shape();
        glBegin(GL_LINES);
        line_run_open = true;
    }
    set_colour(colour);
    glVertex2d(to_scene(p.x), to_scene(p.y));
    glVertex2d(to_scene(q.x), to_scene(q.y));
}

void draw_disc(const Vec2& centre, double radius, const Color4& colour)
{
    const double cx = to_scene(centre.x);
    const double cy = to_scene(centre.y);
    const double r = to_scene(radius);
    const double step = 2.0 * PI / DISC_SEGMENTS;
    begin_shape();
    glPushMatrix();
    glTranslated(cx, cy, 0.0);
    set_colour(colour);
    glBegin(GL_POLYGON);
    for (int i = 0; i < DISC_SEGMENTS; ++i) {
        const double a = i * step;
        glVertex2d(r * std::cos(a), r * std::sin(a));
    }
    glEnd();
    glPopMatrix();
}

void draw_arrow(const Vec2& tip, double length, double angle, const Color4& colour)
{
    const double tx = to_scene(tip.x);
    const double ty = to_scene(tip.y);
    const ArrowOutline a = arrow_outline(length);
    begin_shape();
    set_colour(colour);
    push_frame(tx, ty, angle);
    polygon(a.shaft, 4);
    polygon(a.upper, 3);
    polygon(a.lower, 3);
    glPopMatrix();
}

void draw_cross(const Vec2& centre, double angle)
{
    const double cx = to_scene(centre.x);
    const double cy = to_scene(centre.y);
    begin_shape();
    glLineWidth(CROSS_WIDTH);
    set_colour(BLACK);
    push_frame(cx, cy, angle);
    glBegin(GL_LINES);
    glVertex2d(-CROSS_ARM, 0.0);
    glVertex2d(CROSS_ARM, 0.0);
    glVertex2d(0.0, -CROSS_ARM);
    glVertex2d(0.0, CROSS_ARM);
    glEnd();
    glPopMatrix();
}

void draw_grid(const Vec2& centre, double angle, int n, double spacing_x, double spacing_y)
{
    const double cx = to_scene(centre.x);
    const double cy = to_scene(centre.y);
    const double sx = to_scene(spacing_x);
    const double sy = to_scene(spacing_y);
    const double ex = n * sx;
    const double ey = n * sy;
    begin_shape();
    set_colour(BLACK);
    glLineWidth(GRID_WIDTH);
    push_frame(cx, cy, angle);
    for (int i = -n; i <= n; ++i) {
        glBegin(GL_LINES);
        glVertex2d(i * sx, -ey);
        glVertex2d(i * sx, ey);
        glEnd();
    }
    for (int i = -n; i <= n; ++i) {
        glBegin(GL_LINES);
        glVertex2d(-ex, i * sy);
        glVertex2d(ex, i * sy);
        glEnd();
    }
    glPopMatrix();
}

void draw_text(float x, float y, Font font, const char* text)
{
    // Lighting decides the raster colour: on, with no lights, it is a near-black grey.
    close_line_run();
    switch_lighting(true);
    glPushAttrib(GL_CURRENT_BIT);
    glRasterPos2f(x, y);
    for (const char* c = text; *c != '\0'; ++c)
        glutBitmapCharacter(glut_font(font), static_cast<unsigned char>(*c));
    glPopAttrib();
}

void set_line_width(float width)
{
    close_line_run();
    glLineWidth(width);
}

void flush_drawing()
{
    close_line_run();
    glFlush();
}

void settle_drawing_state()
{
    close_line_run();
    switch_lighting(true);
}
