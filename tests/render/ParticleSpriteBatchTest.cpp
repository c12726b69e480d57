#include "render/fx/ParticleSprites.h"

#include "TestSheets.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
struct Vertex {
    float x, y, z;
    std::uint8_t r, g, b, a;
    float u, v, lu, lv;
};

Vertex vertexAt(const ParticleSpriteBatch& batch, int index)
{
    Vertex out{};
    const std::uint8_t* at = batch.vertices().data() + static_cast<std::size_t>(index) * batch.stride();
    std::memcpy(&out, at, static_cast<std::size_t>(batch.stride()));
    return out;
}

struct ParticleBatch : testing::Test {
    ParticleAtlas atlas;
    ParticleSpriteBatch batch;
    ParticleBatch()
    {
        atlas.animations = {{{0, 0, 0.5f, 0.5f}}, {{0.5f, 0, 1, 0.5f}, {0, 0.5f, 0.5f, 1}}};
        atlas.lightmapGrid = 2;
    }
};

TEST_F(ParticleBatch, QuadCornersSpanTheAxesAndTheFramesRectangle)
{
    batch.begin(atlas, false);
    ASSERT_TRUE(batch.add({10, 20, 30}, {2, 0, 0}, {0, 3, 0}, {9, 8, 7, 6}, 1, 1, 0));
    EXPECT_EQ(batch.vertices().size(), 96u);
    const Vertex topLeft = vertexAt(batch, 0), bottomRight = vertexAt(batch, 3);
    EXPECT_EQ(topLeft.x, 8.0f);
    EXPECT_EQ(topLeft.y, 23.0f);
    EXPECT_EQ(bottomRight.x, 12.0f);
    EXPECT_EQ(bottomRight.y, 17.0f);
    EXPECT_EQ(topLeft.u, 0.0f);
    EXPECT_EQ(topLeft.v, 0.5f);
    EXPECT_EQ(bottomRight.u, 0.5f);
    EXPECT_EQ(bottomRight.v, 1.0f);
    EXPECT_EQ(vertexAt(batch, 1).u, 0.5f);
    EXPECT_EQ(topLeft.r, 9);
    EXPECT_EQ(topLeft.a, 6);
}

TEST_F(ParticleBatch, HighDetailVerticesCarryTheLightmapCell)
{
    batch.begin(atlas, true);
    ASSERT_TRUE(batch.add({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {}, 0, 0, 4));
    ASSERT_TRUE(batch.add({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {}, 0, 0, 0));
    ASSERT_TRUE(batch.add({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {}, 0, 0, 5));
    EXPECT_EQ(batch.vertices().size(), 3u * 128u);
    // Cell 3 of a 2 x 2 grid is the bottom right quarter.
    EXPECT_EQ(vertexAt(batch, 0).lu, 0.5f);
    EXPECT_EQ(vertexAt(batch, 0).lv, 0.5f);
    EXPECT_EQ(vertexAt(batch, 3).lu, 1.0f);
    EXPECT_EQ(vertexAt(batch, 3).lv, 1.0f);
    // 0 and numbers past the grid mean no lightmap.
    EXPECT_LT(vertexAt(batch, 4).lu, 0.0f);
    EXPECT_LT(vertexAt(batch, 8).lu, 0.0f);
}

TEST_F(ParticleBatch, UnknownAnimationsAndFramesAddNothing)
{
    batch.begin(atlas, false);
    EXPECT_FALSE(batch.add({}, {}, {}, {}, 2, 0, 0));
    EXPECT_FALSE(batch.add({}, {}, {}, {}, -1, 0, 0));
    EXPECT_FALSE(batch.add({}, {}, {}, {}, 0, 1, 0));
    EXPECT_FALSE(batch.add({}, {}, {}, {}, 1, -1, 0));
    EXPECT_EQ(batch.count(), 0);
    EXPECT_TRUE(batch.vertices().empty());
}

TEST(ParticleAtlasOfASheet, AnimationFramesTakeTheirFirstPartsModule)
{
    // Animation 0 runs frame 0 (first part module 0, 8x8 at the origin),
    // then frame 2 (first part module 2, 4x4 at (0,16)); frame 1 has no parts.
    SpriteSheet sheet = testsheets::basicSheet();
    sheet.animFrames.push_back({1, 3});
    sheet.anims.push_back({2, 1});
    sheet.parts[2].flip = SpriteSheet::kFlipX;
    const ParticleAtlas atlas = ParticleAtlas::fromSheet(sheet);
    ASSERT_EQ(atlas.frameCount(0), 2);
    EXPECT_EQ(atlas.frameCount(1), 1);
    EXPECT_EQ(atlas.frameCount(2), 0);
    EXPECT_EQ(atlas.frameCount(-1), 0);
    const ParticleAtlas::Rect first = atlas.animations[0][0], second = atlas.animations[0][1];
    EXPECT_EQ(first.u1, 8.0f / 64.0f);
    EXPECT_EQ(first.v1, 8.0f / 64.0f);
    // The part's flip swaps the rectangle's sides.
    EXPECT_EQ(second.u0, 4.0f / 64.0f);
    EXPECT_EQ(second.u1, 0.0f);
    EXPECT_EQ(second.v0, 16.0f / 64.0f);

    ParticleSpriteBatch batch;
    batch.begin(atlas, false);
    EXPECT_TRUE(batch.add({}, {1, 0, 0}, {0, 1, 0}, {}, 0, 1, 0));
    EXPECT_FALSE(batch.add({}, {1, 0, 0}, {0, 1, 0}, {}, 1, 0, 0));   // the empty frame
    EXPECT_EQ(batch.count(), 1);
}

TEST_F(ParticleBatch, FullBatchRefusesMoreAndBeginEmptiesIt)
{
    batch.begin(atlas, false);
    for (int i = 0; i < ParticleSpriteBatch::kCapacity; ++i)
        ASSERT_TRUE(batch.add({}, {}, {}, {}, 0, 0, 0));
    EXPECT_FALSE(batch.add({}, {}, {}, {}, 0, 0, 0));
    EXPECT_EQ(batch.vertices().size(), 4096u * 96u);
    batch.begin(atlas, true);
    EXPECT_EQ(batch.count(), 0);
    EXPECT_EQ(batch.stride(), 32);
}
}  // namespace
