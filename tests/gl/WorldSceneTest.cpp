#include "TestWorld.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace {

using WorldScene = TestWorldGl;

// The fixed view a person can look at: over the sea toward the coast, the
// hills and the mountains.
TEST_F(WorldScene, RendersAtEveryTierIntoPngFiles)
{
    useTarget(480, 320);
    world->setCamera(Vec3{-5200.0f, 420.0f, 2600.0f}, Vec3{1500.0f, 150.0f, -1500.0f}, 1.0f, 1.5f);
    for (int tier = 0; tier <= 3; ++tier) {
        world->setTier(tier);
        world->setSun(0.35f);
        world->drawFrame();
        const std::string path = std::string(SKYFRONT_BINARY_DIR) + "/world_tier" + std::to_string(tier) + ".png";
        EXPECT_TRUE(saveTargetPng(gfx(), 480, 320, path)) << path;
        // Sky above, sea below: the top row is lighter than the bottom row.
        const Rgba top = pixel(240, 310), bottom = pixel(240, 5);
        EXPECT_GT(top.r + top.g + top.b, bottom.r + bottom.g + bottom.b) << "tier " << tier;
        EXPECT_GT(bottom.b, bottom.r) << "tier " << tier;
    }
}

// The sky leaves the sun's disc out only when it is out of view: looking at
// it the disc shows.
TEST_F(WorldScene, SunDiscShowsWhenLookedAt)
{
    useTarget(160, 120);
    world->setTier(0);
    world->setSun(0.35f);
    const Vec3 eye{0.0f, 3000.0f, 0.0f};
    world->setCamera(eye, eye + world->scatter.sunDirection() * 1000.0f, 0.6f, 160.0f / 120.0f);
    world->drawFrame();
    EXPECT_GT(centre().r + centre().g + centre().b, 700) << centre();
}

// Of the nearest trees, only those in view get quads: none looking up into
// the sky, some but not all of them looking over the land.
TEST_F(WorldScene, TreesOutOfViewGetNoQuads)
{
    const Vec3 eye{-5200.0f, 420.0f, 2600.0f};
    world->trees.fillBuffer(eye);
    const int around = world->trees.drawnCount();
    world->setCamera(eye, Vec3{1500.0f, 150.0f, -1500.0f}, 1.0f, 1.5f);
    world->trees.fillBuffer(world->view);
    EXPECT_GT(world->trees.drawnCount(), 0);
    EXPECT_LT(world->trees.drawnCount(), around);
    world->setCamera(eye, eye + Vec3{0.0f, 1000.0f, 10.0f}, 1.0f, 1.5f);
    world->trees.fillBuffer(world->view);
    EXPECT_EQ(world->trees.drawnCount(), 0);
}

// The ground alone over a clear of magenta, seen level from above its highest
// point: every screen column is then one vertical plane, and the ground in it
// one run up from the bottom. Magenta under ground is a crack between patches
// at different levels that no skirt filled. Looking inland and along the
// coast, so near, middle and far levels meet in view.
TEST_F(WorldScene, NoCracksBetweenPatchesOfDifferentLevels)
{
    constexpr int kW = 320, kH = 200;
    useTarget(kW, kH);
    world->setTier(0);
    world->setSun(0.35f);
    const float top = world->terrain.baseHeight() + world->terrain.heightRange() + 150.0f;
    const Vec3 eyes[2] = {Vec3{-5200.0f, top, 2600.0f}, Vec3{1000.0f, top, 6000.0f}};
    const Vec3 aims[2] = {Vec3{1500.0f, top, -1500.0f}, Vec3{-3000.0f, top, -2000.0f}};
    for (int v = 0; v < 2; ++v) {
        SCOPED_TRACE(v);
        world->setCamera(eyes[v], aims[v], 1.0f, static_cast<float>(kW) / kH);
        world->terrain.updateVisible(world->fieldOfView, world->view);
        int levels = 0;
        for (const Terrain::VisiblePatch& p : world->terrain.visiblePatches())
            levels |= 1 << p.level;
        EXPECT_GT(__builtin_popcount(static_cast<unsigned>(levels)), 1) << "the view shows one level only";
        gfx().setProjectionMatrix(world->view.projection());
        gfx().setViewMatrix(world->view.view());
        clearTo(Rgba{255, 0, 255, 255});
        world->terrain.drawPass();
        const std::vector<Rgba> all = rect(0, 0, kW, kH);
        int cracks = 0, ground = 0;
        for (int x = 0; x < kW; ++x) {
            bool cleared = false;
            for (int y = 0; y < kH; ++y) {
                const Rgba& c = all[static_cast<std::size_t>(y) * kW + x];
                const bool magenta = c.r > 200 && c.g < 60 && c.b > 200;
                ground += magenta ? 0 : 1;
                if (magenta)
                    cleared = true;
                else if (cleared)
                    ++cracks;
            }
        }
        EXPECT_GT(ground, kW * kH / 5);
        EXPECT_EQ(cracks, 0);
    }
}

