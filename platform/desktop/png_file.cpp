// PNG output through libpng, into a file that appears whole or not at all.
#include "platform/desktop/png_file.h"

#include <csetjmp>
#include <png.h>

#include "app/output_file.h"

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

}  // namespace

std::string write_png_file(const char* path, int width, int height,
                           std::span<const unsigned char> rgb)
{
    if (width <= 0 || height <= 0 ||
        rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        return "picture of the wrong size";
    OutputFile file;
    const std::string error = open_output(path, &file);
    if (!error.empty())
        return error;
    const bool encoded = encode(file.stream, width, height, rgb.data());
    const std::string closed = close_output(&file, encoded);
    return encoded ? closed : "could not encode the picture";
}
