#include "GlTestContext.h"

#include "render/world/AtmosScatter.h"
#include "render/world/Terrain.h"
#include "render/world/Water.h"
#include "render/world/WorldView.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

int brightness(const Rgba& c) { return c.r + c.g + c.b; }

// The mean color of a block of the current target.
Rgba mean(const std::vector<Rgba>& pixels)
{
    int r = 0, g = 0, b = 0;
    for (const Rgba& p : pixels) {
        r += p.r;
        g += p.g;
        b += p.b;
    }
    const int n = static_cast<int>(pixels.size());
    return Rgba{static_cast<std::uint8_t>(r / n), static_cast<std::uint8_t>(g / n), static_cast<std::uint8_t>(b / n),
                255};
}

// A sea floor (plain grey ground: no overview picture) over x, z in -500..500,
// seen at tier 2 from above its east edge: the left half of the view looks
// through the water onto the floor, the right half onto the open sea beyond
// the field, where the refraction holds nothing but the water's own color.
struct WaterPictures : GlTest {
    Terrain floor;
    Water water;
    LightRecord light;

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        useTarget(128, 96);
        gfx().setQualityTier(2);
        gfx().setLight(&light);
    }
    void TearDown() override
    {
        if (!IsSkipped())
            gfx().setQualityTier(0);
        GlTest::TearDown();
    }
    void drawOverFloorAt(float depth)
    {
        const std::uint16_t level = 0;
        ASSERT_TRUE(floor.setSamples(Terrain::Layout{16, 62.5f, -depth, 0.0f}, std::vector<std::uint16_t>(17 * 17, level)));
        ASSERT_TRUE(floor.upload("data/none.pvr", "data/none.pvr"));
        water.setWorld(&floor, nullptr, nullptr);
        // Looking down at 45 degrees, so the sun overhead puts no glint in view.
        const Vec3 eye{500.0f, 400.0f, 400.0f};
        Mat4 projection;
        mat4Perspective(projection, 0.5f, 128.0f / 96.0f, 2.0f, 50000.0f);
        const WorldView view =
            WorldView::fromMatrices(eye, lookAtMatrix(eye, Vec3{500.0f, 0.0f, 0.0f}, Vec3{0, 1, 0}), projection);
        floor.updateVisible(0.5f, view);
        gfx().setProjectionMatrix(view.projection());
        gfx().setViewMatrix(view.view());
        water.update(eye, 0.0f);
        water.renderRefraction();
        water.renderReflection();
        water.finishTargets();
        clearTo({0, 0, 0, 255});
        floor.drawPass();
        water.drawSurface();
    }
};

TEST_F(WaterPictures, DeepFloorIsLostInTheWaterAndAShallowOneShows)
{
    drawOverFloorAt(400.0f);
    const Rgba overFloor = mean(rect(20, 40, 24, 16)), openSea = mean(rect(84, 40, 24, 16));
    EXPECT_TRUE(rgbNear(overFloor, openSea, 6)) << "no edge where the field ends under the sea";

    drawOverFloorAt(10.0f);
    const Rgba shallow = mean(rect(20, 40, 24, 16));
    EXPECT_GT(brightness(shallow), brightness(mean(rect(84, 40, 24, 16))) + 20) << shallow;
}

// Ground lost in the water is left out of the picture seen through it, and
// nothing shows where: the floor at the depth where it is lost, or far below,
// looks as the open sea; one two thirds of the way down still shows.
TEST_F(WaterPictures, FloorFadesOutAtTheDepthWhereItIsLeftOut)
{
    drawOverFloorAt(400.0f);
    const Rgba openSea = mean(rect(84, 40, 24, 16));
    for (const float depth : {Terrain::kUnderwaterFadeDepth, 400.0f}) {
        drawOverFloorAt(depth);
        EXPECT_TRUE(rgbNear(mean(rect(20, 40, 24, 16)), openSea, 2)) << "floor at " << depth;
    }
    drawOverFloorAt(Terrain::kUnderwaterFadeDepth * 2.0f / 3.0f);
    EXPECT_GT(brightness(mean(rect(20, 40, 24, 16))), brightness(openSea) + 3);
}

