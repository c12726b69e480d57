#include "render/GpuMemory.h"

#include "render/BufferObject.h"
#include "render/RenderBuffer.h"
#include "render/Texture2D.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr std::size_t kRowAlignment = 64;   // a cache line
constexpr int kBlockSide = 4;                // rasterised in 4x4 blocks

std::size_t alignUp(std::size_t value, std::size_t to)
{
    return (value + to - 1) / to * to;
}

// The software renderer has no 3-byte texel: RGB is kept as RGBX.
std::size_t storedTexelBytes(TextureFormat format)
{
    return format == TextureFormat::Rgb8 ? 4u : static_cast<std::size_t>(bytesPerTexel(format));
}

double mebibytes(std::size_t bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// Colour textures of render targets are counted with their target.
bool isTargetColour(const Texture2D& texture)
{
    for (std::size_t i = 0; i < RenderBuffer::count(); ++i)
        if (const RenderBuffer* target = RenderBuffer::at(i); target && target->colorTexture() == &texture)
            return true;
    return false;
}

const char* formatName(TextureFormat format)
{
    switch (format) {
    case TextureFormat::Rgba8: return "rgba8";
    case TextureFormat::Rgb8: return "rgb8";
    case TextureFormat::Rgb565: return "rgb565";
    case TextureFormat::LuminanceAlpha8: return "la8";
    case TextureFormat::Luminance8: return "l8";
    case TextureFormat::Alpha8: return "a8";
    }
    return "?";
}

}  // namespace

std::size_t storedTextureBytes(TextureFormat format, int width, int height, int levels)
{
    if (width < 1 || height < 1 || levels < 1)
        return 0;
    std::size_t total = 0;
    for (int i = 0; i < levels; ++i) {
        const auto w = static_cast<std::size_t>(std::max(1, width >> i));
        const auto h = static_cast<std::size_t>(std::max(1, height >> i));
        const std::size_t row = alignUp(alignUp(w, kBlockSide) * storedTexelBytes(format), kRowAlignment);
        total += row * alignUp(h, kBlockSide);
    }
    return total;
}

std::size_t storedDepthBytes(int width, int height, bool withStencil)
{
    if (width < 1 || height < 1)
        return 0;
    const std::size_t texel = withStencil ? 4 : 2;
    const std::size_t row = alignUp(alignUp(static_cast<std::size_t>(width), kBlockSide) * texel, kRowAlignment);
    return row * alignUp(static_cast<std::size_t>(height), kBlockSide);
}

GpuMemoryTally tallyGpuMemory()
{
    GpuMemoryTally tally;
    for (std::size_t i = 0; i < Texture2D::count(); ++i) {
        const Texture2D* texture = Texture2D::at(i);
        if (!texture || texture->glName() == 0 || isTargetColour(*texture))
            continue;
        ++tally.textures;
        tally.textureBytes +=
            storedTextureBytes(texture->format(), texture->width(), texture->height(), texture->levelCount());
    }
    for (std::size_t i = 0; i < RenderBuffer::count(); ++i) {
        const RenderBuffer* target = RenderBuffer::at(i);
        if (!target || !target->isValid())
            continue;
        ++tally.targets;
        if (const Texture2D* colour = target->colorTexture())
            tally.targetBytes += storedTextureBytes(colour->format(), colour->width(), colour->height(), 1);
        if (target->hasDepth())
            tally.targetBytes += storedDepthBytes(target->width(), target->height(), target->hasStencil());
    }
    for (std::size_t i = 0; i < BufferObject::count(); ++i) {
        const BufferObject* buffer = BufferObject::at(i);
        if (!buffer || buffer->glName() == 0)
            continue;
        ++tally.buffers;
        tally.bufferBytes += buffer->size();
    }
    return tally;
}

std::string describeGpuMemory(const GpuMemoryTally& tally)
{
    char line[160];
    std::snprintf(line, sizeof line, "textures %d (%.1f MiB), targets %d (%.1f MiB), buffers %d (%.1f MiB)",
                  tally.textures, mebibytes(tally.textureBytes), tally.targets, mebibytes(tally.targetBytes),
                  tally.buffers, mebibytes(tally.bufferBytes));
    return line;
}

std::string listLargestTextures(int count)
{
    struct Entry {
        std::size_t bytes;
        const Texture2D* texture;
        bool target;
    };
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < Texture2D::count(); ++i)
        if (const Texture2D* t = Texture2D::at(i); t && t->glName() != 0)
            entries.push_back({storedTextureBytes(t->format(), t->width(), t->height(), t->levelCount()), t,
                               isTargetColour(*t)});
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.bytes > b.bytes; });
    std::string out;
    for (int i = 0; i < count && i < static_cast<int>(entries.size()); ++i) {
        const Texture2D& t = *entries[static_cast<std::size_t>(i)].texture;
        char line[320];
        std::snprintf(line, sizeof line, "%s %dx%d %s x%d %.2f MiB\n",
                      entries[static_cast<std::size_t>(i)].target ? "(target)" : t.name().c_str(), t.width(),
                      t.height(), formatName(t.format()), t.levelCount(), mebibytes(entries[static_cast<std::size_t>(i)].bytes));
        out += line;
    }
    return out;
}
