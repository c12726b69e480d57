#include "TestWorld.h"

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

}  // namespace