// The sea's own color is lit like the ground: at night it is as dark as the
// night around it, not a glowing blue.
TEST_F(WaterPictures, SeaDarkensAtNight)
{
    gfx().setQualityTier(0);
    AtmosScatter scatter;
    water.setWorld(nullptr, nullptr, &scatter);
    const Vec3 eye{0.0f, 400.0f, 0.0f};
    Mat4 projection;
    mat4Perspective(projection, 0.5f, 128.0f / 96.0f, 2.0f, 50000.0f);
    const WorldView view =
        WorldView::fromMatrices(eye, lookAtMatrix(eye, Vec3{0.0f, 0.0f, -400.0f}, Vec3{0, 1, 0}), projection);
    auto seaUnder = [&](const Vec3& sunDirection) {
        const Vec3 sun = scatter.computeSunColor(sunDirection);
        const float color[3] = {sun.x, sun.y, sun.z}, direction[3] = {sunDirection.x, sunDirection.y, sunDirection.z};
        for (int i = 0; i < 3; ++i) {
            light.direction[i] = direction[i];
            light.ambient[i] = 0.4f * color[i];
            light.diffuse[i] = 0.9f * color[i];
        }
        gfx().setLight(&light);
        gfx().setProjectionMatrix(view.projection());
        gfx().setViewMatrix(view.view());
        water.update(eye, 0.0f);
        clearTo({0, 0, 0, 255});
        water.drawSurface();
        return mean(rect(32, 24, 64, 48));
    };
    const Rgba noon = seaUnder(Vec3{0.0f, 1.0f, 0.0f});
    const Rgba night = seaUnder(Vec3{0.3f, -0.5f, 0.6f});
    EXPECT_GT(noon.b, 50) << noon;
    EXPECT_LT(brightness(night) * 4, brightness(noon)) << night << " " << noon;
}

// The sun's glint is left out only where its mirror image lies well away from
// the view: looked at, or just past the view's edge, it is kept.
TEST(WaterGlint, KeptWhereTheSunsMirrorImageCanShow)
{
    Mat4 projection;
    mat4Perspective(projection, 1.0f, 4.0f / 3.0f, 2.0f, 50000.0f);
    const float e = 20.0f * kPi / 180.0f;
    const Vec3 sun{std::cos(e), std::sin(e), 0.0f}, mirror{std::cos(e), -std::sin(e), 0.0f};
    const Vec3 eye{0.0f, 400.0f, 0.0f};
    auto looking = [&](const Vec3& direction) {
        return Water::glintInView(projection, lookAtMatrix(eye, eye + direction, Vec3{0, 1, 0}), sun);
    };
    EXPECT_TRUE(looking(mirror));
    EXPECT_TRUE(looking(Vec3{1.0f, 0.0f, 0.0f}));  // level: the image 20 degrees down
    // Turned 60 degrees aside: the image 24 degrees past the view's side.
    EXPECT_TRUE(looking(Vec3{std::cos(1.047f), 0.0f, std::sin(1.047f)}));
    // Turned 90 degrees, and away: far past the side.
    EXPECT_FALSE(looking(Vec3{0.0f, -0.2f, 1.0f}));
    EXPECT_FALSE(looking(Vec3{0.0f, -0.2f, -1.0f}));
    EXPECT_FALSE(looking(Vec3{-1.0f, -0.3f, 0.2f}));
}

// Looking at the sun's mirror image low over the sea the glint shows; turned
// round, with it out of view, no pixel is as bright.
TEST_F(WaterPictures, SunGlintShowsWhereItsMirrorImageIsInView)
{
    gfx().setQualityTier(0);
    AtmosScatter scatter;
    const float e = 15.0f * kPi / 180.0f;
    const Vec3 sun{0.0f, std::sin(e), -std::cos(e)};
    (void)scatter.computeSunColor(sun);
    water.setWorld(nullptr, nullptr, &scatter);
    const Vec3 eye{0.0f, 400.0f, 0.0f};
    Mat4 projection;
    mat4Perspective(projection, 0.8f, 128.0f / 96.0f, 2.0f, 50000.0f);
    auto brightest = [&](const Vec3& direction) {
        const WorldView view =
            WorldView::fromMatrices(eye, lookAtMatrix(eye, eye + direction, Vec3{0, 1, 0}), projection);
        gfx().setProjectionMatrix(view.projection());
        gfx().setViewMatrix(view.view());
        water.update(eye, 0.0f);
        clearTo({0, 0, 0, 255});
        water.drawSurface();
        int most = 0;
        for (const Rgba& p : rect(0, 0, 128, 96))
            most = std::max(most, brightness(p));
        return most;
    };
    const int toward = brightest(Vec3{0.0f, -std::sin(e), -std::cos(e)});
    const int away = brightest(Vec3{0.0f, -std::sin(e), std::cos(e)});
    EXPECT_GT(toward, away + 120) << toward << " " << away;
}

