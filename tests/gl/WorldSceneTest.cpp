#include "TestWorld.h"

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
