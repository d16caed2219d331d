// The test window and the pixel helpers.
#include "tests/support/gl_window.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdarg>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include "app/dialog.h"
#include "app/run.h"
#include "app/sweep.h"
#include "core/state.h"
#include "display/frame.h"
#include "display/primitives.h"
#include "platform/desktop/png_file.h"
#include "platform/desktop/window.h"

namespace {

// On this machine the X server now and then hangs up on a new client during the connection
// set-up (a few connections in a hundred, on any server); GLUT reports that as an error and
// ends the process. Its error callback lets glutInit be tried again: nothing is initialised
// before the display opens, and the callback is removed once it has.
std::jmp_buf glut_failed;

void on_glut_error(const char* format, va_list args)
{
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    std::longjmp(glut_failed, 1);
}

bool init_glut()
{
    static char name[] = "draw_tests";
    static char* argv[] = {name, nullptr};
    static int argc = 1;
    static int attempt;   // static: keeps its value across the longjmp
    for (attempt = 0; attempt < 20; ++attempt) {
        if (setjmp(glut_failed) == 0) {
            glutInitErrorFunc(on_glut_error);
            glutInit(&argc, argv);
            glutInitErrorFunc(nullptr);
            return true;
        }
        argc = 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

class GlWindowEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        // The stored frames hold for Mesa's software renderer only.
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        setenv("GALLIUM_DRIVER", "llvmpipe", 1);
        glutInitWindowSize(FRAME_SIZE, FRAME_SIZE);
        if (std::getenv("DISPLAY") == nullptr || !init_glut()) {
            std::fprintf(stderr, "drawing tests need an X display: run them under xvfb-run\n");
            std::exit(1);
        }
        glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
        create_window();
        set_clear_color();
        on_reshape(FRAME_SIZE, FRAME_SIZE);
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        ASSERT_NE(renderer, nullptr);
        ASSERT_NE(std::strstr(renderer, "llvmpipe"), nullptr) << renderer;
    }

    // llvmpipe still compiling or rasterising while the process runs its static destructors
    // crashes inside LLVM: finish the work and take the context down first.
    void TearDown() override
    {
        settle_drawing_state();
        glFinish();
        glutDestroyWindow(glutGetWindow());
        glutExit();
    }
};

::testing::Environment* const gl_window = ::testing::AddGlobalTestEnvironment(new GlWindowEnvironment);

}  // namespace

Rgb Image::at(int x, int y) const
{
    const unsigned char* p = &bytes[(static_cast<std::size_t>(y) * FRAME_SIZE + x) * 3];
    return Rgb{p[0], p[1], p[2]};
}

bool Image::is(int x, int y, Rgb c) const
{
    const Rgb a = at(x, y);
    return a.r == c.r && a.g == c.g && a.b == c.b;
}

int Image::count(Rgb c, int x0, int y0, int x1, int y1) const
{
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            n += is(x, y, c) ? 1 : 0;
    return n;
}

namespace {

Image read_buffer(GLenum buffer)
{
    settle_drawing_state();
    Image image;
    image.bytes.resize(static_cast<std::size_t>(FRAME_SIZE) * FRAME_SIZE * 3);
    glFinish();
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, FRAME_SIZE, FRAME_SIZE, GL_RGB, GL_UNSIGNED_BYTE, image.bytes.data());
    return image;
}

}  // namespace

Image read_back()
{
    return read_buffer(GL_BACK);
}

Image read_shown()
{
    return read_buffer(GL_FRONT);
}

