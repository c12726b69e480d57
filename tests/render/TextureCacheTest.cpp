#include "platform/File.h"
#include "render/assets/PvrFormat.h"
#include "render/Renderer.h"
#include "render/assets/TextureCache.h"
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

TEST_F(TextureCache, SameRequestSharesOneTextureUntilTheLastReferenceGoes)
{
    const std::size_t before = cachedTextureCount();
    TextureRef first = getTexture("data/a.pvr");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->width(), 4);
    EXPECT_EQ(first->height(), 2);
    EXPECT_EQ(first->name(), "data/a.pvr");
    {
        TextureRef second = getTexture("data/a.pvr");
        EXPECT_EQ(second.get(), first.get());
        EXPECT_EQ(first->referenceCount(), 2);
    }
    EXPECT_EQ(first->referenceCount(), 1);
    EXPECT_EQ(findCachedTexture("data/a.pvr"), first.get());

    // Moving hands the one reference over; the destination's old one goes.
    TextureRef moved = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_EQ(moved->referenceCount(), 1);
    TextureRef other = getTexture("data/a.pvr", kRepeatSampler);
    ASSERT_TRUE(other);
    other = std::move(moved);
    EXPECT_EQ(findCachedTexture("data/a.pvr", kRepeatSampler), nullptr);
    EXPECT_EQ(cachedTextureCount(), before + 1);
    other.reset();
    EXPECT_EQ(findCachedTexture("data/a.pvr"), nullptr);
    EXPECT_EQ(cachedTextureCount(), before);
}

TEST_F(TextureCache, OtherSamplerOrDroppedLevelsGetTheirOwnTexture)
{
    TextureRef clamped = getTexture("data/a.pvr", kClampSampler);
    TextureRef repeated = getTexture("data/a.pvr", kRepeatSampler);
    TextureRef reduced = getTexture("data/a.pvr", kClampSampler, {1});
    ASSERT_TRUE(clamped && repeated && reduced);
    EXPECT_NE(clamped.get(), repeated.get());
    EXPECT_NE(clamped.get(), reduced.get());
    EXPECT_EQ(clamped->width(), 4);
    EXPECT_EQ(reduced->width(), 2);   // the top level dropped, though the full one is cached
    EXPECT_EQ(findCachedTexture("data/a.pvr", kRepeatSampler), repeated.get());
    EXPECT_EQ(findCachedTexture("data/a.pvr", kClampSampler, {1}), reduced.get());
    EXPECT_EQ(getTexture("data/a.pvr", kClampSampler, {1}).get(), reduced.get());
}

TEST_F(TextureCache, MissingAndDamagedFilesGiveNothingAndAreNotCached)
{
    const std::size_t before = cachedTextureCount();
    EXPECT_FALSE(getTexture("data/none.png"));
    EXPECT_FALSE(getTexture("data/broken.pvr"));
    EXPECT_FALSE(getTexture("data/glow.raw"));   // .raw needs its size
    EXPECT_FALSE(loadRawLuminanceAlphaTexture("data/short.raw", 8, 8, kClampSampler));
    EXPECT_FALSE(loadRawTexture(TextureFormat::Alpha8, "data/none.raw", 8, 8, kClampSampler));
    EXPECT_EQ(cachedTextureCount(), before);
}

TEST_F(TextureCache, RawTexturesAreKeyedByFormatAndSize)
{
    TextureRef glow = loadRawLuminanceAlphaTextureDefault("data/glow.raw", 8, 8);
    ASSERT_TRUE(glow);
    EXPECT_EQ(glow->format(), TextureFormat::LuminanceAlpha8);
    // Without a device the default sampler is the plain clamp one.
    EXPECT_EQ(loadRawLuminanceAlphaTexture("data/glow.raw", 8, 8, kClampSampler).get(), glow.get());
    TextureRef alpha = loadRawTexture(TextureFormat::Alpha8, "data/glow.raw", 8, 8, kClampSampler);
    TextureRef smaller = loadRawLuminanceAlphaTexture("data/glow.raw", 4, 4, kClampSampler);
    ASSERT_TRUE(alpha && smaller);
    EXPECT_EQ(alpha->format(), TextureFormat::Alpha8);
    EXPECT_EQ(smaller->width(), 4);
    EXPECT_NE(alpha.get(), glow.get());
    EXPECT_NE(smaller.get(), glow.get());
}

TEST_F(TextureCache, ReferenceOutlivesAReset)
{
    TextureRef kept = getTexture("data/a.pvr");
    ASSERT_TRUE(kept);
    resetRenderGlobals();
    EXPECT_EQ(findCachedTexture("data/a.pvr"), nullptr);
    EXPECT_EQ(kept->width(), 4);
    TextureRef fresh = getTexture("data/a.pvr");
    EXPECT_NE(fresh.get(), kept.get());
}   // both go here; the first no longer touches any cache

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

}  // namespace

TEST(SharedModelTextures, OnlyTheUnitTexturesShrinkBelowTierTwo)
{
    EXPECT_EQ(sharedModelTextureDrop("data/models/units.pvr", 0), 1);
    EXPECT_EQ(sharedModelTextureDrop("units.pvr", 1), 1);   // as a model names it
    EXPECT_EQ(sharedModelTextureDrop("data/models/units_di.pvr", 1), 2);
    EXPECT_EQ(sharedModelTextureDrop("data/models/building_di.pvr", 0), 2);
    for (int tier : {2, 3}) {
        EXPECT_EQ(sharedModelTextureDrop("data/models/units.pvr", tier), 0);
        EXPECT_EQ(sharedModelTextureDrop("data/models/units_di.pvr", tier), 0);
    }
    for (const char* other : {"data/models/building.pvr", "data/models/build1.pvr", "data/models/myunits.pvr",
                              "data/models/units.pvr.bak", "units.png", ""})
        EXPECT_EQ(sharedModelTextureDrop(other, 0), 0) << other;
}
