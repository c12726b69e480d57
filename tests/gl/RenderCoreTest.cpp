#include "GlTestContext.h"
#include "render/assets/TextureCache.h"

#include "platform/File.h"
#include "render/OcclusionQuery.h"
#include "support/TempDir.h"

#include <epoxy/gl.h>
#include <png.h>

#include <vector>

namespace {

constexpr Rgba kGrey{100, 100, 100, 255};

struct Clear : GlTest {};

TEST_F(Clear, FillsTheTargetWithTheClearColor)
{
    clearTo({0, 4, 10, 255});
    EXPECT_TRUE(colorNear(pixel(0, 0), {0, 4, 10, 255}, 0));
    EXPECT_TRUE(colorNear(centre(), {0, 4, 10, 255}, 0));
    EXPECT_TRUE(colorNear(pixel(63, 63), {0, 4, 10, 255}, 0));
}

TEST_F(Clear, IgnoresTheColorMaskAndDepthWrite)
{
    gfx().state().colorMask = kColorMaskNone;
    gfx().state().depthWrite = false;
    gfx().applyState();
    clearTo({20, 40, 60, 255});
    EXPECT_TRUE(colorNear(centre(), {20, 40, 60, 255}, 0));
    EXPECT_EQ(gfx().state().colorMask, kColorMaskNone);   // the state record itself is kept
}

TEST_F(Clear, DefaultClearColorComesBackAfterAScreensOwn)
{
    clearTo({0, 4, 10, 255});
    gfx().restoreDefaultClearColor();
    gfx().clear();
    EXPECT_TRUE(colorNear(centre(), {0, 0, 0, 255}, 0));
}

// A white texture modulated by the vertex color, drawn over the whole target.
struct Blending : GlTest {
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        TextureImage white;
        white.width = white.height = 2;
        white.levels.push_back(std::vector<std::uint8_t>(16, 255));
        ASSERT_TRUE(texture.upload(white, kClampSampler));
        gfx().state().textures[0] = &texture;
        gfx().state().depthTest = false;
    }
    Rgba drawOver(const Rgba& background, BlendState blend, const Rgba& color, bool alternative = false)
    {
        clearTo(background);
        gfx().state().blend = blend;
        gfx().state().alternativeBlend = alternative;
        drawQuad(-1, -1, 1, 1, 0, color);
        return centre();
    }
    Texture2D texture;
};

TEST_F(Blending, PremultipliedColorOverBlackKeepsItsValue)
{
    EXPECT_TRUE(rgbNear(drawOver({0, 0, 0, 255}, kBlendPremultiplied, {128, 0, 0, 128}), {128, 0, 0}));
}

TEST_F(Blending, PremultipliedColorLetsTheRestOfTheBackgroundThrough)
{
    // 128 + 100 x (1 - 128/255) = 178
    EXPECT_TRUE(rgbNear(drawOver(kGrey, kBlendPremultiplied, {128, 0, 0, 128}), {178, 50, 50}));
}

TEST_F(Blending, AdditiveAddsToTheBackground)
{
    EXPECT_TRUE(rgbNear(drawOver(kGrey, kBlendAdditive, {50, 60, 70, 255}), {150, 160, 170}));
}

TEST_F(Blending, OpaqueReplacesTheBackground)
{
    EXPECT_TRUE(rgbNear(drawOver(kGrey, kBlendOpaque, {128, 0, 0, 128}), {128, 0, 0}));
}

TEST_F(Blending, AlternativeModeBlendsStraightAlphaWhateverThePair)
{
    // 255 x 128/255 + 100 x (1 - 128/255) = 178, against 255 + 50 clamped under premultiplied
    EXPECT_TRUE(rgbNear(drawOver(kGrey, kBlendPremultiplied, {255, 0, 0, 128}, true), {178, 50, 50}));
    EXPECT_TRUE(rgbNear(drawOver(kGrey, kBlendPremultiplied, {255, 0, 0, 128}, false), {255, 50, 50}));
}

TEST_F(Blending, UniformColorReplacesVertexColorWhenSwitchedOff)
{
    gfx().state().perVertexColor = false;
    gfx().state().color = {0, 200, 0, 255};
    EXPECT_TRUE(rgbNear(drawOver({0, 0, 0, 255}, kBlendOpaque, {255, 0, 0, 255}), {0, 200, 0}));
}

TEST_F(Blending, PushAndPopRestoreTheBlendPair)
{
    gfx().state().blend = kBlendAdditive;
    gfx().pushState();
    gfx().state().blend = kBlendOpaque;
    gfx().popState();
    EXPECT_EQ(gfx().state().blend, kBlendAdditive);
    clearTo(kGrey);
    drawQuad(-1, -1, 1, 1, 0, {50, 60, 70, 255});
    EXPECT_TRUE(rgbNear(centre(), {150, 160, 170}));
}

