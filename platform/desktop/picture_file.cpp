// Pictures of the window: pixels read back from OpenGL, rows turned top first, out as PNG.
#include "platform/desktop/picture_file.h"

#include <GL/freeglut.h>
#include <cstring>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "app/picture_name.h"
#include "platform/desktop/png_file.h"

std::string save_window_picture(const char* path)
{
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    if (width <= 0 || height <= 0)
        return "the window has no picture";
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    std::vector<unsigned char> bottom_first(row * static_cast<std::size_t>(height));
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottom_first.data());
    std::vector<unsigned char> top_first(bottom_first.size());
    for (int y = 0; y < height; ++y)
        std::memcpy(&top_first[static_cast<std::size_t>(height - 1 - y) * row],
                    &bottom_first[static_cast<std::size_t>(y) * row], row);
    return write_png_file(path, width, height, top_first);
}

std::string reserve_picture_name(std::time_t when)
{
    for (int counter = 0; counter < 10000; ++counter) {
        const std::string name = picture_name(when, counter);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            close(fd);
            return name;
        }
        if (errno != EEXIST)
            return {};
    }
    errno = EEXIST;
    return {};
}
