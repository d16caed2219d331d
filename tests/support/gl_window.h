#pragma once
// Drawing tests render for real: one 800 x 800 GLUT window per test process, Mesa's llvmpipe,
// pixels read back from the back buffer before any swap.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/dialog_io.h"

constexpr int FRAME_SIZE = 800;   // pixels, both ways

// Pixel column (or row, counted from the bottom) in which scene coordinate v lies.
inline int px(double v)
{
    return static_cast<int>((v + 1.0) * 0.5 * FRAME_SIZE);
}

struct Rgb {
    int r, g, b;
};

// The back buffer, RGB, rows from the bottom as OpenGL counts them. Closes any open run of
// lines first.
struct Image {
    std::vector<unsigned char> bytes;
    Rgb at(int x, int y) const;
    bool is(int x, int y, Rgb c) const;
    // Pixels of exactly colour c within columns x0 ... x1 and rows y0 ... y1 (inclusive).
    int count(Rgb c, int x0 = 0, int y0 = 0, int x1 = FRAME_SIZE - 1, int y1 = FRAME_SIZE - 1) const;
};
Image read_back();
// The front buffer: the frame shown after its swap.
Image read_shown();

constexpr Rgb WHITE_PX = {255, 255, 255};
constexpr Rgb RED_PX = {255, 0, 0};
constexpr Rgb GREEN_PX = {0, 255, 0};
constexpr Rgb BLUE_PX = {0, 0, 255};
constexpr Rgb BLACK_PX = {0, 0, 0};
constexpr Rgb TEXT_PX = {10, 10, 10};   // 0.2 ambient material x 0.2 ambient light = 0.04

// Expects pixel (x, y) of image to be c; on failure names the place and what was there.
::testing::AssertionResult PixelIs(const Image& image, int x, int y, Rgb c);

// Smallest box holding every pixel of colour c; all -1 when there is none.
struct Box {
    int x0, y0, x1, y1;
};
Box bounding_box(const Image& image, Rgb c);

// Writes image as a binary PPM into the build folder (top row first); returns the path.
std::string dump_image(const Image& image, const std::string& name);

// The image as a PNG file (top row first, as the window shows it); empty, or what went wrong.
std::string save_png(const Image& image, const std::string& path);
// Reads an 800 x 800 RGB PNG written by save_png; false when there is none or it differs.
bool load_png(const std::string& path, Image* image);

// The picture program writes with the command-line options and --snapshot, or the option
// picture_option (into the build folder, removed again), in *picture; a failure names the
// command.
::testing::AssertionResult program_snapshot(const char* program, const std::string& options,
                                            Image* picture,
                                            const char* picture_option = "--snapshot");

// How far two frames differ: pixels of another colour, and for each colour of the picture
// how many more or fewer pixels of it the first frame has.
struct FrameDifference {
    int pixels;
    int red, green, blue, black, text, white;
    // At most `pixels` differ and no colour count moves by more than half of that.
    bool within(int pixels_allowed) const;
};
FrameDifference compare_frames(const Image& a, const Image& b);

// White background, identity modelview, lighting on as the primitives leave it.
void clear_to_white();

// The state of a new process whose window has just opened after a dialog with input: nothing
// chosen by the keys, no frame advanced yet, line width 1, lighting off, as in a new context.
void start_program(const char* input);

// The next frame as a key advances it (a sweep's stride of frames while one runs), drawn
// without being shown: the back buffer holds it.
void draw_next_frame();