// Below where the sea meets the far plane the sky is hidden by the sea: the
// frame is the same to the pixel when the sky draws its whole dome.
TEST_F(WorldScene, SkyLeftOutBelowTheSeaChangesNoPixel)
{
    constexpr int kW = 240, kH = 160;
    useTarget(kW, kH);
    world->setTier(0);
    world->setSun(0.35f);
    const Vec3 views[3][2] = {{Vec3{-5200.0f, 420.0f, 2600.0f}, Vec3{1500.0f, 150.0f, -1500.0f}},
                              {Vec3{0.0f, 9000.0f, 20000.0f}, Vec3{0.0f, 0.0f, 0.0f}},
                              {Vec3{-9000.0f, 60.0f, 9000.0f}, Vec3{-9000.0f, -300.0f, 0.0f}}};
    for (const auto& v : views) {
        world->setCamera(v[0], v[1], 1.0f, static_cast<float>(kW) / kH);
        int firstRing = 0;
        world->passDone = [this, &firstRing](const char* pass) {
            if (std::string(pass) == "water")
                firstRing = world->sky.firstRingShown(world->view.eye, world->view.projection());
        };
        world->time = 0.0f;  // the same waves both times
        world->drawFrame();
        EXPECT_GT(firstRing, 0) << "no saving to test";
        const std::vector<Rgba> cut = rect(0, 0, kW, kH);
        world->passDone = [this](const char* pass) {
            if (std::string(pass) == "water")
                world->sky.setSeaDrawn(world->view.eye, 0.0f);
        };
        world->time = 0.0f;
        world->drawFrame();
        world->passDone = nullptr;
        const std::vector<Rgba> whole = rect(0, 0, kW, kH);
        int differ = 0;
        for (std::size_t i = 0; i < cut.size(); ++i)
            differ += (cut[i].r != whole[i].r || cut[i].g != whole[i].g || cut[i].b != whole[i].b) ? 1 : 0;
        EXPECT_EQ(differ, 0) << "eye " << v[0].x << " " << v[0].y << " " << v[0].z;
    }
}

// Only a draw from the eye the sea was drawn around, above it, far enough
// from the near plane and closer than the far one leaves rings out, and only
// the next draw: the sky of a scene without the sea stays whole.
TEST_F(WorldScene, SkyKeepsItsWholeDomeWithoutTheSea)
{
    Mat4 projection;
    mat4Perspective(projection, 1.0f, 1.5f, 2.0f, 50000.0f);
    SkyDome& sky = world->sky;
    const Vec3 eye{100.0f, 420.0f, -50.0f};
    EXPECT_EQ(sky.firstRingShown(eye, projection), 0);
    sky.setSeaDrawn(eye, 57500.0f);
    EXPECT_EQ(sky.firstRingShown(eye, projection), SkyDome::kRings / 2 - 1);
    EXPECT_EQ(sky.firstRingShown(Vec3{100.0f, 420.0f, -49.0f}, projection), 0);
    // Ten kilometres up the sea's far edge lies 11.5 degrees down: the ring
    // reaching to 11.25 degrees down stays.
    sky.setSeaDrawn(Vec3{0.0f, 10000.0f, 0.0f}, 57500.0f);
    EXPECT_EQ(sky.firstRingShown(Vec3{0.0f, 10000.0f, 0.0f}, projection), SkyDome::kRings / 2 - 2);
    for (const float y : {-5.0f, 3.0f, 60000.0f}) {
        sky.setSeaDrawn(Vec3{0.0f, y, 0.0f}, 57500.0f);
        EXPECT_EQ(sky.firstRingShown(Vec3{0.0f, y, 0.0f}, projection), 0) << y;
    }
    Mat4 ortho;
    sky.setSeaDrawn(eye, 57500.0f);
    EXPECT_EQ(sky.firstRingShown(eye, ortho), 0);
    // Drawn once, the sky forgets the sea: looking down with no sea the lower
    // screen is sky, not the clear.
    useTarget(64, 64);
    world->setSun(0.35f);
    world->setCamera(eye, eye + Vec3{1000.0f, -400.0f, 0.0f}, 1.0f, 1.0f);
    gfx().setProjectionMatrix(world->view.projection());
    gfx().setViewMatrix(world->view.view());
    sky.setSeaDrawn(eye, 57500.0f);
    clearTo(Rgba{255, 0, 255, 255});
    sky.draw(world->scatter, eye);
    EXPECT_TRUE(rgbNear(pixel(32, 2), Rgba{255, 0, 255, 255}, 0)) << "the sea's part was drawn";
    clearTo(Rgba{255, 0, 255, 255});
    sky.draw(world->scatter, eye);
    EXPECT_FALSE(rgbNear(pixel(32, 2), Rgba{255, 0, 255, 255}, 30)) << pixel(32, 2);
}

