#include "render/BufferObject.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/fx/HeatHaze.h"
#include "render/fx/ParticleSprites.h"
#include "render/fx/PostProcess.h"

#include "GlTestContext.h"

#include <initializer_list>
#include <memory>

namespace {
// A texture of 2 x 2 flat cells, 8 pixels each, colors given top row first.
std::unique_ptr<Texture2D> cellTexture(const Rgba (&cells)[4])
{
    TextureImage image;
    image.width = image.height = 16;
    std::vector<std::uint8_t> texels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const Rgba& c = cells[(y / 8) * 2 + x / 8];
            texels.insert(texels.end(), {c.r, c.g, c.b, c.a});
        }
    image.levels.push_back(texels);
    auto texture = std::make_unique<Texture2D>();
    if (!texture->upload(image, {TextureFilter::Nearest, TextureWrap::ClampToEdge}))
        return nullptr;
    return texture;
}

// The extension programs loaded on the shared test device.
struct EffectGl : GlTest {
    std::unique_ptr<GraphicsES20Extensions> extensions;
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        extensions = std::make_unique<GraphicsES20Extensions>(gfx());
        ASSERT_TRUE(extensions->load()) << extensions->error();
        setGraphicsExtensions(extensions.get());
        clearTo({0, 0, 0, 255});
    }
    void TearDown() override
    {
        setGraphicsExtensions(nullptr);
        if (extensions)
            extensions->unload();
        GlTest::TearDown();
    }
};

// A coded sheet: animation 2 has two frames, the second the yellow cell.
struct Particles : EffectGl {
    std::unique_ptr<Texture2D> sheet, lightmaps;
    ParticleAtlas atlas;
    ParticleSpriteBatch batch;
    void SetUp() override
    {
        EffectGl::SetUp();
        if (IsSkipped())
            return;
        sheet = cellTexture({{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}});
        lightmaps = cellTexture({{255, 255, 255, 255}, {128, 128, 128, 255}, {0, 0, 0, 255}, {255, 0, 0, 255}});
        ASSERT_TRUE(sheet && lightmaps);
        // Frames inset by half a texel so no neighbour cell bleeds in.
        const float h = 0.5f / 16.0f;
        const ParticleAtlas::Rect red{h, h, 0.5f - h, 0.5f - h}, green{0.5f + h, h, 1 - h, 0.5f - h};
        const ParticleAtlas::Rect blue{h, 0.5f + h, 0.5f - h, 1 - h}, yellow{0.5f + h, 0.5f + h, 1 - h, 1 - h};
        atlas.animations = {{red}, {green}, {blue, yellow}};
        atlas.lightmapGrid = 2;
        gfx().state().textures[0] = sheet.get();
        gfx().state().depthTest = false;
    }
    void addThree(int animation, int frame, int animLightMap)
    {
        for (float x : {-0.6f, 0.0f, 0.6f})
            ASSERT_TRUE(batch.add({x, 0, 0}, {0.2f, 0, 0}, {0, 0.2f, 0}, {255, 255, 255, 255}, animation, frame,
                                  animLightMap));
    }
};

TEST_F(Particles, QuadsSampleTheirAnimationFramesCell)
{
    batch.begin(atlas, false);
    addThree(2, 1, 0);
    batch.draw(nullptr, nullptr);
    for (int x : {13, 32, 51})
        EXPECT_TRUE(rgbNear(pixel(x, 32), {255, 255, 0})) << x;
    EXPECT_TRUE(rgbNear(pixel(22, 32), {0, 0, 0}));
}

TEST_F(Particles, StreamingBufferGivesTheSamePicture)
{
    BufferObject stream;
    ASSERT_TRUE(stream.create(BufferTarget::Array, 393216, BufferUsage::Stream));
    batch.begin(atlas, false);
    addThree(1, 0, 0);
    batch.draw(&stream, nullptr);
    for (int x : {13, 32, 51})
        EXPECT_TRUE(rgbNear(pixel(x, 32), {0, 255, 0})) << x;
}

