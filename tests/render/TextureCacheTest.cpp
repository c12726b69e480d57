#include "platform/File.h"
#include "render/assets/PvrFormat.h"
#include "render/Texture2D.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

// Without a graphics device textures are cached with their size but no GL object.
namespace {

struct TextureCache : testing::Test {
    void SetUp() override
    {
        TextureImage image;
        image.format = TextureFormat::Rgba8;
        image.width = 4;
        image.height = 2;
        image.levels.emplace_back(32, 255);
        image.levels.emplace_back(8, 255);
        const std::vector<std::uint8_t> pvr = encodePvr(image);
        dir.write("data/a.pvr", std::string(pvr.begin(), pvr.end()));
        dir.write("data/glow.raw", std::string(8 * 8 * 2, '\x40'));
        dir.write("data/short.raw", std::string(8 * 8 * 2 - 1, '\x40'));
        dir.write("data/broken.pvr", std::string(pvr.begin(), pvr.end() - 1));
        setDataRoot(dir.folder());
        setSaveFolder(dir.folder() + "nosave/");
    }
    TempDir dir;
};

TEST_F(TextureCache, SameNameGivesTheSameTextureWithOneMoreReference)
{
    Texture2D* first = getTexture("data/a.pvr");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->width(), 4);
    EXPECT_EQ(first->height(), 2);
    EXPECT_EQ(first->name(), "data/a.pvr");
    Texture2D* second = getTexture("data/a.pvr");
    EXPECT_EQ(second, first);
    EXPECT_EQ(first->referenceCount(), 2);
    first->release();
    EXPECT_EQ(findCachedTexture("data/a.pvr"), first);
    const std::size_t before = cachedTextureCount();
    second->release();
    EXPECT_EQ(findCachedTexture("data/a.pvr"), nullptr);
    EXPECT_EQ(cachedTextureCount(), before - 1);
}

TEST_F(TextureCache, ReleasedTextureIsLoadedAgainOnTheNextRequest)
{
    Texture2D* texture = getTexture("data/a.pvr", {}, {1});
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->width(), 2);   // the top level dropped
    texture->release();
    texture = getTexture("data/a.pvr");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->referenceCount(), 1);
    texture->release();
}

TEST_F(TextureCache, MissingAndDamagedFilesGiveNullAndAreNotCached)
{
    const std::size_t before = cachedTextureCount();
    EXPECT_EQ(getTexture("data/none.png"), nullptr);
    EXPECT_EQ(getTexture("data/broken.pvr"), nullptr);
    EXPECT_EQ(getTexture("data/glow.raw"), nullptr);   // .raw needs its size
    EXPECT_EQ(loadRawLuminanceAlphaTexture("data/short.raw", 8, 8, kClampSampler), nullptr);
    EXPECT_EQ(loadRawTexture(TextureFormat::Alpha8, "data/none.raw", 8, 8, kClampSampler), nullptr);
    EXPECT_EQ(cachedTextureCount(), before);
}

TEST_F(TextureCache, RawTexturesAreCachedByName)
{
    Texture2D* glow = loadRawLuminanceAlphaTextureDefault("data/glow.raw", 8, 8);
    ASSERT_NE(glow, nullptr);
    EXPECT_EQ(glow->format(), TextureFormat::LuminanceAlpha8);
    EXPECT_EQ(loadRawLuminanceAlphaTexture("data/glow.raw", 8, 8, kRepeatSampler), glow);
    glow->release();
    glow->release();
    EXPECT_EQ(findCachedTexture("data/glow.raw"), nullptr);
}

TEST(OwnedTexture, UploadWithoutADeviceFailsWithoutTouchingGl)
{
    TextureImage image;
    image.width = image.height = 1;
    image.levels.push_back({1, 2, 3, 4});
    Texture2D texture;
    EXPECT_FALSE(texture.upload(image, kClampSampler));
    EXPECT_FALSE(texture.allocate(TextureFormat::Rgba8, 4, 4, kClampSampler));
    EXPECT_EQ(texture.glName(), 0u);
}

TEST(OwnedTexture, LastReleaseEmptiesButKeepsTheObject)
{
    Texture2D texture;
    texture.release();
    EXPECT_EQ(texture.referenceCount(), 0);
    EXPECT_EQ(texture.glName(), 0u);
}

}  // namespace
