// PNG output through libpng, into a file that appears whole or not at all.
#include "platform/desktop/png_file.h"

#include <csetjmp>
#include <png.h>

#include "platform/desktop/output_file.h"

namespace {

// libpng's writes go through write_output, which keeps the cause of a failed write.
void write_bytes(png_structp png, png_bytep data, png_size_t size)
{
    if (!write_output(static_cast<OutputFile*>(png_get_io_ptr(png)), data, size))
        png_error(png, "write failed");
}

void flush_bytes(png_structp) {}

// The caller names the cause; libpng's own line on standard error would only repeat it.
void fail_quietly(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void warn_quietly(png_structp, png_const_charp) {}

// libpng reports errors by longjmp; the rows are handed over as pointers into rgb.
bool encode(OutputFile* file, int width, int height, const unsigned char* rgb)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, fail_quietly,
                                              warn_quietly);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, file, write_bytes, flush_bytes);
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
    const bool encoded = encode(&file, width, height, rgb.data());
    const bool write_failed = file.error != 0;
    const std::string closed = close_output(&file, encoded);
    return encoded || write_failed ? closed : "could not encode the picture";
}
