#include "render/world/Clouds.h"
#include "render/world/Terrain.h"
#include "render/world/Trees.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// West half sea (-20), east half a plain at 40 rising to a steep wall at the east edge.
struct ForestTest : testing::Test {
    Terrain terrain;
    void SetUp() override
    {
        const int grid = 64;
        Terrain::Layout layout{grid, 50.0f, -20.0f, 600.0f};
        std::vector<std::uint16_t> s(static_cast<std::size_t>((grid + 1) * (grid + 1)));
        for (int row = 0; row <= grid; ++row)
            for (int col = 0; col <= grid; ++col) {
                float h = col < grid / 2 ? -20.0f : 40.0f;
                if (col >= grid - 4)
                    h = 40.0f + static_cast<float>(col - (grid - 4)) * 130.0f;
                s[static_cast<std::size_t>(row * (grid + 1) + col)] =
                    static_cast<std::uint16_t>(std::lround((h + 20.0f) / 600.0f * 65535.0f));
            }
        ASSERT_TRUE(terrain.setSamples(layout, s));
    }
};

TEST_F(ForestTest, TreesStandOnDryGentleGround)
{
    Trees trees;
    trees.buildForest("data/trees.png", terrain, 500);
    ASSERT_GT(trees.trees().size(), 250u);
    EXPECT_LE(trees.trees().size(), 500u);
    for (const auto& t : trees.trees()) {
        EXPECT_GT(t.position.x, 0.0f - 50.0f);          // never in the sea
        EXPECT_LT(t.position.x, 1600.0f - 100.0f + 50);   // never on the wall
        EXPECT_NEAR(t.position.y, 39.0f, 1.0f);
        EXPECT_LT(t.kind, 4);
    }
    // The same map gives the same forest.
    Trees again;
    again.buildForest("data/trees.png", terrain, 500);
    ASSERT_EQ(again.trees().size(), trees.trees().size());
    EXPECT_EQ(again.trees()[17].position.z, trees.trees()[17].position.z);
}

TEST_F(ForestTest, DensityMapDecidesWhere)
{
    // 4 x 4 map: only the north-east cell (last row, last column) is wooded.
    std::vector<std::uint8_t> density(16, 0);
    density[15] = 255;
    Trees trees;
    ASSERT_TRUE(trees.buildFromDensity(300, density, "data/trees.png", terrain));
    ASSERT_FALSE(trees.trees().empty());
    for (const auto& t : trees.trees()) {
        EXPECT_GE(t.position.x, 800.0f);
        EXPECT_GE(t.position.z, 800.0f);
    }
    EXPECT_FALSE(trees.buildFromDensity(10, std::vector<std::uint8_t>(15, 255), "t", terrain));
    EXPECT_TRUE(trees.trees().empty());
    EXPECT_FALSE(trees.buildFromDensity(10, {}, "t", terrain));
    EXPECT_FALSE(trees.buildFromFile(10, "data/terrain/none/trees.raw", "t", terrain));
}

TEST_F(ForestTest, FillBufferTakesTheNearestWithinReach)
{
    Trees trees;
    trees.buildForest("data/trees.png", terrain, 5000);
    const Vec3 eye{800.0f, 100.0f, 0.0f};
    trees.fillBuffer(eye);
    EXPECT_LE(trees.drawnCount(), Trees::kMaxDrawn);
    EXPECT_GT(trees.drawnCount(), 0);
    trees.fillBuffer(Vec3{1e6f, 0.0f, 0.0f});
    EXPECT_EQ(trees.drawnCount(), 0);
}

// Near trees are two crossed quads; past kBillboardDistance, a few pixels
// tall, one quad each, so a far forest costs half the triangles.
TEST_F(ForestTest, FarTreesGetOneQuadNearOnesTwo)
{
    Trees trees;
    trees.buildForest("data/trees.png", terrain, 3000);
    trees.fillBuffer(Vec3{800.0f, 100.0f, 0.0f});  // amid the forest: every tree within reach
    ASSERT_GT(trees.drawnCount(), 100);
    EXPECT_EQ(trees.quadCount(), 2 * trees.drawnCount());
    const Vec3 far{-2600.0f, 100.0f, 0.0f};
    trees.fillBuffer(far);  // over the sea, the whole forest far off
    ASSERT_GT(trees.drawnCount(), 100);
    EXPECT_EQ(trees.quadCount(), trees.drawnCount());
    // Each lone quad stands across the line of sight, as wide as a crossed one.
    const std::vector<float>& v = trees.vertices();
    for (std::size_t q = 0; q + 20 <= v.size(); q += 20) {
        const float ex = v[q + 5] - v[q], ez = v[q + 7] - v[q + 2];
        const float cx = (v[q + 5] + v[q]) * 0.5f - far.x, cz = (v[q + 7] + v[q + 2]) * 0.5f - far.z;
        const float width = std::sqrt(ex * ex + ez * ez), height = v[q + 11] - v[q + 1];
        ASSERT_NEAR(width, 0.7f * height, 0.01f * height) << q / 20;
        ASSERT_NEAR((ex * cx + ez * cz) / (width * std::sqrt(cx * cx + cz * cz)), 0.0f, 1e-3f) << q / 20;
    }
    trees.fillBuffer(Vec3{-1500.0f, 100.0f, 0.0f});  // the forest's near edge closer than its far one
    EXPECT_GT(trees.quadCount(), trees.drawnCount());
    EXPECT_LT(trees.quadCount(), 2 * trees.drawnCount());
}

