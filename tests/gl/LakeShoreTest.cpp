#include "GlTestContext.h"
#include "TestWorld.h"

#include "platform/File.h"
#include "render/world/Terrain.h"
#include "render/world/WorldView.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace {

// The training field's tarn, which the menu flight passes: its centre and
// radius as the map's lake has them.
constexpr float kTarnX = 10035.3f;
constexpr float kTarnZ = -4490.8f;
constexpr float kTarnRadius = 1300.0f;

// The staged terrain of a map, drawn alone from straight above: far up with a
// narrow view, so a pixel's column stands over one point of the ground
// whatever its height.
struct StagedTerrainFromAbove : GlTest {
    static constexpr int kSide = 160;
    static constexpr float kSpan = 1200.0f;  // world units across the picture
    Terrain terrain;
    LightRecord light;
    Vec3 centre;

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        std::unique_ptr<File> heights = openFile("data/terrain/training/height.bin");
        if (!heights)
            GTEST_SKIP() << "the training terrain is not staged";
        ASSERT_TRUE(terrain.load(*heights));
        ASSERT_TRUE(terrain.upload("data/terrain/training/wm.pvr", "data/none.pvr"));
        setShaderTerrainSize(terrain.size());
        // Straight down, evenly lit: only the overview picture's colours show.
        light.direction[1] = 1.0f;
        for (int i = 0; i < 3; ++i) {
            light.ambient[i] = 0.3f;
            light.diffuse[i] = 0.7f;
        }
        gfx().setLight(&light);
        useTarget(kSide, kSide);
    }

    void drawAround(const Vec3& point)
    {
        centre = point;
        const float height = 60000.0f;
        const Vec3 eye{point.x, height, point.z + 0.001f};
        const Mat4 view = lookAtMatrix(eye, Vec3{point.x, 0.0f, point.z}, Vec3{0, 0, -1});
        Mat4 projection;
        mat4Perspective(projection, 2.0f * std::atan(0.5f * kSpan / (height - 1200.0f)), 1.0f, 40000.0f, 70000.0f);
        gfx().setProjectionMatrix(projection);
        gfx().setViewMatrix(view);
        terrain.updateVisible(0.02f, WorldView::fromMatrices(eye, view, projection));
        clearTo({0, 0, 0, 255});
        terrain.drawPass();
    }

    // The ground under pixel (x, y): x grows eastward, y (bottom up) northward (-z).
    Vec3 groundAt(int x, int y) const
    {
        const float u = (static_cast<float>(x) + 0.5f) / kSide - 0.5f;
        const float v = (static_cast<float>(y) + 0.5f) / kSide - 0.5f;
        return Vec3{centre.x + u * kSpan, 0.0f, centre.z - v * kSpan};
    }

    // The steepest ground within a cell of the point (its normal's smallest
    // up component): a water pixel reaches that far into its neighbours.
    float steepestNear(const Vec3& p) const
    {
        float upness = 1.0f;
        for (float dz = -64.0f; dz <= 64.0f; dz += 16.0f)
            for (float dx = -64.0f; dx <= 64.0f; dx += 16.0f) {
                Vec3 normal;
                (void)terrain.heightAndNormalAt(p.x + dx, p.z + dz, normal);
                upness = std::min(upness, normal.y);
            }
        return upness;
    }
};

// Blue well above red: the painted sea or lake; no ground colour has it.
bool looksLikeWater(const Rgba& c) { return c.b > 30 && c.b > c.r + c.r / 2 + 20; }

// The tarn's shore on every side, seen from above: the lake's water lies on the
// flat floor of its basin, never on the steep ground around it.
TEST_F(StagedTerrainFromAbove, TheTarnsWaterLiesOnlyOnItsFlatFloor)
{
    int water = 0, onSteepGround = 0;
    for (int side = 0; side < 4; ++side) {
        const float a = 1.5707964f * static_cast<float>(side);
        drawAround(Vec3{kTarnX + kTarnRadius * std::cos(a), 0.0f, kTarnZ + kTarnRadius * std::sin(a)});
        const std::vector<Rgba> pixels = rect(0, 0, kSide, kSide);
        if (side == 0) {  // the eastern shore, to look at
            EXPECT_TRUE(saveTargetPng(gfx(), kSide, kSide, std::string(SKYFRONT_BINARY_DIR) + "/lake_shore.png"));
        }
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                if (!looksLikeWater(pixels[static_cast<std::size_t>(y * kSide + x)]))
                    continue;
                ++water;
                // Steeper than 45 degrees: a cliff, not a shore.
                if (steepestNear(groundAt(x, y)) < 0.7f)
                    ++onSteepGround;
            }
    }
    // A quarter of each picture is inside the shore's circle.
    EXPECT_GT(water, kSide * kSide / 2);
    EXPECT_EQ(onSteepGround, 0) << "of " << water << " water pixels";
}

}  // namespace
