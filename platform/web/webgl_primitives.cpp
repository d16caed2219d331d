// The drawing interface in WebGL 1, for the page's canvas. It reproduces the desktop's
// OpenGL 1.1 pixels: the same vertices in single precision (as the fixed-function pipeline
// holds them), polygons as triangle fans, lines wider than one pixel as the quads a wide line
// covers, and text as the pixels of the desktop's bitmap glyphs. Shapes are collected and
// handed to WebGL in batches of one kind, in drawing order, since there is no depth test.
#include "platform/web/webgl_primitives.h"

#include <GLES2/gl2.h>
#include <cmath>
#include <cstddef>
#include <vector>

#include "display/primitives.h"
#include "platform/web/bitmap_font_data.h"
#include "platform/web/page_script.h"

namespace {

constexpr int CANVAS_SIZE = 800;                  // pixels, both ways, at the desktop's scale
// Labels: the colour that lighting with no lights gives the desktop's text, 0.04 of full.
constexpr unsigned char TEXT_GREY = 10;
// A raster position this close below a pixel edge counts as on it: the viewport transform
// in single precision leaves such residues where the position is meant to be exact.
constexpr float RASTER_SLACK = 1e-4f;

// A vertex: clip coordinates (the scene's -1 ... 1) and the colour in bytes, as an 8-bit
// framebuffer holds it.
struct Rgba {
    unsigned char r, g, b, a;
};

struct Vertex {
    float x, y;
    Rgba rgba;
};

enum class Batch { none, triangles, lines, points };

// Triangles are indexed (a wide line's quad is 4 vertices, not 6); 16-bit indices reach this
// many vertices in one batch.
constexpr std::size_t BATCH_VERTICES = 65536;

Batch batch = Batch::none;            // kind of the vertices in pending
std::vector<Vertex> pending;          // shapes drawn but not yet handed to WebGL
std::vector<unsigned short> pending_indices;   // of the triangles in pending
float line_width = INITIAL_LINE_WIDTH;   // pixels, as set last
// The drawing buffer: its side in pixels, and its pixels per CSS pixel (line widths are CSS
// pixels) and per pixel of the desktop's 800 (labels keep their size in the picture). At
// 800 pixels and 1 per CSS pixel every shape is drawn as on the desktop.
int canvas_pixels = CANVAS_SIZE;
float half_canvas = CANVAS_SIZE / 2;  // pixels per scene unit
float line_scale = 1.0f;
float glyph_scale = 1.0f;
GLuint vertex_buffer = 0;
GLuint index_buffer = 0;

// The desktop's pushed modelview matrix in single precision: turned by angle, moved to
// (tx, ty). Only the entries that a vertex in the plane z = 0 meets.
struct Transform {
    float c, s, tx, ty;
};

constexpr Transform IDENTITY = {1.0f, 0.0f, 0.0f, 0.0f};

const char* const VERTEX_SHADER =
    "attribute vec2 position;\n"
    "attribute vec4 colour;\n"
    "varying vec4 shade;\n"
    "void main() {\n"
    "  gl_Position = vec4(position, 0.0, 1.0);\n"
    "  gl_PointSize = 1.0;\n"
    "  shade = colour;\n"
    "}\n";

// Alpha is 0 in every colour of the program and has no visible effect (no blending); the
// canvas is opaque.
const char* const FRAGMENT_SHADER =
    "precision mediump float;\n"
    "varying vec4 shade;\n"
    "void main() {\n"
    "  gl_FragColor = vec4(shade.rgb, 1.0);\n"
    "}\n";

void hand_over()
{
    if (pending.empty())
        return;
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(pending.size() * sizeof(Vertex)),
                 pending.data(), GL_STREAM_DRAW);
    if (batch == Batch::triangles) {
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(pending_indices.size() * sizeof(unsigned short)),
                     pending_indices.data(), GL_STREAM_DRAW);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(pending_indices.size()), GL_UNSIGNED_SHORT,
                       nullptr);
    } else {
        glDrawArrays(batch == Batch::lines ? GL_LINES : GL_POINTS, 0, static_cast<GLsizei>(pending.size()));
    }
    pending.clear();
    pending_indices.clear();
}

// Starts or continues a batch of kind with room for n more vertices.
void begin_batch(Batch kind, std::size_t n)
{
    if (batch != kind || pending.size() + n > BATCH_VERTICES)
        hand_over();
    batch = kind;
}

unsigned char to_byte(float c)
{
    return static_cast<unsigned char>(std::lround(std::fmin(std::fmax(c, 0.0f), 1.0f) * 255.0f));
}

Rgba bytes_of(const Color4& c)
{
    return Rgba{to_byte(c.r), to_byte(c.g), to_byte(c.b), 255};
}

