// Reads what a window shows on the X server, for the end-to-end test of the program:
//   window_probe WINDOW index                   trace index shown (-1: no trace)
//   window_probe WINDOW pixel X Y               "R G B" of window pixel (X, Y), Y from the top
//   window_probe WINDOW count R G B [X0 Y0 X1 Y1]  pixels of that colour in the box (inclusive)
//   window_probe WINDOW ppm FILE                the window as a binary PPM
//   window_probe WINDOW differs FILE.png        pixels on the screen where the PNG differs
//                                               (the whole window when the sizes differ)
// Only the part of the window that lies on the screen can be read (the window manager-less
// server puts the window at (-1, -1)); pixels off the screen count as unknown.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr int UNKNOWN = -1;
constexpr int MAX_SIDE = 16384;   // pixels; the program takes no larger window

struct Shot {
    int width = 0;
    int height = 0;
    std::vector<int> rgb;   // width * height * 3, UNKNOWN where off the screen
    const int* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
    bool is(int x, int y, int r, int g, int b) const
    {
        const int* p = at(x, y);
        return p[0] == r && p[1] == g && p[2] == b;
    }
};

// The X server here now and then hangs up on a new connection; try again for up to a second.
Display* open_display()
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (Display* d = XOpenDisplay(nullptr))
            return d;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::fprintf(stderr, "window_probe: cannot open the display\n");
    std::exit(2);
}

int channel(unsigned long pixel, unsigned long mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return static_cast<int>(((pixel >> shift) & mask) * 255 / (mask == 0 ? 1 : mask));
}

Shot capture(Display* d, Window w)
{
    XWindowAttributes a;
    if (XGetWindowAttributes(d, w, &a) == 0) {
        std::fprintf(stderr, "window_probe: no window 0x%lx\n", w);
        std::exit(2);
    }
    // A window caught while it is sized beyond what the program accepts is not read: a
    // picture of it would take gigabytes.
    if (a.width > MAX_SIDE || a.height > MAX_SIDE) {
        std::fprintf(stderr, "window_probe: window 0x%lx is %d x %d\n", w, a.width, a.height);
        std::exit(3);
    }
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(d, w, a.root, 0, 0, &rx, &ry, &child);
    const int x0 = rx < 0 ? -rx : 0;
    const int y0 = ry < 0 ? -ry : 0;
    const int x1 = std::min(a.width, WidthOfScreen(a.screen) - rx);
    const int y1 = std::min(a.height, HeightOfScreen(a.screen) - ry);

    Shot shot;
    shot.width = a.width;
    shot.height = a.height;
    shot.rgb.assign(static_cast<std::size_t>(a.width) * a.height * 3, UNKNOWN);
    XImage* image = XGetImage(d, w, x0, y0, x1 - x0, y1 - y0, AllPlanes, ZPixmap);
    if (image == nullptr) {
        std::fprintf(stderr, "window_probe: cannot read window 0x%lx\n", w);
        std::exit(2);
    }
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned long p = XGetPixel(image, x - x0, y - y0);
            int* out = &shot.rgb[(static_cast<std::size_t>(y) * a.width + x) * 3];
            out[0] = channel(p, image->red_mask);
            out[1] = channel(p, image->green_mask);
            out[2] = channel(p, image->blue_mask);
        }
    XDestroyImage(image);
    return shot;
}

// The traces start at x = -0.99 (column 4 of 800) and advance 0.005 (2 columns) per frame;
// nothing else in the left half is pure red or pure green.
int trace_index(const Shot& s)
{
    constexpr int ORIGIN_COLUMN = 4;
    constexpr int LAST_COLUMN = 394;   // left of the string's end disc at x = 0.01
    int rightmost = -1;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x <= LAST_COLUMN && x < s.width; ++x)
            if ((s.is(x, y, 255, 0, 0) || s.is(x, y, 0, 255, 0)) && x > rightmost)
                rightmost = x;
    if (rightmost < 0)
        return -1;
    return (rightmost - ORIGIN_COLUMN + 1) / 2;
}

int count(const Shot& s, int r, int g, int b, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = std::max(0, y0); y <= y1 && y < s.height; ++y)
        for (int x = std::max(0, x0); x <= x1 && x < s.width; ++x)
            n += s.is(x, y, r, g, b) ? 1 : 0;
    return n;
}

void write_ppm(const Shot& s, const char* path)
{
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr)
        std::exit(2);
    std::fprintf(f, "P6\n%d %d\n255\n", s.width, s.height);
    for (int v : s.rgb)
        std::fputc(v == UNKNOWN ? 128 : v, f);
    std::fclose(f);
}

// Window pixels that differ from an 8-bit RGB PNG of the window's size.
int differing_pixels(const Shot& s, const char* path)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    std::vector<unsigned char> rgb;
    if (png_image_begin_read_from_file(&image, path) != 0) {
        image.format = PNG_FORMAT_RGB;
        rgb.resize(PNG_IMAGE_SIZE(image));
    }
    if (static_cast<int>(image.width) != s.width || static_cast<int>(image.height) != s.height ||
        png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0)
        return s.width * s.height;
    int n = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        n += s.rgb[i] != UNKNOWN && (s.rgb[i] != rgb[i] || s.rgb[i + 1] != rgb[i + 1] ||
                                     s.rgb[i + 2] != rgb[i + 2]) ? 1 : 0;
    return n;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_probe WINDOW index|pixel|count|ppm ...\n");
        return 2;
    }
    Display* d = open_display();
    const Window w = std::strtoul(argv[1], nullptr, 0);
    const Shot shot = capture(d, w);
    XCloseDisplay(d);

    const char* what = argv[2];
    if (std::strcmp(what, "index") == 0) {
        std::printf("%d\n", trace_index(shot));
    } else if (std::strcmp(what, "pixel") == 0 && argc == 5) {
        const int* p = shot.at(std::atoi(argv[3]), std::atoi(argv[4]));
        std::printf("%d %d %d\n", p[0], p[1], p[2]);
    } else if (std::strcmp(what, "count") == 0 && (argc == 6 || argc == 10)) {
        int box[4] = {0, 0, shot.width - 1, shot.height - 1};
        if (argc == 10)
            for (int i = 0; i < 4; ++i)
                box[i] = std::atoi(argv[6 + i]);
        std::printf("%d\n", count(shot, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                                  box[0], box[1], box[2], box[3]));
    } else if (std::strcmp(what, "differs") == 0 && argc == 4) {
        std::printf("%d\n", differing_pixels(shot, argv[3]));
    } else if (std::strcmp(what, "ppm") == 0 && argc == 4) {
        write_ppm(shot, argv[3]);
    } else {
        std::fprintf(stderr, "window_probe: bad command\n");
        return 2;
    }
    return 0;
}
