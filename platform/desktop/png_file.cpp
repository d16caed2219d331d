// PNG output through libpng, written to a temporary file first so that a failure leaves no
// half-written picture behind.
#include "platform/desktop/png_file.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <png.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// libpng reports errors by longjmp; the rows are handed over as pointers into rgb.
bool encode(std::FILE* file, int width, int height, const unsigned char* rgb)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgb + static_cast<std::size_t>(y) * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// mkstemp makes the file readable by its owner only; a picture gets the mode any new file of
// this process would get.
void give_default_mode(int fd)
{
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

}  // namespace

std::string write_png_file(const char* path, int width, int height,
                           std::span<const unsigned char> rgb)
{
    if (width <= 0 || height <= 0 ||
        rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        return "picture of the wrong size";
    std::string temporary = std::string(path) + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return std::string(std::strerror(errno));
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        close(fd);
        unlink(temporary.c_str());
        return std::strerror(error);
    }
    give_default_mode(fd);
    const bool encoded = encode(file, width, height, rgb.data());
    const bool flushed = std::fflush(file) == 0 && fsync(fd) == 0;
    const int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (!encoded || !flushed || !closed) {
        unlink(temporary.c_str());
        return encoded ? std::strerror(error) : "could not encode the picture";
    }
    if (std::rename(temporary.c_str(), path) != 0) {
        const int rename_error = errno;
        unlink(temporary.c_str());
        return std::strerror(rename_error);
    }
    return {};
}
