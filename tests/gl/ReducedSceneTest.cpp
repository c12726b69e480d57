// The lowest tier draws the 3-D scene into a smaller target and stretches it
// over the one shown; the water's pictures shrink below the top tier.
#include "GlTestContext.h"

#include "render/fx/PostProcess.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/world/Water.h"

#include <memory>

namespace {

struct ReducedScene : GlTest {
    void TearDown() override
    {
        if (!IsSkipped()) {
            setGraphicsExtensions(nullptr);
            gfx().setQualityTier(0);
        }
        GlTest::TearDown();
    }
    // Red on the left half of the bound target, green on the right.
    void drawHalves()
    {
        gfx().state().depthTest = false;
        clearTo({255, 0, 0, 255});
        drawQuad(0.0f, -1.0f, 1.0f, 1.0f, 0.0f, {0, 255, 0, 255});
    }
};

TEST_F(ReducedScene, UpperTiersDrawAtFullSize)
{
    for (const int tier : {1, 2, 3}) {
        gfx().setQualityTier(tier);
        EXPECT_FALSE(PostProcess::beginReducedScene()) << tier;
        EXPECT_EQ(gfx().currentRenderTarget(), &target()) << tier;
    }
}

// With the framebuffer blit (the game's path) and with the drawn quad that
// stands in for it, the picture covers the whole target, halves in place.
TEST_F(ReducedScene, LowestTierDrawsHalfSizeAndStretchesOverTheTarget)
{
    useTarget(64, 48);
    gfx().setQualityTier(0);
    GraphicsES20Extensions extensions(gfx());
    ASSERT_TRUE(extensions.load());
    for (const bool blit : {true, false}) {
        SCOPED_TRACE(blit);
        setGraphicsExtensions(blit ? &extensions : nullptr);
        clearTo({0, 0, 255, 255});
        ASSERT_TRUE(PostProcess::beginReducedScene());
        const RenderBuffer* reduced = gfx().currentRenderTarget();
        ASSERT_NE(reduced, &target());
        EXPECT_EQ(reduced->width(), 32);
        EXPECT_EQ(reduced->height(), 24);
        drawHalves();
        PostProcess::endReducedScene(&target());
        EXPECT_EQ(gfx().currentRenderTarget(), &target());
        for (const int y : {0, 23, 47}) {
            EXPECT_TRUE(rgbNear(pixel(0, y), {255, 0, 0, 255})) << y;
            EXPECT_TRUE(rgbNear(pixel(28, y), {255, 0, 0, 255})) << y;
            EXPECT_TRUE(rgbNear(pixel(36, y), {0, 255, 0, 255})) << y;
            EXPECT_TRUE(rgbNear(pixel(63, y), {0, 255, 0, 255})) << y;
        }
    }
    extensions.unload();
}

TEST_F(ReducedScene, FollowsTheShownTargetsSize)
{
    gfx().setQualityTier(0);
    for (const int size : {40, 64}) {
        useTarget(size, size);
        ASSERT_TRUE(PostProcess::beginReducedScene());
        EXPECT_EQ(gfx().currentRenderTarget()->width(), size / 2);
        PostProcess::endReducedScene(&target());
    }
}

TEST_F(ReducedScene, WaterPicturesAreSmallerBelowTheTopTier)
{
    useTarget(120, 96);
    struct Expected {
        int tier, reflectionWidth, refractionWidth;
    };
    for (const Expected e : {Expected{2, 30, 20}, Expected{3, 40, 30}}) {
        gfx().setQualityTier(e.tier);
        WaterTechnique water;
        ASSERT_TRUE(water.preparePictures());
        EXPECT_EQ(water.reflection().width(), e.reflectionWidth) << e.tier;
        EXPECT_EQ(water.refraction().width(), e.refractionWidth) << e.tier;
    }
    // No pictures at all below tier 2.
    gfx().setQualityTier(1);
    WaterTechnique low;
    EXPECT_FALSE(low.preparePictures());
}

}  // namespace
