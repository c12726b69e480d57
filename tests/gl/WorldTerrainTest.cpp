#include "GlTestContext.h"

#include "platform/File.h"
#include "render/world/Terrain.h"
#include "render/world/TerrainPatches.h"
#include "render/world/WorldView.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// A curved ramp (h grows with x squared) seen from straight above: as it
// steepens it turns toward a low western sun, so its shade brightens eastward.
struct TerrainDraw : GlTest {
    Terrain terrain;
    LightRecord light;
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        const int grid = 64;
        Terrain::Layout layout{grid, 10.0f, 0.0f, 640.0f};
        std::vector<std::uint16_t> s(static_cast<std::size_t>((grid + 1) * (grid + 1)));
        for (int row = 0; row <= grid; ++row)
            for (int col = 0; col <= grid; ++col) {
                const float t = static_cast<float>(col) / grid;
                s[static_cast<std::size_t>(row * (grid + 1) + col)] = static_cast<std::uint16_t>(t * t * 65535.0f);
            }
        ASSERT_TRUE(terrain.setSamples(layout, s));
        ASSERT_TRUE(terrain.upload("data/none.pvr", "data/none.pvr"));
        light.direction[0] = -0.8f;
        light.direction[1] = 0.6f;
        light.direction[2] = 0.0f;
        for (int i = 0; i < 3; ++i) {
            light.ambient[i] = 0.1f;
            light.diffuse[i] = 0.9f;
        }
        gfx().setLight(&light);
        setShaderTerrainSize(terrain.size());
    }
    void drawFromAbove()
    {
        const Vec3 eye{0.0f, 3000.0f, 0.001f};
        const Mat4 view = lookAtMatrix(eye, Vec3{0, 0, 0}, Vec3{0, 0, -1});
        Mat4 projection;
        mat4Perspective(projection, 0.25f, 1.0f, 10.0f, 10000.0f);
        gfx().setProjectionMatrix(projection);
        gfx().setViewMatrix(view);
        terrain.updateVisible(0.25f, WorldView::fromMatrices(eye, view, projection));
        clearTo({0, 0, 0, 255});
        terrain.drawPass();
    }
};

TEST_F(TerrainDraw, RampShadesMonotonicallyTowardTheSun)
{
    drawFromAbove();
    // West (left) is flat, east (right) is steep and faces the sun.
    int previous = -1;
    for (int x = 4; x < 64; x += 8) {
        const Rgba c = pixel(x, 32);
        EXPECT_EQ(c.r, c.g);
        EXPECT_GE(c.r + 2, previous) << "at x " << x;
        previous = c.r;
    }
    EXPECT_GT(pixel(60, 32).r, pixel(4, 32).r + 20);
}

// A field of 16 x 16 patches seen from high above at a slant, drawn in runs
// of patches that each share one draw: every pixel the ground fills shows
// ground. A run whose indices pointed at another patch's
// vertices would throw ground elsewhere and leave holes.
TEST_F(TerrainDraw, MergedPatchesLeaveNoHoles)
{
    const int grid = 512;
    Terrain wide;
    ASSERT_TRUE(wide.setSamples(Terrain::Layout{grid, 64.0f, 10.0f, 0.0f},
                                std::vector<std::uint16_t>(static_cast<std::size_t>((grid + 1) * (grid + 1)), 0)));
    ASSERT_TRUE(wide.upload("data/none.pvr", "data/none.pvr"));
    // The view's far corners still fall on the field.
    useTarget(96, 96);
    const Vec3 eye{0.0f, 9000.0f, 12000.0f};
    const Mat4 view = lookAtMatrix(eye, Vec3{0.0f, 0.0f, 4000.0f}, Vec3{0, 1, 0});
    Mat4 projection;
    mat4Perspective(projection, 1.0f, 1.0f, 10.0f, 50000.0f);
    gfx().setProjectionMatrix(projection);
    gfx().setViewMatrix(view);
    wide.updateVisible(1.0f, WorldView::fromMatrices(eye, view, projection));
    // More patches than one draw's indices reach: the runs must break.
    ASSERT_GT(wide.visiblePatches().size(), static_cast<std::size_t>(65536 / TerrainPatches::kVerticesPerPatch));
    clearTo({255, 0, 255, 255});
    wide.drawPass();
    int holes = 0;
    for (const Rgba& c : rect(0, 0, 96, 96))
        holes += c.r == 255 && c.g == 0 && c.b == 255 ? 1 : 0;
    EXPECT_EQ(holes, 0);
}

TEST_F(TerrainDraw, ShaderSizeZeroStillDraws)
{
    setShaderTerrainSize(0.0f);
    drawFromAbove();
    const Rgba c = centre();
    EXPECT_GT(c.r, 5);
    EXPECT_EQ(c.a, 255);
}

}  // namespace

namespace {

// Flat ground with the staged detail grain, seen low at tier 0, where textures
// have no mip levels: near the eye the grain shows, far off it must have faded
// out instead of aliasing into noise that crawls as the camera moves.
TEST_F(TerrainDraw, DetailGrainFadesFarOffWithoutMipLevels)
{
    setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
    gfx().setQualityTier(0);
    Terrain flat;
    ASSERT_TRUE(flat.setSamples(Terrain::Layout{128, 64.0f, 10.0f, 0.0f}, std::vector<std::uint16_t>(129 * 129, 0)));
    ASSERT_TRUE(flat.upload("data/none.pvr", "data/terrain/detail.pvr"));
    useTarget(128, 96);
    const Vec3 eye{0.0f, 40.0f, 3000.0f};
    Mat4 projection;
    mat4Perspective(projection, 0.6f, 128.0f / 96.0f, 2.0f, 50000.0f);
    const Mat4 view = lookAtMatrix(eye, Vec3{0.0f, 0.0f, 2600.0f - 4000.0f}, Vec3{0, 1, 0});
    gfx().setProjectionMatrix(projection);
    gfx().setViewMatrix(view);
    flat.updateVisible(0.6f, WorldView::fromMatrices(eye, view, projection));
    clearTo({0, 0, 0, 255});
    flat.drawPass();
    auto spread = [this](int y) {
        int low = 255, high = 0;
        for (const Rgba& c : rect(0, y, 128, 1)) {
            low = std::min<int>(low, c.g);
            high = std::max<int>(high, c.g);
        }
        return high - low;
    };
    EXPECT_GT(spread(2), 10) << "the grain shows near the eye";
    EXPECT_LT(spread(47), 4) << "a row 2.5 km off, just below the horizon";
}

}  // namespace