void add(float x, float y, Rgba colour)
{
    pending.push_back(Vertex{x, y, colour});
}

// Triangles (i, j, k) over the last n vertices added.
void add_triangle(std::size_t n, int i, int j, int k)
{
    const std::size_t first = pending.size() - n;
    for (int v : {i, j, k})
        pending_indices.push_back(static_cast<unsigned short>(first + static_cast<std::size_t>(v)));
}

// A vertex given in double precision, as glVertex2d hands it on, through the transform.
void add_in(const Transform& f, double x, double y, Rgba colour)
{
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    add(f.c * fx - f.s * fy + f.tx, f.s * fx + f.c * fy + f.ty, colour);
}

// glTranslated and glRotated of the desktop: the arguments become floats, the rotation's
// sine and cosine are taken of the angle in degrees and rounded to float.
Transform transform_at(double x, double y, double angle)
{
    Transform f = IDENTITY;
    f.tx = static_cast<float>(x);
    f.ty = static_cast<float>(y);
    const float degrees = static_cast<float>(angle / DEGREE);
    if (degrees != 0.0f) {
        const double radians = static_cast<double>(degrees) * 3.14159265358979323846 / 180.0;
        f.c = static_cast<float>(std::cos(radians));
        f.s = static_cast<float>(std::sin(radians));
    }
    return f;
}

// Whether the vertices added from first on are finite; where one is not (a motion beyond the
// range of numbers, or past a float's), they are taken back: the shape is not drawn. WebGL would
// rasterise nothing of it either, but slowly, and a finite shape is drawn as before.
bool kept_finite(std::size_t first)
{
    for (std::size_t i = first; i < pending.size(); ++i)
        if (!std::isfinite(pending[i].x) || !std::isfinite(pending[i].y)) {
            pending.resize(first);
            return false;
        }
    return true;
}

// A convex polygon as the fan of triangles from its first vertex.
void polygon(const Transform& f, const double (*points)[2], int n, Rgba colour)
{
    begin_batch(Batch::triangles, static_cast<std::size_t>(n));
    const std::size_t first = pending.size();
    for (int i = 0; i < n; ++i)
        add_in(f, points[i][0], points[i][1], colour);
    if (!kept_finite(first))
        return;
    for (int i = 1; i + 1 < n; ++i)
        add_triangle(static_cast<std::size_t>(n), 0, i, i + 1);
}

// One line from a to b (clip coordinates) at the current width. A line of one pixel is a
// WebGL line; a wider one covers the quad that reaches half its width to either side along
// the minor axis, as a wide line without antialiasing does.
void segment(float ax, float ay, float bx, float by, Rgba colour)
{
    if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by))
        return;
    const float width = line_scale == 1.0f ? std::fmax(1.0f, std::round(line_width)) : line_width * line_scale;
    if (width == 1.0f) {
        begin_batch(Batch::lines, 2);
        add(ax, ay, colour);
        add(bx, by, colour);
        return;
    }
    const float half = width / 2.0f / half_canvas;
    const bool x_major = std::fabs(bx - ax) >= std::fabs(by - ay);
    const float ox = x_major ? 0.0f : half;
    const float oy = x_major ? half : 0.0f;
    begin_batch(Batch::triangles, 4);
    add(ax - ox, ay - oy, colour);
    add(bx - ox, by - oy, colour);
    add(bx + ox, by + oy, colour);
    add(ax + ox, ay + oy, colour);
    add_triangle(4, 0, 1, 2);
    add_triangle(4, 0, 2, 3);
}

void segment_in(const Transform& f, double ax, double ay, double bx, double by, Rgba colour)
{
    const float fax = static_cast<float>(ax), fay = static_cast<float>(ay);
    const float fbx = static_cast<float>(bx), fby = static_cast<float>(by);
    segment(f.c * fax - f.s * fay + f.tx, f.s * fax + f.c * fay + f.ty,
            f.c * fbx - f.s * fby + f.tx, f.s * fbx + f.c * fby + f.ty, colour);
}

GLuint compile(GLenum kind, const char* source)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// Window pixel (column or row from the bottom) in which a raster position at clip
// coordinate v lies, after the viewport transform in single precision.
int raster_pixel(float v)
{
    const float window = v * half_canvas + half_canvas;
    return static_cast<int>(std::floor(window + RASTER_SLACK));
}

