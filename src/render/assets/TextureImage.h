#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Pixel layouts a texture can hold. The numbers are stored in .pvr files.
enum class TextureFormat : std::uint16_t {
    Rgba8 = 0,
    Rgb8 = 1,
    Rgb565 = 2,           // 16-bit little-endian texels
    LuminanceAlpha8 = 3,
    Luminance8 = 4,
    Alpha8 = 5,
};
constexpr int kTextureFormatCount = 6;

// Bytes per texel; 0 for a number that is no format.
int bytesPerTexel(TextureFormat format);
bool isTextureFormat(std::uint16_t value);

// Decoded pixels of a texture, apart from any GL object, so loaders work
// without a window. Level 0 is the full size; level i is max(1, size >> i) on
// each side. Rows are tightly packed, bottom row last (as in the file).
struct TextureImage {
    TextureFormat format = TextureFormat::Rgba8;
    int width = 0, height = 0;
    std::vector<std::vector<std::uint8_t>> levels;
};

// Bytes of mip level `level` of an image of that format and size.
std::size_t textureLevelBytes(TextureFormat format, int width, int height, int level);
// Whether every level present has the bytes its format, size and number give.
bool levelsHaveTheirSizes(const TextureImage& image);
// Number of levels of a full mip chain down to 1x1.
int fullMipCount(int width, int height);

// Largest side the loaders accept; bigger files are rejected as damaged.
constexpr int kMaxTextureSide = 8192;

// Appends box-filtered levels down to 1x1 after the existing ones; built on the
// CPU because GL cannot make mip levels of luminance and alpha textures on
// every context. False when level 0 has the wrong size.
[[nodiscard]] bool buildMipChain(TextureImage& image);
// An RGBA image whose every texel is grey (red, green and blue alike, as in
// the fonts) becomes luminance and alpha: half the memory, sampled as the same
// colour. True when it changed; any other image is left as it is.
bool narrowGreyToLuminanceAlpha(TextureImage& image);
// A 5-6-5 image becomes 8 bits a channel, each field scaled to the full byte
// (31 and 63 to 255). The file stays small, but the software renderer samples
// packed 16-bit texels at a tenth more cost a ground pixel, and keeps RGB in
// 4 bytes a texel either way. True when it changed; other formats, or an image
// with a level of the wrong size, are left as they are.
bool widenRgb565(TextureImage& image);