TEST_F(Particles, HighDetailShadesByTheLightmapCell)
{
    batch.begin(atlas, true);
    ASSERT_TRUE(batch.add({-0.6f, 0, 0}, {0.2f, 0, 0}, {0, 0.2f, 0}, {255, 255, 255, 255}, 2, 1, 2));
    ASSERT_TRUE(batch.add({0.0f, 0, 0}, {0.2f, 0, 0}, {0, 0.2f, 0}, {255, 255, 255, 255}, 2, 1, 0));
    ASSERT_TRUE(batch.add({0.6f, 0, 0}, {0.2f, 0, 0}, {0, 0.2f, 0}, {255, 255, 255, 255}, 2, 1, 3));
    extensions->effects().setLightmapTint(1.0f, 1.0f, 0.5f);
    batch.draw(nullptr, lightmaps.get());
    EXPECT_TRUE(rgbNear(pixel(13, 32), {128, 128, 0})) << pixel(13, 32);   // grey cell
    EXPECT_TRUE(rgbNear(pixel(32, 32), {255, 255, 0})) << pixel(32, 32);   // no lightmap
    EXPECT_TRUE(rgbNear(pixel(51, 32), {0, 0, 0})) << pixel(51, 32);       // black cell
    extensions->effects().resetLightmapTint();
    EXPECT_EQ(extensions->effects().lightmapTint()[2], 1.0f);
}

struct HeatHaze : EffectGl {
    std::unique_ptr<Texture2D> glow;
    std::vector<float> quad;
    void SetUp() override
    {
        EffectGl::SetUp();
        if (IsSkipped())
            return;
        glow = cellTexture({{255, 255, 255, 255}, {255, 255, 255, 255}, {255, 255, 255, 255}, {255, 255, 255, 255}});
        ASSERT_TRUE(glow);
        quad = {-0.5f, 0.5f, 0, 0, 0, 0.5f, 0.5f, 0, 1, 0, -0.5f, -0.5f, 0, 0, 1, 0.5f, -0.5f, 0, 1, 1};
        gfx().state().depthTest = false;
    }
};

TEST_F(HeatHaze, ShimmerBrightensOnlyInsideItsQuads)
{
    drawHeatHaze(quad, glow.get(), 123.4f, 4567.8f, 1.0f);
    const Rgba inside = centre();
    EXPECT_GT(inside.r, 10) << inside;
    EXPECT_LT(inside.r, 128) << inside;
    EXPECT_TRUE(rgbNear(pixel(4, 4), {0, 0, 0}));
    clearTo({0, 0, 0, 255});
    drawHeatHaze(quad, glow.get(), 123.4f, 4567.8f, 0.0f);
    EXPECT_TRUE(rgbNear(centre(), {0, 0, 0}));
}

TEST_F(HeatHaze, RefractionNeedsTheHazeTarget)
{
    ASSERT_EQ(gfx().hazeTarget, nullptr);
    drawHeatHazeRefraction(quad, glow.get(), 0.0f, 0.0f, 1.0f);
    EXPECT_TRUE(rgbNear(centre(), {0, 0, 0}));

    RenderBuffer haze;
    ASSERT_TRUE(haze.createTexture(TextureFormat::Rgba8, 64, 64, kClampSampler));
    gfx().setRenderTarget(&haze);
    clearTo({0, 200, 0, 255});
    gfx().setRenderTarget(&target());
    gfx().hazeTarget = &haze;
    drawHeatHazeRefraction(quad, glow.get(), 0.0f, 0.0f, 1.0f);
    gfx().hazeTarget = nullptr;
    EXPECT_TRUE(rgbNear(centre(), {0, 200, 0}, 4)) << centre();
    EXPECT_TRUE(rgbNear(pixel(4, 4), {0, 0, 0}));
}

// A 90-degree perspective, near 1, far 100.
Mat4 perspective()
{
    Mat4 m;
    mat4Perspective(m, kPi / 2.0f, 1.0f, 1.0f, 100.0f);
    return m;
}

