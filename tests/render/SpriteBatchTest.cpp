#include "render/2d/SpriteBatch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Flush {
    int quads;
    const Texture2D* texture;
    ClipRect clip;
};

struct Batch : testing::Test {
    SpriteBatch batch;
    std::vector<Flush> flushes;
    SpriteVertex quad[4];
    const Texture2D* textureA = reinterpret_cast<const Texture2D*>(&flushes);
    const Texture2D* textureB = reinterpret_cast<const Texture2D*>(&batch);

    void SetUp() override
    {
        batch.setScreenSize(640, 480);
        batch.setDrawHook([this](std::span<const SpriteVertex> v, const Texture2D* t, const ClipRect& c) {
            flushes.push_back({static_cast<int>(v.size() / 4), t, c});
        });
    }
};

TEST_F(Batch, FullBatchFlushesBeforeTheNextQuad)
{
    for (int i = 0; i < SpriteBatch::kMaxQuads + 5; ++i)
        batch.addQuad(quad, textureA);
    ASSERT_EQ(flushes.size(), 1u);
    EXPECT_EQ(flushes[0].quads, SpriteBatch::kMaxQuads);
    EXPECT_EQ(batch.pendingQuads(), 5);
    batch.flush();
    EXPECT_EQ(flushes.back().quads, 5);
}

TEST_F(Batch, TextureChangeFlushesTheQuadsBefore)
{
    batch.addQuad(quad, textureA);
    batch.addQuad(quad, textureA);
    batch.addQuad(quad, textureB);
    batch.flush();
    ASSERT_EQ(flushes.size(), 2u);
    EXPECT_EQ(flushes[0].texture, textureA);
    EXPECT_EQ(flushes[0].quads, 2);
    EXPECT_EQ(flushes[1].texture, textureB);
}

TEST_F(Batch, ClipRectanglesIntersectAndPopRestores)
{
    batch.addQuad(quad, textureA);   // queued before the change: drawn under the whole screen
    batch.pushClipRect();
    batch.setClipRect(100, 100, 200, 200);
    ASSERT_EQ(flushes.size(), 1u);
    EXPECT_FLOAT_EQ(flushes[0].clip.w, 640.0f);
    flushes.clear();
    batch.setClipRect(50, 150, 100, 500);
    EXPECT_FLOAT_EQ(batch.clipRect().x, 100.0f);
    EXPECT_FLOAT_EQ(batch.clipRect().y, 150.0f);
    EXPECT_FLOAT_EQ(batch.clipRect().w, 50.0f);
    EXPECT_FLOAT_EQ(batch.clipRect().h, 150.0f);
    batch.addQuad(quad, textureA);
    batch.popClipRect();   // flushes under the clip in force
    ASSERT_EQ(flushes.size(), 1u);
    EXPECT_FLOAT_EQ(flushes[0].clip.w, 50.0f);
    EXPECT_FLOAT_EQ(batch.clipRect().w, 640.0f);
    EXPECT_FLOAT_EQ(batch.clipRect().h, 480.0f);
}

TEST_F(Batch, PopOnAnEmptyStackGivesTheWholeScreen)
{
    batch.setClipRect(10, 10, 20, 20);
    batch.popClipRect();
    batch.popClipRect();
    EXPECT_FLOAT_EQ(batch.clipRect().x, 0.0f);
    EXPECT_FLOAT_EQ(batch.clipRect().w, 640.0f);
    EXPECT_EQ(batch.clipDepth(), 0);
}

TEST_F(Batch, DeepPushesAreAllRestored)
{
    for (int i = 0; i < 1000; ++i) {
        batch.pushClipRect();
        batch.setClipRect(0, 0, 640.0f - static_cast<float>(i) * 0.5f, 480);
    }
    EXPECT_EQ(batch.clipDepth(), 1000);
    for (int i = 999; i >= 0; --i) {
        EXPECT_FLOAT_EQ(batch.clipRect().w, 640.0f - static_cast<float>(i) * 0.5f);
        batch.popClipRect();
    }
    EXPECT_FLOAT_EQ(batch.clipRect().w, 640.0f);
}

TEST_F(Batch, DisjointClipDrawsNothing)
{
    batch.setClipRect(0, 0, 10, 10);
    batch.setClipRect(100, 100, 10, 10);
    EXPECT_FLOAT_EQ(batch.clipRect().w, 0.0f);
    batch.addQuad(quad, textureA);
    batch.flush();
    EXPECT_TRUE(flushes.empty());
    EXPECT_EQ(batch.pendingQuads(), 0);
}

}  // namespace