// The lower tiers draw fewer of the nearest trees and turn them to single
// quads nearer the eye; the higher ones keep the full forest.
TEST_F(ForestTest, LowerTiersDrawFewerAndFlatterTrees)
{
    const Trees::Detail top = Trees::detailFor(3), low = Trees::detailFor(0);
    EXPECT_EQ(Trees::detailFor(2).maxDrawn, Trees::kMaxDrawn);
    EXPECT_EQ(top.maxDrawn, Trees::kMaxDrawn);
    EXPECT_EQ(top.billboardDistance, Trees::kBillboardDistance);
    EXPECT_LT(low.maxDrawn, top.maxDrawn);
    EXPECT_LT(low.billboardDistance, top.billboardDistance);
    EXPECT_EQ(Trees::detailFor(1).maxDrawn, low.maxDrawn);

    Trees trees;
    trees.buildForest("data/trees.png", terrain, 20000);
    const Vec3 eye{800.0f, 100.0f, 0.0f};
    trees.fillBuffer(eye);
    ASSERT_EQ(trees.drawnCount(), Trees::kMaxDrawn);
    std::vector<float> full = trees.vertices();
    trees.setDetail(low);
    trees.fillBuffer(eye);
    EXPECT_EQ(trees.drawnCount(), low.maxDrawn);
    // Within the low tier's billboard distance every tree is still crossed.
    trees.setDetail(Trees::Detail{low.maxDrawn, 1e6f});
    trees.fillBuffer(eye);
    EXPECT_EQ(trees.quadCount(), 2 * trees.drawnCount());
    trees.setDetail(Trees::Detail{low.maxDrawn, 200.0f});
    trees.fillBuffer(eye);
    EXPECT_LT(trees.quadCount(), 2 * trees.drawnCount());
    EXPECT_GT(trees.quadCount(), trees.drawnCount());
    // A budget past the cap, or below nothing, is held to 0..kMaxDrawn.
    trees.setDetail(Trees::Detail{1 << 20, top.billboardDistance});
    trees.fillBuffer(eye);
    EXPECT_EQ(trees.drawnCount(), Trees::kMaxDrawn);
    EXPECT_EQ(trees.vertices(), full);
    trees.setDetail(Trees::Detail{-5, top.billboardDistance});
    trees.fillBuffer(eye);
    EXPECT_EQ(trees.drawnCount(), 0);
}

TEST(CloudField, AmountZeroMakesNoPuffsAndDefaultMakesSome)
{
    Clouds clouds;
    clouds.buildField(0.0f, 500.0f);
    EXPECT_TRUE(clouds.puffs().empty());
    clouds.fillBuffer(Vec3{});
    EXPECT_TRUE(clouds.drawOrder().empty());
    clouds.buildField(-1.0f, 500.0f);
    EXPECT_FALSE(clouds.puffs().empty());
    for (const auto& p : clouds.puffs())
        EXPECT_GT(p.position.y - p.size * 0.5f, 500.0f);  // above the highest ground
    Clouds full;
    full.buildField(1.0f, 0.0f);
    EXPECT_GT(full.puffs().size(), clouds.puffs().size());
}

TEST(CloudField, SortedFarToNear)
{
    Clouds clouds;
    clouds.buildField(0.5f, 0.0f);
    const Vec3 eye{1000.0f, 2000.0f, -3000.0f};
    clouds.fillBuffer(eye);
    const auto& order = clouds.drawOrder();
    ASSERT_EQ(order.size(), clouds.puffs().size());
    auto dist = [&](std::uint32_t i) {
        const Vec3& p = clouds.puffs()[i].position;
        return (p.x - eye.x) * (p.x - eye.x) + (p.y - eye.y) * (p.y - eye.y) + (p.z - eye.z) * (p.z - eye.z);
    };
    for (std::size_t i = 1; i < order.size(); ++i)
        EXPECT_GE(dist(order[i - 1]), dist(order[i]));
}

TEST(CloudField, RelightFollowsTheSun)
{
    Clouds clouds;
    clouds.buildField(0.3f, 0.0f);
    clouds.relight(Vec3{1.0f, 0.5f, 0.2f}, Vec3{0.0f, 0.1f, 1.0f});
    for (const auto& p : clouds.puffs()) {
        EXPECT_GT(p.color.x, p.color.z);
        EXPECT_LE(p.color.x, 1.0f);
    }
    // At noon the puffs are light; at night (the scattering's twilight color,
    // sun below the horizon) they are no brighter than the night sky.
    clouds.relight(Vec3{1.0f, 1.0f, 1.0f}, Vec3{0.0f, 1.0f, 0.0f});
    for (const auto& p : clouds.puffs())
        EXPECT_GT(p.color.x + p.color.y + p.color.z, 1.8f);
    clouds.relight(Vec3{0.03f, 0.04f, 0.08f}, Vec3{0.3f, -0.5f, 0.6f});
    for (const auto& p : clouds.puffs())
        EXPECT_LT(p.color.x + p.color.y + p.color.z, 0.3f);
}

}  // namespace
