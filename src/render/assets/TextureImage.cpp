#include "render/assets/TextureImage.h"

#include <algorithm>

int bytesPerTexel(TextureFormat format)
{
    switch (format) {
    case TextureFormat::Rgba8: return 4;
    case TextureFormat::Rgb8: return 3;
    case TextureFormat::Rgb565: return 2;
    case TextureFormat::LuminanceAlpha8: return 2;
    case TextureFormat::Luminance8: return 1;
    case TextureFormat::Alpha8: return 1;
    }
    return 0;
}

bool isTextureFormat(std::uint16_t value)
{
    return value < kTextureFormatCount;
}

std::size_t textureLevelBytes(TextureFormat format, int width, int height, int level)
{
    if (width <= 0 || height <= 0 || level < 0 || level > 31)
        return 0;
    const std::size_t w = static_cast<std::size_t>(std::max(1, width >> level));
    const std::size_t h = static_cast<std::size_t>(std::max(1, height >> level));
    return w * h * static_cast<std::size_t>(bytesPerTexel(format));
}

bool levelsHaveTheirSizes(const TextureImage& image)
{
    for (std::size_t i = 0; i < image.levels.size(); ++i)
        if (image.levels[i].size() != textureLevelBytes(image.format, image.width, image.height, static_cast<int>(i)))
            return false;
    return true;
}

int fullMipCount(int width, int height)
{
    int side = std::max(width, height), count = 1;
    while (side > 1) {
        side >>= 1;
        ++count;
    }
    return count;
}

namespace {

// The average of up to four texels of the source level, per channel.
void averageTexels(TextureFormat format, const std::uint8_t* texels[4], int count, std::uint8_t* out)
{
    if (format == TextureFormat::Rgb565) {
        unsigned r = 0, g = 0, b = 0;
        for (int i = 0; i < count; ++i) {
            const unsigned v = texels[i][0] | (texels[i][1] << 8);
            r += v >> 11;
            g += (v >> 5) & 0x3F;
            b += v & 0x1F;
        }
        const unsigned v = ((r / count) << 11) | ((g / count) << 5) | (b / count);
        out[0] = static_cast<std::uint8_t>(v & 0xFF);
        out[1] = static_cast<std::uint8_t>(v >> 8);
        return;
    }
    const int channels = bytesPerTexel(format);
    for (int c = 0; c < channels; ++c) {
        unsigned sum = 0;
        for (int i = 0; i < count; ++i)
            sum += texels[i][c];
        out[c] = static_cast<std::uint8_t>((sum + count / 2) / count);
    }
}

}  // namespace

bool buildMipChain(TextureImage& image)
{
    if (image.levels.empty() || image.levels[0].size() != textureLevelBytes(image.format, image.width, image.height, 0))
        return false;
    const int bpp = bytesPerTexel(image.format);
    const int total = fullMipCount(image.width, image.height);
    for (int level = static_cast<int>(image.levels.size()); level < total; ++level) {
        const std::vector<std::uint8_t>& src = image.levels[static_cast<std::size_t>(level - 1)];
        const int sw = std::max(1, image.width >> (level - 1)), sh = std::max(1, image.height >> (level - 1));
        const int dw = std::max(1, image.width >> level), dh = std::max(1, image.height >> level);
        if (src.size() != static_cast<std::size_t>(sw) * sh * bpp)
            return false;
        std::vector<std::uint8_t> dst(static_cast<std::size_t>(dw) * dh * bpp);
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) {
                const std::uint8_t* texels[4];
                int count = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx) {
                        const int sx = std::min(x * 2 + dx, sw - 1), sy = std::min(y * 2 + dy, sh - 1);
                        texels[count++] = src.data() + (static_cast<std::size_t>(sy) * sw + sx) * bpp;
                    }
                averageTexels(image.format, texels, count, dst.data() + (static_cast<std::size_t>(y) * dw + x) * bpp);
            }
        image.levels.push_back(std::move(dst));
    }
    return true;
}

bool narrowGreyToLuminanceAlpha(TextureImage& image)
{
    if (image.format != TextureFormat::Rgba8 || image.levels.empty() || !levelsHaveTheirSizes(image))
        return false;
    for (const std::vector<std::uint8_t>& level : image.levels) {
        for (std::size_t t = 0; t + 3 < level.size(); t += 4)
            if (level[t] != level[t + 1] || level[t] != level[t + 2])
                return false;
    }
    for (std::vector<std::uint8_t>& level : image.levels) {
        std::vector<std::uint8_t> narrow(level.size() / 2);
        for (std::size_t t = 0, o = 0; t + 3 < level.size(); t += 4, o += 2) {
            narrow[o] = level[t];
            narrow[o + 1] = level[t + 3];
        }
        level = std::move(narrow);
    }
    image.format = TextureFormat::LuminanceAlpha8;
    return true;
}

bool widenRgb565(TextureImage& image)
{
    if (image.format != TextureFormat::Rgb565 || image.levels.empty() || !levelsHaveTheirSizes(image))
        return false;
    for (std::vector<std::uint8_t>& level : image.levels) {
        std::vector<std::uint8_t> wide(level.size() / 2 * 3);
        for (std::size_t t = 0, o = 0; t + 1 < level.size(); t += 2, o += 3) {
            const unsigned v = level[t] | (level[t + 1] << 8);
            // Rounded to the nearest byte, so the top of each field is 255.
            wide[o] = static_cast<std::uint8_t>(((v >> 11) * 255 + 15) / 31);
            wide[o + 1] = static_cast<std::uint8_t>((((v >> 5) & 0x3F) * 255 + 31) / 63);
            wide[o + 2] = static_cast<std::uint8_t>(((v & 0x1F) * 255 + 15) / 31);
        }
        level = std::move(wide);
    }
    image.format = TextureFormat::Rgb8;
    return true;
}
