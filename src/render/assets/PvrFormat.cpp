#include "render/assets/PvrFormat.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kMagic[4] = {'S', 'P', 'V', 'R'};

std::uint16_t readU16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

void appendU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

bool sizeInRange(int side)
{
    return side >= 1 && side <= kMaxTextureSide;
}

}  // namespace

std::vector<std::uint8_t> encodePvr(const TextureImage& image)
{
    const int levels = static_cast<int>(image.levels.size());
    if (!sizeInRange(image.width) || !sizeInRange(image.height) || levels < 1 ||
        levels > fullMipCount(image.width, image.height) || bytesPerTexel(image.format) == 0 ||
        !levelsHaveTheirSizes(image))
        return {};

    std::vector<std::uint8_t> out(kMagic, kMagic + 4);
    appendU16(out, kPvrVersion);
    appendU16(out, static_cast<std::uint16_t>(image.format));
    appendU16(out, static_cast<std::uint16_t>(image.width));
    appendU16(out, static_cast<std::uint16_t>(image.height));
    appendU16(out, static_cast<std::uint16_t>(levels));
    appendU16(out, 0);
    for (const auto& level : image.levels)
        out.insert(out.end(), level.begin(), level.end());
    return out;
}

bool decodePvr(std::span<const std::uint8_t> bytes, TextureImage& out, int dropLevels)
{
    if (bytes.size() < kPvrHeaderBytes || std::memcmp(bytes.data(), kMagic, 4) != 0)
        return false;
    const std::uint16_t version = readU16(bytes, 4), format = readU16(bytes, 6);
    const int width = readU16(bytes, 8), height = readU16(bytes, 10), mipCount = readU16(bytes, 12);
    // A set reserved word is a file of a later version or a damaged one.
    const std::uint16_t reserved = readU16(bytes, 14);
    if (version != kPvrVersion || reserved != 0 || !isTextureFormat(format) || !sizeInRange(width) || !sizeInRange(height) ||
        mipCount < 1 || mipCount > fullMipCount(width, height))
        return false;
    const auto texFormat = static_cast<TextureFormat>(format);

    std::size_t total = kPvrHeaderBytes;
    for (int i = 0; i < mipCount; ++i)
        total += textureLevelBytes(texFormat, width, height, i);
    if (total != bytes.size())
        return false;

    const int drop = (dropLevels > 0 && dropLevels < mipCount) ? dropLevels : 0;
    TextureImage image;
    image.format = texFormat;
    image.width = std::max(1, width >> drop);
    image.height = std::max(1, height >> drop);
    std::size_t at = kPvrHeaderBytes;
    for (int i = 0; i < mipCount; ++i) {
        const std::size_t n = textureLevelBytes(texFormat, width, height, i);
        if (i >= drop)
            image.levels.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                      bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    }
    out = std::move(image);
    return true;
}