struct Depth : GlTest {
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        gfx().state().program = BuiltinProgram::Color;
        gfx().state().blend = kBlendOpaque;
        gfx().state().depthFunc = CompareFunc::Less;
        clearTo({0, 0, 0, 255});
    }
};

TEST_F(Depth, CoplanarQuadLosesWithoutPolygonOffset)
{
    drawQuad(-1, -1, 1, 1, 0.25f, {255, 0, 0, 255});
    drawQuad(-1, -1, 1, 1, 0.25f, {0, 255, 0, 255});
    EXPECT_TRUE(rgbNear(centre(), {255, 0, 0}));
}

TEST_F(Depth, PolygonOffsetLetsACoplanarQuadWin)
{
    drawQuad(-1, -1, 1, 1, 0.25f, {255, 0, 0, 255});
    gfx().state().polygonOffset = true;
    drawQuad(-1, -1, 1, 1, 0.25f, {0, 255, 0, 255});
    EXPECT_TRUE(rgbNear(centre(), {0, 255, 0}));
}

TEST_F(Depth, AlphaOnlyColorMaskLeavesRgbUnchanged)
{
    clearTo({10, 20, 30, 40});
    gfx().state().colorMask = kColorMaskAlpha;
    drawQuad(-1, -1, 1, 1, 0, {255, 255, 255, 200});
    EXPECT_TRUE(colorNear(centre(), {10, 20, 30, 200}, 1));
}

TEST_F(Depth, ColorMaskOffStillWritesDepth)
{
    gfx().state().colorMask = kColorMaskNone;
    drawQuad(-1, -1, 1, 1, -0.5f, {255, 255, 255, 255});
    gfx().state().colorMask = kColorMaskAll;
    drawQuad(-1, -1, 1, 1, 0.5f, {255, 0, 0, 255});
    EXPECT_TRUE(rgbNear(centre(), {0, 0, 0}));
}

struct RenderTargets : GlTest {};

TEST_F(RenderTargets, SecondPassSamplesTheFirstTarget)
{
    RenderBuffer first;
    ASSERT_TRUE(first.createTexture(TextureFormat::Rgba8, 32, 32, kClampSampler));
    gfx().setRenderTarget(&first);
    clearTo({255, 0, 0, 255});
    gfx().setRenderTarget(&target());
    clearTo({0, 0, 255, 255});

    gfx().state().textures[0] = first.colorTexture();
    gfx().state().program = BuiltinProgram::Effect;
    gfx().state().perVertexColor = false;
    gfx().state().color = {255, 255, 255, 255};
    gfx().state().depthTest = false;
    gfx().drawFullScreenQuad();
    EXPECT_TRUE(rgbNear(centre(), {255, 0, 0}));
    EXPECT_TRUE(rgbNear(pixel(1, 1), {255, 0, 0}));
}

TEST_F(RenderTargets, BindingATargetSetsItsViewport)
{
    useTarget(16, 8);
    clearTo({0, 0, 0, 255});
    gfx().state().program = BuiltinProgram::Color;
    drawQuad(0, -1, 1, 1, 0, {255, 255, 255, 255});   // right half
    EXPECT_TRUE(rgbNear(pixel(3, 4), {0, 0, 0}));
    EXPECT_TRUE(rgbNear(pixel(12, 4), {255, 255, 255}));
}

struct Occlusion : GlTest {};

TEST_F(Occlusion, BoxBehindAnOpaqueQuadPassesNoSamples)
{
    if (!gfx().occlusionQuerySupported())
        GTEST_SKIP() << "the context has no occlusion queries";
    gfx().state().program = BuiltinProgram::Color;
    gfx().state().blend = kBlendOpaque;
    clearTo({0, 0, 0, 255});
    drawQuad(-1, -1, 1, 1, -0.5f, {255, 255, 255, 255});

    OcclusionQuery query;
    ASSERT_TRUE(query.create());
    gfx().state().colorMask = kColorMaskNone;
    gfx().state().depthWrite = false;
    query.begin();
    drawQuad(-0.5f, -0.5f, 0.5f, 0.5f, 0.5f, {255, 0, 0, 255});   // the box's front face, behind
    query.end();
    std::uint32_t samples = 99;
    ASSERT_TRUE(query.result(samples));
    EXPECT_EQ(samples, 0u);

    query.begin();
    drawQuad(-0.5f, -0.5f, 0.5f, 0.5f, -0.75f, {255, 0, 0, 255});   // in front
    query.end();
    ASSERT_TRUE(query.result(samples));
    EXPECT_GT(samples, 0u);
    EXPECT_TRUE(rgbNear(centre(), {255, 255, 255}));   // color writes were off
}

