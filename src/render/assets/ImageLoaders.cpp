#include "render/assets/ImageLoaders.h"

#include "platform/File.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <functional>

namespace {

constexpr std::size_t kMaxDeflateRatio = 1032;

void readFromFile(png_structp png, png_bytep data, png_size_t length)
{
    File* file = static_cast<File*>(png_get_io_ptr(png));
    if (file->read(data, length) != length)
        png_error(png, "file ends inside the image");
}

[[noreturn]] void failDecode(png_structp png, png_const_charp)
{
    std::longjmp(png_jmpbuf(png), 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

void premultiply(std::uint8_t* rgba, std::size_t size)
{
    for (std::size_t i = 0; i + 3 < size; i += 4) {
        const unsigned a = rgba[i + 3];
        for (int c = 0; c < 3; ++c)
            rgba[i + c] = static_cast<std::uint8_t>((rgba[i + c] * a + 127) / 255);
    }
}

}  // namespace

// libpng reports errors by a long jump back here. Every object with a
// destructor lives in this frame and is made before setjmp, so the jump skips
// only libpng's own C frames and the read callback.
bool decodePngRows(File& file, int firstRow, int rowCount, TextureImage& out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failDecode, ignoreWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &file, readFromFile);
    png_set_user_limits(png, kMaxTextureSide, kMaxTextureSide);
    // No ancillary chunk matters here (color profiles, text, times), and
    // libpng would allocate a text chunk's declared length before reading a
    // byte of it: skip them all, which reads them through a small buffer.
    // libpng still handles IHDR, PLTE, tRNS, IDAT and IEND.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, info);
    // From here on libpng's lenient faults count: image data beyond what the
    // header's size needs means header and data disagree. (Before the image,
    // a slightly wrong color profile stays a warning.)
    png_set_benign_errors(png, 0);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    const std::size_t sourceRowBytes = png_get_rowbytes(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * 4)
        png_error(png, "unexpected row layout");

    // The header alone must not cost memory: the filtered rows have to come
    // out of the compressed bytes still in the file, which deflate expands
    // at most about 1032 times.
    const std::size_t filteredBytes = static_cast<std::size_t>(height) * (sourceRowBytes + 1);
    const std::size_t left = file.size() > file.tell() ? file.size() - file.tell() : 0;
    if (filteredBytes / kMaxDeflateRatio > left)
        png_error(png, "image data too short for the image size");

    const png_uint_32 first = std::min(static_cast<png_uint_32>(std::max(firstRow, 0)), height);
    const png_uint_32 count =
        std::min(rowCount < 0 ? height : static_cast<png_uint_32>(rowCount), height - first);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    if (passes > 1) {
        // Interlaced rows come together only at the last pass: the whole image first.
        pixels.resize(rowBytes * height);
        rows.resize(height);
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = pixels.data() + static_cast<std::size_t>(y) * rowBytes;
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        pixels.erase(pixels.begin() + static_cast<std::ptrdiff_t>((first + count) * rowBytes), pixels.end());
        pixels.erase(pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(first * rowBytes));
    } else {
        // Row by row: rows above the band pass through one row's room, and
        // the rest of the file is not read at all.
        pixels.resize(rowBytes * std::max<png_uint_32>(count, 1));
        for (png_uint_32 y = 0; y < first + count; ++y)
            png_read_row(png, pixels.data() + (y < first ? 0 : static_cast<std::size_t>(y - first) * rowBytes), nullptr);
        pixels.resize(rowBytes * count);
        if (first + count == height)
            png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);

    premultiply(pixels.data(), pixels.size());
    TextureImage image;
    image.format = TextureFormat::Rgba8;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(count);
    image.levels.push_back(std::move(pixels));
    out = std::move(image);
    return true;
}

bool decodePng(File& file, TextureImage& out)
{
    return decodePngRows(file, 0, -1, out);
}

bool decodePngBands(File& file, int bandRows, const std::function<bool(int width, int height)>& start,
                    const std::function<bool(int firstRow, int rows, const std::uint8_t* rgba)>& band)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failDecode, ignoreWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    std::vector<std::uint8_t> pixels;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &file, readFromFile);
    png_set_user_limits(png, kMaxTextureSide, kMaxTextureSide);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);  // as decodePngRows
    png_read_info(png, info);
    png_set_benign_errors(png, 0);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    const std::size_t sourceRowBytes = png_get_rowbytes(png, info);
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    png_set_expand(png);
    png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    const std::size_t filteredBytes = static_cast<std::size_t>(height) * (sourceRowBytes + 1);
    const std::size_t left = file.size() > file.tell() ? file.size() - file.tell() : 0;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    if (interlaced || png_get_rowbytes(png, info) != rowBytes || filteredBytes / kMaxDeflateRatio > left ||
        bandRows < 1 || !start(static_cast<int>(width), static_cast<int>(height))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    pixels.resize(rowBytes * static_cast<std::size_t>(std::min<png_uint_32>(static_cast<png_uint_32>(bandRows), height)));
    for (png_uint_32 y = 0; y < height;) {
        const png_uint_32 rows = std::min<png_uint_32>(static_cast<png_uint_32>(bandRows), height - y);
        for (png_uint_32 r = 0; r < rows; ++r)
            png_read_row(png, pixels.data() + r * rowBytes, nullptr);
        premultiply(pixels.data(), rows * rowBytes);
        if (!band(static_cast<int>(y), static_cast<int>(rows), pixels.data())) {
            png_destroy_read_struct(&png, &info, nullptr);
            return false;
        }
        y += rows;
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool decodeRaw(File& file, TextureFormat format, int width, int height, TextureImage& out)
{
    if (width < 1 || height < 1 || width > kMaxTextureSide || height > kMaxTextureSide || bytesPerTexel(format) == 0)
        return false;
    const std::size_t needed = textureLevelBytes(format, width, height, 0);
    if (file.size() < needed || !file.seek(0))
        return false;
    std::vector<std::uint8_t> texels(needed);
    if (file.read(texels.data(), needed) != needed)
        return false;
    TextureImage image;
    image.format = format;
    image.width = width;
    image.height = height;
    image.levels.push_back(std::move(texels));
    out = std::move(image);
    return true;
}
