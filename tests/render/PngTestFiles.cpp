#include "PngTestFiles.h"

#include <png.h>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void noFlush(png_structp) {}

int channelsOf(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGBA: return 4;
    default: return 1;
    }
}

}  // namespace

std::string encodeTestPng(int width, int height, int colorType, const std::vector<std::uint8_t>& pixels,
                          const std::vector<std::uint8_t>& palette)
{
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, appendBytes, noFlush);
    png_set_IHDR(png, info, width, height, 8, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> colors;
    for (std::size_t i = 0; i + 2 < palette.size(); i += 3)
        colors.push_back({palette[i], palette[i + 1], palette[i + 2]});
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, colors.data(), static_cast<int>(colors.size()));
    png_write_info(png, info);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * channelsOf(colorType);
    for (int y = 0; y < height; ++y)
        png_write_row(png, pixels.data() + y * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}