// The lit program: a quad facing +z in front of an eye at the origin looking
// down -z, pushed to a distance by the view matrix.
struct LitModel : GlTest {
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        gfx().state().program = BuiltinProgram::LitModel;
        gfx().state().blend = kBlendOpaque;
        gfx().state().depthTest = false;
        gfx().state().perVertexColor = false;
        gfx().state().color = {200, 200, 200, 255};
        Mat4 projection;
        projection.m[10] = 1.0f / 100000.0f;   // keeps far points inside the clip volume
        gfx().setProjectionMatrix(projection);
        clearTo({0, 0, 0, 255});
    }
    Rgba drawAtDistance(float distance, const float normal[3])
    {
        Mat4 view;
        view.m[14] = -distance;
        gfx().setViewMatrix(view);
        struct Vertex {
            float x, y, z, nx, ny, nz, u, v;
        };
        Vertex vertices[4] = {{-1, -1, 0, 0, 0, 0, 0, 0}, {1, -1, 0, 0, 0, 0, 1, 0},
                              {-1, 1, 0, 0, 0, 0, 0, 1}, {1, 1, 0, 0, 0, 0, 1, 1}};
        for (Vertex& v : vertices) {
            v.nx = normal[0];
            v.ny = normal[1];
            v.nz = normal[2];
        }
        gfx().bindBuffer(BufferTarget::Array, 0);
        gfx().setVertexLayout(VertexLayout::Model32, vertices);
        gfx().drawArrays(PrimitiveType::TriangleStrip, 0, 4);
        return centre();
    }
    LightRecord light{{1, 0, 0}, {0.25f, 0.25f, 0.25f}, {0.75f, 0.75f, 0.75f}, {1, 1, 1}};
};

TEST_F(LitModel, FaceTowardsTheSunIsBrighterThanFaceAway)
{
    gfx().setLight(&light);
    const float towards[3] = {1, 0, 0}, away[3] = {-1, 0, 0};
    EXPECT_TRUE(rgbNear(drawAtDistance(10, towards), {200, 200, 200}));
    EXPECT_TRUE(rgbNear(drawAtDistance(10, away), {50, 50, 50}));
}

TEST_F(LitModel, FogBlendsLinearlyBetweenStartAndEnd)
{
    const FogRecord fog{{0, 0, 1}, 3000, 4000};
    gfx().setFog(&fog);
    const float up[3] = {0, 0, 1};
    EXPECT_TRUE(rgbNear(drawAtDistance(1000, up), {200, 200, 200}));
    EXPECT_TRUE(rgbNear(drawAtDistance(3500, up), {100, 100, 228}, 4));
    EXPECT_TRUE(rgbNear(drawAtDistance(10000, up), {0, 0, 255}));
}

TEST_F(LitModel, InvertedFogRangeFogsEverythingPastTheStart)
{
    // High density: end = max(75000 x (1 - 1), 1) = 1 lies below start = 3000.
    const FogRecord fog{{0, 1, 0}, 3000, 1};
    gfx().setFog(&fog);
    const float up[3] = {0, 0, 1};
    EXPECT_TRUE(rgbNear(drawAtDistance(1000, up), {200, 200, 200}));
    EXPECT_TRUE(rgbNear(drawAtDistance(3500, up), {0, 255, 0}));
    EXPECT_TRUE(rgbNear(drawAtDistance(60000, up), {0, 255, 0}));
}

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}
void noFlush(png_structp) {}

