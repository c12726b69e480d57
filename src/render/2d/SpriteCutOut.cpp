#include "render/2d/SpriteCutOut.h"

#include <algorithm>
#include <span>
#include <vector>

namespace {
// Texels kept around each module: bilinear filtering reads one beyond its edge.
constexpr int kBorder = 2;

// Calls `use` with each module the frames draw; false on a frame, part or
// module out of the sheet's range, or when `use` refuses one.
template <typename Use>
bool forEachFrameModule(const SpriteSheet& sheet, std::span<const int> frames, Use use)
{
    for (int frame : frames) {
        if (frame < 0 || frame >= static_cast<int>(sheet.frames.size()))
            return false;
        const SpriteSheet::Frame& f = sheet.frames[static_cast<std::size_t>(frame)];
        if (static_cast<std::size_t>(f.firstPart) + f.partCount > sheet.parts.size())
            return false;
        for (int i = 0; i < f.partCount; ++i) {
            const std::size_t module = sheet.parts[static_cast<std::size_t>(f.firstPart + i)].module;
            if (module >= sheet.modules.size() || !use(module))
                return false;
        }
    }
    return true;
}
}  // namespace

bool cutOutFrames(const SpriteSheet& sheet, const TextureImage& image, std::span<const int> frames,
                  SpriteSheet& cutSheet, TextureImage& cutImage)
{
    const int texel = bytesPerTexel(image.format);
    if (texel == 0 || image.levels.empty() || image.width != sheet.texWidth || image.height != sheet.texHeight ||
        image.levels[0].size() != textureLevelBytes(image.format, image.width, image.height, 0))
        return false;
    std::vector<bool> kept(sheet.modules.size(), false);
    const bool inRange = forEachFrameModule(sheet, frames, [&](std::size_t module) {
        const SpriteSheet::Module& m = sheet.modules[module];
        kept[module] = true;
        return m.x + m.w <= image.width && m.y + m.h <= image.height;
    });
    if (!inRange)
        return false;

    // One row, modules side by side, each inside its border.
    struct Placed {
        int srcX, srcY, w, h, dstX;
    };
    std::vector<Placed> placed(sheet.modules.size());
    int width = 0, height = 1;
    for (std::size_t m = 0; m < sheet.modules.size(); ++m) {
        const SpriteSheet::Module& module = sheet.modules[m];
        if (!kept[m] || module.w == 0 || module.h == 0)
            continue;
        const int x0 = std::max(0, module.x - kBorder), y0 = std::max(0, module.y - kBorder);
        const int x1 = std::min(image.width, module.x + module.w + kBorder);
        const int y1 = std::min(image.height, module.y + module.h + kBorder);
        placed[m] = {x0, y0, x1 - x0, y1 - y0, width};
        width += x1 - x0;
        height = std::max(height, y1 - y0);
    }
    width = std::max(width, 1);
    if (width > kMaxTextureSide)
        return false;

    SpriteSheet outSheet = sheet;
    outSheet.texWidth = static_cast<std::uint16_t>(width);
    outSheet.texHeight = static_cast<std::uint16_t>(height);
    TextureImage outImage;
    outImage.format = image.format;
    outImage.width = width;
    outImage.height = height;
    outImage.levels.emplace_back(textureLevelBytes(image.format, width, height, 0), std::uint8_t{0});
    std::vector<std::uint8_t>& to = outImage.levels[0];
    const std::vector<std::uint8_t>& from = image.levels[0];
    for (std::size_t m = 0; m < sheet.modules.size(); ++m) {
        SpriteSheet::Module& module = outSheet.modules[m];
        const Placed& p = placed[m];
        if (!kept[m] || p.w == 0) {
            module = SpriteSheet::Module{};
            continue;
        }
        for (int row = 0; row < p.h; ++row)
            std::copy_n(from.begin() + (static_cast<std::ptrdiff_t>(p.srcY + row) * image.width + p.srcX) * texel,
                        p.w * texel, to.begin() + static_cast<std::ptrdiff_t>(row) * width * texel + p.dstX * texel);
        module.x = static_cast<std::uint16_t>(p.dstX + (module.x - p.srcX));
        module.y = static_cast<std::uint16_t>(module.y - p.srcY);
    }
    cutSheet = std::move(outSheet);
    cutImage = std::move(outImage);
    return true;
}

bool cutOutBand(const SpriteSheet& sheet, std::span<const int> frames, SpriteSheet& band, int& firstRow)
{
    int top = sheet.texHeight, bottom = 0;
    const bool inRange = forEachFrameModule(sheet, frames, [&](std::size_t module) {
        const SpriteSheet::Module& m = sheet.modules[module];
        top = std::min(top, m.y - kBorder);
        bottom = std::max(bottom, m.y + m.h + kBorder);
        return true;
    });
    if (!inRange)
        return false;
    top = std::max(top, 0);
    bottom = std::min(bottom, static_cast<int>(sheet.texHeight));
    if (bottom <= top)
        return false;
    SpriteSheet out = sheet;
    out.texHeight = static_cast<std::uint16_t>(bottom - top);
    for (SpriteSheet::Module& m : out.modules) {
        if (m.y >= top && m.y + m.h <= bottom)
            m.y = static_cast<std::uint16_t>(m.y - top);
        else
            m = SpriteSheet::Module{};  // not on the band: no frame kept draws it
    }
    band = std::move(out);
    firstRow = top;
    return true;
}
