#include "GlTestContext.h"

#include "render/Terrain.h"
#include "render/WorldView.h"

#include <cmath>

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

TEST_F(TerrainDraw, ShaderSizeZeroStillDraws)
{
    setShaderTerrainSize(0.0f);
    drawFromAbove();
    const Rgba c = centre();
    EXPECT_GT(c.r, 5);
    EXPECT_EQ(c.a, 255);
}

}  // namespace
