#include "render/GpuMemory.h"

#include <gtest/gtest.h>

// Sizes as the software renderer keeps them: the figures the log line after
// loading reports, checked against what allocating and watching the heap gave.
TEST(StoredTextureBytes, MatchTheSoftwareRenderersLayout)
{
    constexpr std::size_t kMiB = 1024 * 1024;
    // 3-byte texels are widened: RGB costs what RGBA does, 5-6-5 half of it.
    EXPECT_EQ(storedTextureBytes(TextureFormat::Rgb8, 1024, 1024, 1), 4 * kMiB);
    EXPECT_EQ(storedTextureBytes(TextureFormat::Rgba8, 1024, 1024, 1), 4 * kMiB);
    EXPECT_EQ(storedTextureBytes(TextureFormat::Rgb565, 1024, 1024, 1), 2 * kMiB);
    EXPECT_EQ(storedTextureBytes(TextureFormat::LuminanceAlpha8, 512, 256, 1), 512u * 256u * 2u);
    // A level is whole 4x4 blocks with rows of whole cache lines: a 1x1 level
    // costs four 64-byte rows.
    EXPECT_EQ(storedTextureBytes(TextureFormat::Alpha8, 1, 1, 1), 256u);
    EXPECT_EQ(storedTextureBytes(TextureFormat::Rgba8, 17, 3, 1), 128u * 4u);
    // A full chain adds about a third, a little more for the padded small levels.
    const std::size_t chain = storedTextureBytes(TextureFormat::Rgb565, 1024, 1024, 11);
    EXPECT_GT(chain, 2 * kMiB * 4 / 3);
    EXPECT_LT(chain, 2 * kMiB * 4 / 3 + 8192);
    // Nothing for an empty size.
    EXPECT_EQ(storedTextureBytes(TextureFormat::Rgba8, 0, 16, 1), 0u);
    EXPECT_EQ(storedTextureBytes(TextureFormat::Rgba8, 16, 16, 0), 0u);
}

TEST(StoredDepthBytes, StencilDoublesTheTexel)
{
    EXPECT_EQ(storedDepthBytes(960, 640, true), 960u * 640u * 4u);
    EXPECT_EQ(storedDepthBytes(960, 640, false), 960u * 640u * 2u);
    EXPECT_EQ(storedDepthBytes(0, 640, true), 0u);
}