// The horizon band of high cloud: low over the horizon, looking away from the
// sun, streaks lighter and greyer than the sky around them; higher up the sky
// is the same as a dome without the band, to the count.
TEST_F(WorldScene, SkyLaysItsCloudBandLowOverTheHorizon)
{
    constexpr int kW = 160, kH = 120;
    useTarget(kW, kH);
    world->setTier(0);
    world->setSun(0.35f);
    const Vec3 eye{0.0f, 3000.0f, 0.0f};
    const Vec3 away{-world->scatter.sunDirection().x, 0.0f, -world->scatter.sunDirection().z};
    // 8 degrees up in the middle; 0.6 rad tall spans about -9 to 25 degrees.
    world->setCamera(eye, eye + away * 1000.0f + Vec3{0.0f, std::tan(0.14f) * 1000.0f * std::hypot(away.x, away.z), 0.0f},
                     0.6f, static_cast<float>(kW) / kH);
    gfx().setProjectionMatrix(world->view.projection());
    gfx().setViewMatrix(world->view.view());
    SkyDome plain;
    plain.load();
    clearTo(Rgba{255, 0, 255, 255});
    plain.draw(world->scatter, eye);
    const std::vector<Rgba> bare = rect(0, 0, kW, kH);
    clearTo(Rgba{255, 0, 255, 255});
    world->sky.draw(world->scatter, eye);
    const std::vector<Rgba> banded = rect(0, 0, kW, kH);
    int streaks = 0, lighterAndGreyer = 0, topChanged = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const Rgba a = bare[static_cast<std::size_t>(y * kW + x)], b = banded[static_cast<std::size_t>(y * kW + x)];
            const int change = std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
            if (y >= kH - 4) {
                topChanged += change > 3 ? 1 : 0;
                continue;
            }
            if (change <= 12)
                continue;
            ++streaks;
            const int spreadA = std::max({a.r, a.g, a.b}) - std::min({a.r, a.g, a.b});
            const int spreadB = std::max({b.r, b.g, b.b}) - std::min({b.r, b.g, b.b});
            lighterAndGreyer += b.r + b.g + b.b > a.r + a.g + a.b && spreadB < spreadA ? 1 : 0;
        }
    EXPECT_EQ(topChanged, 0) << "the band reaches too high";
    EXPECT_GT(streaks, kW * kH / 20) << "no streaks";
    EXPECT_LT(streaks, kW * kH / 2) << "an overcast, not streaks";
    EXPECT_GT(lighterAndGreyer, streaks * 9 / 10);
}

// Looking along -z with a 0.6 rad tall, 1.5 wide-to-tall view: the disc is in
// view up to a little past the frame's edge (its blurred rim reaches in).
TEST(SkyDomeSun, DiscInViewUpToJustPastTheEdge)
{
    Mat4 projection;
    mat4Perspective(projection, 0.6f, 1.5f, 2.0f, 50000.0f);
    const Mat4 view = lookAtMatrix(Vec3{0, 0, 0}, Vec3{0, 0, -1}, Vec3{0, 1, 0});
    const float halfWidth = std::atan(std::tan(0.3f) * 1.5f);
    auto at = [](float yaw, float pitch) {
        return Vec3{std::sin(yaw) * std::cos(pitch), std::sin(pitch), -std::cos(yaw) * std::cos(pitch)};
    };
    EXPECT_TRUE(SkyDome::sunDiscInView(projection, view, at(0.0f, 0.0f)));
    EXPECT_TRUE(SkyDome::sunDiscInView(projection, view, at(halfWidth + 0.03f, 0.0f)));
    EXPECT_TRUE(SkyDome::sunDiscInView(projection, view, at(0.0f, -0.3f - 0.03f)));
    EXPECT_FALSE(SkyDome::sunDiscInView(projection, view, at(halfWidth + 0.12f, 0.0f)));
    EXPECT_FALSE(SkyDome::sunDiscInView(projection, view, at(0.0f, 0.3f + 0.12f)));
    EXPECT_FALSE(SkyDome::sunDiscInView(projection, view, at(kPi, 0.0f)));  // behind
}

}  // namespace
