#include "WorldTextures.h"

#include "DataTool.h"

#include "render/assets/PvrFormat.h"

#include <algorithm>
#include <cmath>
#include <vector>

std::uint8_t toByte(float v)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

bool writeMippedPvr(DataContext& context, const std::string& name, TextureImage image)
{
    if (!buildMipChain(image)) {
        context.error(name + ": cannot build its mip levels");
        return false;
    }
    const std::vector<std::uint8_t> bytes = encodePvr(image);
    if (bytes.empty()) {
        context.error(name + ": the image does not encode");
        return false;
    }
    return context.writeFile(name, bytes);
}

TextureImage toRgb565(const TextureImage& rgb)
{
    TextureImage out;
    out.width = rgb.width;
    out.height = rgb.height;
    out.format = TextureFormat::Rgb565;
    if (rgb.format != TextureFormat::Rgb8)
        return out;
    auto step = [](std::uint8_t v, unsigned top) { return (static_cast<unsigned>(v) * top + 127u) / 255u; };
    for (const std::vector<std::uint8_t>& level : rgb.levels) {
        std::vector<std::uint8_t> packed(level.size() / 3 * 2);
        for (std::size_t i = 0, o = 0; i + 2 < level.size(); i += 3, o += 2) {
            const unsigned v = (step(level[i], 31) << 11) | (step(level[i + 1], 63) << 5) | step(level[i + 2], 31);
            packed[o] = static_cast<std::uint8_t>(v & 0xFF);
            packed[o + 1] = static_cast<std::uint8_t>(v >> 8);
        }
        out.levels.push_back(std::move(packed));
    }
    return out;
}

bool writeMippedPvr565(DataContext& context, const std::string& name, TextureImage rgb)
{
    if (rgb.format != TextureFormat::Rgb8 || !buildMipChain(rgb)) {
        context.error(name + ": cannot build its mip levels");
        return false;
    }
    const std::vector<std::uint8_t> bytes = encodePvr(toRgb565(rgb));
    if (bytes.empty()) {
        context.error(name + ": the image does not encode");
        return false;
    }
    return context.writeFile(name, bytes);
}