// A 2x2 RGBA PNG: red opaque, green half transparent, blue, white.
std::string smallPng()
{
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, appendBytes, noFlush);
    png_set_IHDR(png, info, 2, 2, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::uint8_t rows[2][8] = {{255, 0, 0, 255, 0, 255, 0, 128}, {0, 0, 255, 255, 255, 255, 255, 255}};
    png_write_row(png, rows[0]);
    png_write_row(png, rows[1]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// 512 x 584 texels, each band of 64 rows one colour (band b: red 20 b, green
// 255 - 20 b, blue 100), or grey.
std::string bandedPng(bool grey)
{
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, appendBytes, noFlush);
    png_set_IHDR(png, info, 512, 584, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < 584; ++y) {
        const auto r = static_cast<std::uint8_t>(20 * (y / 64)), g = static_cast<std::uint8_t>(255 - r);
        std::vector<std::uint8_t> row(512 * 3, grey ? r : std::uint8_t{100});
        for (std::size_t x = 0; !grey && x < row.size(); x += 3)
            row[x] = r, row[x + 1] = g;
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// An error left by some unrelated earlier call must not fail the next texture,
// buffer or target.
struct StaleGlError : GlTest {
    void SetUp() override
    {
        GlTest::SetUp();
        if (!IsSkipped())
            glEnable(0x7FFF);   // GL_INVALID_ENUM, left unread
    }
    void TearDown() override
    {
        while (glGetError() != GL_NO_ERROR) {
        }
        GlTest::TearDown();
    }
};

TEST_F(StaleGlError, TextureUploadStillSucceeds)
{
    TextureImage image;
    image.width = image.height = 2;
    image.levels.push_back(std::vector<std::uint8_t>(16, 255));
    Texture2D texture;
    EXPECT_TRUE(texture.upload(image, kClampSampler));
    EXPECT_NE(texture.glName(), 0u);
}

TEST_F(StaleGlError, RenderTargetAndBufferStillMade)
{
    RenderBuffer second;
    EXPECT_TRUE(second.createTexture(TextureFormat::Rgba8, 16, 16, kClampSampler));
    glEnable(0x7FFF);
    BufferObject buffer;
    EXPECT_TRUE(buffer.create(BufferTarget::Array, 64, BufferUsage::Stream));
}

struct TexturesByName : GlTest {};

TEST_F(TexturesByName, PngLoadedThroughTheFileLayerDrawsPremultiplied)
{
    TempDir dir;
    dir.write("data/test.png", smallPng());
    setDataRoot(dir.folder());
    constexpr SamplerSettings kNearest{TextureFilter::Nearest, TextureWrap::ClampToEdge};
    TextureRef texture = getTexture("data/test.png", kNearest);
    ASSERT_TRUE(texture);
    EXPECT_NE(texture->glName(), 0u);
    gfx().state().textures[0] = texture.get();
    gfx().state().blend = kBlendOpaque;
    gfx().state().depthTest = false;
    clearTo({0, 0, 0, 255});
    drawQuad(-1, -1, 1, 1, 0, {255, 255, 255, 255});
    // Texture row 0 lies at the bottom (v = 0).
    EXPECT_TRUE(colorNear(pixel(10, 10), {255, 0, 0, 255}));
    EXPECT_TRUE(colorNear(pixel(50, 10), {0, 128, 0, 128}));
    EXPECT_TRUE(colorNear(pixel(10, 50), {0, 0, 255, 255}));
    // The same file asked for with bilinear filtering is a texture of its
    // own: between two texels it blends where the nearest one does not.
    const Rgba nearest = pixel(20, 10);
    TextureRef smooth = getTexture("data/test.png", kClampSampler);
    ASSERT_TRUE(smooth);
    EXPECT_NE(smooth.get(), texture.get());
    gfx().state().textures[0] = smooth.get();
    clearTo({0, 0, 0, 255});
    drawQuad(-1, -1, 1, 1, 0, {255, 255, 255, 255});
    EXPECT_TRUE(colorNear(nearest, {255, 0, 0, 255}));
    EXPECT_GT(pixel(20, 10).g, 10) << pixel(20, 10);
    gfx().state().textures[0] = nullptr;
    texture = TextureRef{};
    EXPECT_EQ(findCachedTexture("data/test.png", kNearest), nullptr);
    EXPECT_EQ(findCachedTexture("data/test.png", kClampSampler), smooth.get());

    // A sheet-sized picture goes up a band of rows at a time: every band, the
    // last and shorter one too, lands where it belongs; a grey one still
    // becomes luminance and alpha.
    dir.write("data/large.png", bandedPng(false));
    dir.write("data/grey.png", bandedPng(true));
    TextureRef large = getTexture("data/large.png", kNearest);
    TextureRef grey = getTexture("data/grey.png", kNearest);
    ASSERT_TRUE(large && grey);
    EXPECT_EQ(large->format(), TextureFormat::Rgba8);
    EXPECT_EQ(grey->format(), TextureFormat::LuminanceAlpha8);
    EXPECT_EQ(large->height(), 584);
    gfx().state().textures[0] = large.get();
    clearTo({0, 0, 0, 255});
    drawQuad(-1, -1, 1, 1, 0, {255, 255, 255, 255});
    for (int band = 0; band <= 9; ++band) {
        const auto r = static_cast<std::uint8_t>(20 * band);
        const int y = (band * 64 + (band < 9 ? 32 : 4)) * 64 / 584;  // a row well inside the band
        EXPECT_TRUE(colorNear(pixel(30, y), {r, static_cast<std::uint8_t>(255 - r), 100, 255})) << band;
    }
    gfx().state().textures[0] = nullptr;
}

}  // namespace