// One glyph's set pixels from window pixel (x, y): at the desktop's scale each a point at
// its pixel's centre, else a square of glyph_scale pixels a side.
void glyph_pixels(int code, float x, float y, Rgba colour)
{
    const auto& g = GLYPHS[code - GLYPH_FIRST_CODE];
    const int row_bytes = (g.width + 7) / 8;
    const float k = glyph_scale;
    for (int row = 0; row < g.height; ++row) {
        const unsigned char* bits = &GLYPH_ROWS[g.rows + row * row_bytes];
        for (int col = 0; col < g.width; ++col) {
            if ((bits[col / 8] & (0x80 >> (col % 8))) == 0)
                continue;
            if (k == 1.0f) {
                const float px = x + static_cast<float>(g.left + col) + 0.5f;
                const float py = y + static_cast<float>(g.bottom + row) + 0.5f;
                add(px / half_canvas - 1.0f, py / half_canvas - 1.0f, colour);
                continue;
            }
            const float left = (x + static_cast<float>(g.left + col) * k) / half_canvas - 1.0f;
            const float bottom = (y + static_cast<float>(g.bottom + row) * k) / half_canvas - 1.0f;
            const float side = k / half_canvas;
            add(left, bottom, colour);
            add(left + side, bottom, colour);
            add(left + side, bottom + side, colour);
            add(left, bottom + side, colour);
            add_triangle(4, 0, 1, 2);
            add_triangle(4, 0, 2, 3);
        }
    }
}

// The drawing buffer as the page has sized it for the canvas shown.
void fit_canvas()
{
    const int side = page_fit_canvas(&line_scale);
    if (side != canvas_pixels) {
        canvas_pixels = side;
        glViewport(0, 0, side, side);
    }
    half_canvas = static_cast<float>(canvas_pixels) / 2.0f;
    glyph_scale = static_cast<float>(canvas_pixels) / CANVAS_SIZE;
}

}  // namespace

bool init_webgl_drawing()
{
    const GLuint program = glCreateProgram();
    glAttachShader(program, compile(GL_VERTEX_SHADER, VERTEX_SHADER));
    glAttachShader(program, compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER));
    glBindAttribLocation(program, 0, "position");
    glBindAttribLocation(program, 1, "colour");
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE)
        return false;
    glUseProgram(program);
    glGenBuffers(1, &vertex_buffer);
    glGenBuffers(1, &index_buffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertex_buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, index_buffer);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
    glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, rgba)));
    glViewport(0, 0, CANVAS_SIZE, CANVAS_SIZE);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_DITHER);
    // White, as a frame's background, until the first frame: not a black square.
    glClear(GL_COLOR_BUFFER_BIT);
    return true;
}

void begin_frame()
{
    hand_over();
    fit_canvas();
    glClear(GL_COLOR_BUFFER_BIT);
}

// The browser shows the canvas once the script that drew it returns.
void end_frame()
{
    hand_over();
    glFlush();
    page_frame_drawn();
}

void draw_line(const Vec2& p, const Vec2& q, const Color4& colour)
{
    segment(static_cast<float>(to_scene(p.x)), static_cast<float>(to_scene(p.y)),
            static_cast<float>(to_scene(q.x)), static_cast<float>(to_scene(q.y)), bytes_of(colour));
}

void fill_polygon(const Vec2& origin, double angle, const double (*vertices)[2], int n,
                  const Color4& colour)
{
    polygon(transform_at(origin.x, origin.y, angle), vertices, n, bytes_of(colour));
}

void stroke_lines(const Vec2& origin, double angle, const double (*ends)[2], int n, float width,
                  const Color4& colour)
{
    line_width = width;
    const Transform f = transform_at(origin.x, origin.y, angle);
    const Rgba bytes = bytes_of(colour);
    for (int i = 0; i < n; ++i)
        segment_in(f, ends[2 * i][0], ends[2 * i][1], ends[2 * i + 1][0], ends[2 * i + 1][1],
                   bytes);
}

void draw_text(float x, float y, Font /*font*/, const char* text)
{
    // A raster position outside the window is invalid: the desktop then draws no glyph.
    if (!(std::fabs(x) <= 1.0f && std::fabs(y) <= 1.0f))
        return;
    const Rgba grey = {TEXT_GREY, TEXT_GREY, TEXT_GREY, 255};
    float px = static_cast<float>(raster_pixel(x));
    const float py = static_cast<float>(raster_pixel(y));
    for (const char* c = text; *c != '\0'; ++c) {
        const int code = static_cast<unsigned char>(*c);
        const auto& g = GLYPHS[code - GLYPH_FIRST_CODE];
        const std::size_t pixels = static_cast<std::size_t>(g.width * g.height);
        if (glyph_scale == 1.0f)
            begin_batch(Batch::points, pixels);
        else
            begin_batch(Batch::triangles, 4 * pixels);
        glyph_pixels(code, px, py, grey);
        px += static_cast<float>(g.advance) * glyph_scale;
    }
}

void set_line_width(float width)
{
    line_width = width;
}

void flush_drawing()
{
    hand_over();
    glFlush();
}

void settle_drawing_state()
{
    hand_over();
}