// The tier-3 path with the device's screen the size of the test target.
struct TierThree : EffectGl {
    int savedTier = 0, savedWidth = 0, savedHeight = 0;
    LightRecord light{{0, 0, 1}, {0.3f, 0.3f, 0.3f}, {0.7f, 0.7f, 0.7f}, {1.0f, 0.9f, 0.8f}};
    void SetUp() override
    {
        EffectGl::SetUp();
        if (IsSkipped())
            return;
        savedTier = gfx().qualityTier();
        savedWidth = gfx().screenWidth();
        savedHeight = gfx().screenHeight();
        gfx().setScreenSize(64, 64);
        gfx().setQualityTier(3);
        ASSERT_TRUE(PostProcess::createTargets());
        ASSERT_NE(PostProcess::sceneTarget(), nullptr);
        gfx().setLight(&light);
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            gfx().setQualityTier(savedTier);
            gfx().setScreenSize(savedWidth, savedHeight);
        }
        EffectGl::TearDown();
    }
    // A simple scene: sky color, a red and a grey quad, one overlapping the other.
    void drawScene()
    {
        clearTo({90, 140, 200, 255});
        gfx().state().blend = kBlendOpaque;
        drawQuad(-0.8f, -0.8f, 0.2f, 0.2f, 0.1f, {200, 30, 30, 255});
        drawQuad(-0.2f, -0.5f, 0.7f, 0.6f, 0.0f, {120, 120, 120, 255});
    }
    std::vector<Rgba> picture() { return rect(0, 0, 64, 64); }
};

TEST_F(TierThree, FinalCombineGivesTheTierTwoPicture)
{
    EXPECT_EQ(gfx().sceneTargets[1], PostProcess::sceneTarget());
    drawScene();
    const std::vector<Rgba> direct = picture();

    gfx().setRenderTarget(PostProcess::sceneTarget());
    drawScene();
    PostProcess::updateSunParams(Mat4{}, perspective());   // looking along -z: the sun behind
    EXPECT_EQ(PostProcess::sunStrength(), 0.0f);
    PostProcess::render();
    gfx().setRenderTarget(&target());
    clearTo({0, 0, 0, 255});
    PostProcess::finalCombine();
    const std::vector<Rgba> combined = picture();
    ASSERT_EQ(direct.size(), combined.size());
    int off = 0;
    for (std::size_t i = 0; i < direct.size(); ++i)
        off += rgbNear(direct[i], combined[i], 2) ? 0 : 1;
    EXPECT_EQ(off, 0);
}

TEST_F(TierThree, SunInViewCastsShaftsFromBrightParts)
{
    light.direction[2] = -1.0f;   // straight ahead
    gfx().setLight(&light);
    PostProcess::updateSunParams(Mat4{}, perspective());
    EXPECT_NEAR(PostProcess::sunPosition().x, 0.5f, 1e-5f);
    EXPECT_GT(PostProcess::sunStrength(), 0.4f);

    gfx().setRenderTarget(PostProcess::sceneTarget());
    clearTo({0, 0, 0, 255});
    gfx().state().blend = kBlendOpaque;
    drawQuad(-0.1f, -0.1f, 0.1f, 0.1f, 0.0f, {255, 255, 255, 255});
    PostProcess::render();
    gfx().setRenderTarget(&target());
    PostProcess::finalCombine();
    // Dark sky beside the bright disc picks up light smeared from it.
    EXPECT_GT(pixel(32, 18).r, 0) << pixel(32, 18);
    EXPECT_TRUE(rgbNear(pixel(1, 1), {0, 0, 0}, 2)) << pixel(1, 1);
}

TEST_F(TierThree, NothingIsMadeBelowTierThree)
{
    PostProcess::destroyTargets();
    gfx().setQualityTier(2);
    EXPECT_TRUE(PostProcess::createTargets());
    EXPECT_EQ(PostProcess::sceneTarget(), nullptr);
    EXPECT_EQ(gfx().sceneTargets[1], nullptr);
    PostProcess::render();
    PostProcess::finalCombine();
    EXPECT_TRUE(rgbNear(centre(), {0, 0, 0}));
}
}  // namespace

