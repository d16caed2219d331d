// The drawing interface in OpenGL 1.1 immediate mode, for the desktop window.
#include "display/primitives.h"

#include <GL/freeglut.h>
#include <cmath>


namespace {

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

// Pushes the modelview matrix and moves the origin to (x, y), turned by angle radians. A turn
// by 0 is the identity, exactly, and is left out.
void push_frame(double x, double y, double angle)
{
    glPushMatrix();
    glTranslated(x, y, 0.0);
    if (angle != 0.0)
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

void fill_polygon(const Vec2& origin, double angle, const double (*vertices)[2], int n,
                  const Color4& colour)
{
    begin_shape();
    set_colour(colour);
    push_frame(origin.x, origin.y, angle);
    polygon(vertices, n);
    glPopMatrix();
}

void stroke_lines(const Vec2& origin, double angle, const double (*ends)[2], int n, float width,
                  const Color4& colour)
{
    begin_shape();
    glLineWidth(width);
    set_colour(colour);
    push_frame(origin.x, origin.y, angle);
    glBegin(GL_LINES);
    for (int i = 0; i < 2 * n; ++i)
        glVertex2d(ends[i][0], ends[i][1]);
    glEnd();
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