::testing::AssertionResult PixelIs(const Image& image, int x, int y, Rgb c)
{
    if (image.is(x, y, c))
        return ::testing::AssertionSuccess();
    const Rgb a = image.at(x, y);
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is (" << a.r << ", "
                                         << a.g << ", " << a.b << "), expected (" << c.r << ", "
                                         << c.g << ", " << c.b << ")";
}

Box bounding_box(const Image& image, Rgb c)
{
    Box box = {-1, -1, -1, -1};
    for (int y = 0; y < FRAME_SIZE; ++y)
        for (int x = 0; x < FRAME_SIZE; ++x) {
            if (!image.is(x, y, c))
                continue;
            if (box.x0 < 0) {
                box = Box{x, y, x, y};
                continue;
            }
            box.x0 = std::min(box.x0, x);
            box.x1 = std::max(box.x1, x);
            box.y0 = std::min(box.y0, y);
            box.y1 = std::max(box.y1, y);
        }
    return box;
}

std::string dump_image(const Image& image, const std::string& name)
{
    const std::string path = std::string(VDP_TEST_OUTPUT_DIR) + "/" + name + ".ppm";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return "(could not write " + path + ")";
    std::fprintf(f, "P6\n%d %d\n255\n", FRAME_SIZE, FRAME_SIZE);
    for (int y = FRAME_SIZE - 1; y >= 0; --y)
        std::fwrite(&image.bytes[static_cast<std::size_t>(y) * FRAME_SIZE * 3], 1, FRAME_SIZE * 3, f);
    std::fclose(f);
    return path;
}

std::string save_png(const Image& image, const std::string& path)
{
    std::vector<unsigned char> top_first(image.bytes.size());
    const std::size_t row = static_cast<std::size_t>(FRAME_SIZE) * 3;
    for (int y = 0; y < FRAME_SIZE; ++y)
        std::memcpy(&top_first[(FRAME_SIZE - 1 - y) * row], &image.bytes[y * row], row);
    return write_png_file(path.c_str(), FRAME_SIZE, FRAME_SIZE, top_first);
}

bool load_png(const std::string& path, Image* image)
{
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return false;
    if (png.width != FRAME_SIZE || png.height != FRAME_SIZE) {
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> top_first(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, top_first.data(), 0, nullptr))
        return false;
    const std::size_t row = static_cast<std::size_t>(FRAME_SIZE) * 3;
    image->bytes.resize(top_first.size());
    for (int y = 0; y < FRAME_SIZE; ++y)
        std::memcpy(&image->bytes[y * row], &top_first[(FRAME_SIZE - 1 - y) * row], row);
    return true;
}

::testing::AssertionResult program_snapshot(const char* program, const std::string& options,
                                            Image* picture, const char* picture_option)
{
    // One name per process: ctest runs the frames' tests side by side, and each removes its own.
    const std::string path =
        std::string(VDP_TEST_OUTPUT_DIR) + "/snapshot-" + std::to_string(getpid()) + ".png";
    const std::string command = std::string("'") + program + "' " + options + " " + picture_option +
                                " '" + path + "'";
    if (std::system(command.c_str()) != 0)
        return ::testing::AssertionFailure() << command << " failed";
    const bool read = load_png(path, picture);
    std::remove(path.c_str());
    if (!read)
        return ::testing::AssertionFailure() << command << " wrote no picture";
    return ::testing::AssertionSuccess() << command;
}

bool FrameDifference::within(int pixels_allowed) const
{
    const int colour_allowed = pixels_allowed / 2;
    for (int d : {red, green, blue, black, text, white})
        if (std::abs(d) > colour_allowed)
            return false;
    return pixels <= pixels_allowed;
}

FrameDifference compare_frames(const Image& a, const Image& b)
{
    FrameDifference d = {};
    for (int y = 0; y < FRAME_SIZE; ++y)
        for (int x = 0; x < FRAME_SIZE; ++x)
            if (!b.is(x, y, a.at(x, y)))
                ++d.pixels;
    d.red = a.count(RED_PX) - b.count(RED_PX);
    d.green = a.count(GREEN_PX) - b.count(GREEN_PX);
    d.blue = a.count(BLUE_PX) - b.count(BLUE_PX);
    d.black = a.count(BLACK_PX) - b.count(BLACK_PX);
    d.text = a.count(TEXT_PX) - b.count(TEXT_PX);
    d.white = a.count(WHITE_PX) - b.count(WHITE_PX);
    return d;
}

void clear_to_white()
{
    settle_drawing_state();
    begin_frame();
    glEnable(GL_LIGHTING);
}

void start_program(const char* input)
{
    settle_drawing_state();
    show_start_views(Options{});   // no family, no layer, no second start
    process_frame_count = 0;
    glLineWidth(1.0f);
    glDisable(GL_LIGHTING);
    begin_frame();   // forgets what lighting was
    run_dialog('m', input);
}

void draw_next_frame()
{
    advance_frames(frames_per_drawn_frame());
    draw_frame();
}