// Seen low over the open sea, the waves far out are finer than a pixel: drawn
// as they are they alias into rings and checks. Far out the sea lies calm.
TEST_F(WaterPictures, FarSeaDoesNotAliasIntoPatterns)
{
    gfx().setQualityTier(0);
    const Vec3 eye{0.0f, 150.0f, 0.0f};
    Mat4 projection;
    mat4Perspective(projection, 0.6f, 128.0f / 96.0f, 2.0f, 50000.0f);
    const WorldView view =
        WorldView::fromMatrices(eye, lookAtMatrix(eye, Vec3{0.0f, 0.0f, -3000.0f}, Vec3{0, 1, 0}), projection);
    gfx().setProjectionMatrix(view.projection());
    gfx().setViewMatrix(view.view());
    water.update(eye, 3.0f);
    clearTo({0, 0, 0, 255});
    water.drawSurface();
    // Rows just below the horizon (row 56), two to twenty kilometres out: each nearly one color.
    for (int y = 45; y < 56; y += 3) {
        int low = 999, high = 0;
        for (const Rgba& c : rect(0, y, 128, 1)) {
            low = std::min(low, brightness(c));
            high = std::max(high, brightness(c));
        }
        EXPECT_LT(high - low, 24) << "row " << y;
    }
}

// The sea's grid follows the eye in snaps: far from the origin, several snaps
// out, the same view shows the same sea (no hole, no shifted grid).
TEST_F(WaterPictures, SeaFarFromTheOriginLooksAsItDoesNearIt)
{
    gfx().setQualityTier(0);
    Mat4 projection;
    mat4Perspective(projection, 0.6f, 128.0f / 96.0f, 2.0f, 50000.0f);
    gfx().setProjectionMatrix(projection);
    auto seaFrom = [&](const Vec3& eye) {
        const Vec3 at{eye.x + 300.0f, 0.0f, eye.z - 900.0f};
        gfx().setViewMatrix(lookAtMatrix(eye, at, Vec3{0, 1, 0}));
        water.update(eye, 0.0f);
        clearTo({0, 0, 0, 255});
        water.drawSurface();
        std::vector<Rgba> blocks;
        for (int y = 0; y < 96; y += 16)
            for (int x = 0; x < 128; x += 16)
                blocks.push_back(mean(rect(x, y, 16, 16)));
        return blocks;
    };
    const std::vector<Rgba> near = seaFrom({1200.0f, 200.0f, 700.0f});
    for (const Vec3& far : {Vec3{1200.0f + 5000.0f, 200.0f, 700.0f - 7500.0f}, Vec3{1200.0f - 10000.0f, 200.0f, 700.0f + 12500.0f}}) {
        const std::vector<Rgba> there = seaFrom(far);
        for (std::size_t i = 0; i < near.size(); ++i)
            EXPECT_TRUE(rgbNear(there[i], near[i], 8)) << "block " << i << ": " << there[i] << " vs " << near[i];
    }
}

}  // namespace

// The pictures are drawn only where the water can be on screen: all of it
// looking down, the part below the horizon looking level, nothing looking up.
TEST_F(WaterPictures, PicturesCoverOnlyTheWaterOnScreen)
{
    auto areaLookingAt = [&](const Vec3& eye, const Vec3& target) {
        Mat4 projection;
        mat4Perspective(projection, 0.8f, 128.0f / 96.0f, 2.0f, 50000.0f);
        const WorldView view = WorldView::fromMatrices(eye, lookAtMatrix(eye, target, Vec3{0, 1, 0}), projection);
        gfx().setProjectionMatrix(view.projection());
        gfx().setViewMatrix(view.view());
        water.update(eye, 0.0f);
        water.renderRefraction();
        water.renderReflection();
        const float* a = water.pictureArea();
        return std::vector<float>{a[0], a[1], a[2], a[3]};
    };
    const std::vector<float> down = areaLookingAt(Vec3{0, 500, 0}, Vec3{0, 0, -100});
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(down[k], k < 2 ? 0.0f : 1.0f, 1e-4f) << k;
    const std::vector<float> level = areaLookingAt(Vec3{0, 100, 0}, Vec3{0, 100, -1000});
    EXPECT_NEAR(level[0], 0.0f, 1e-4f);
    EXPECT_NEAR(level[1], 0.0f, 1e-4f);
    EXPECT_NEAR(level[2], 1.0f, 1e-4f);
    EXPECT_GT(level[3], 0.45f);  // up to the horizon, a little below the middle
    EXPECT_LT(level[3], 0.5f);
    const std::vector<float> up = areaLookingAt(Vec3{0, 100, 0}, Vec3{0, 1000, -100});
    EXPECT_EQ(up[2] - up[0], 0.0f);
}
