#include "render/assets/ImageWriter.h"

#include <png.h>

#include <cstdio>
#include <vector>

bool writePngFile(const std::string& path, int width, int height, std::span<const std::uint8_t> rgba)
{
    if (width <= 0 || height <= 0 || rgba.size() < static_cast<std::size_t>(width) * height * 4)
        return false;
    // volatile: it must survive libpng's error jump intact.
    std::FILE* volatile file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Unfiltered and quickly packed: the pictures are the test runs' own,
    // read back pixel by pixel, and a few larger files cost less than the
    // time spent packing and unpacking them.
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    for (int y = height - 1; y >= 0; --y) {  // GL rows run bottom up
        const std::size_t start = static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                row[static_cast<std::size_t>(x) * 3 + c] = rgba[start + static_cast<std::size_t>(x) * 4 + c];
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}
