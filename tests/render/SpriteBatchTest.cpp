#include "render/2d/SpriteBatch.h"

#include <gtest/gtest.h>

#include <cmath>
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


// Cropped quads: what reaches the draw hook, corner by corner.
struct CroppedBatch : testing::Test {
    SpriteBatch batch;
    std::vector<std::vector<SpriteVertex>> drawn;
    std::vector<ClipRect> clips;
    const Texture2D* texture = reinterpret_cast<const Texture2D*>(&drawn);

    void SetUp() override
    {
        batch.setScreenSize(640, 480);
        batch.setDrawHook([this](std::span<const SpriteVertex> v, const Texture2D*, const ClipRect& c) {
            drawn.emplace_back(v.begin(), v.end());
            clips.push_back(c);
        });
    }
    // The rectangle (x0, y0)-(x1, y1) with u 0..1 from x0 to x1 and v 0..1 from y0 to y1.
    void add(float x0, float y0, float x1, float y1)
    {
        const SpriteVertex quad[4] = {{x0, y0, 0, {}, 0, 0}, {x1, y0, 0, {}, 1, 0}, {x0, y1, 0, {}, 0, 1},
                                      {x1, y1, 0, {}, 1, 1}};
        batch.addQuad(quad, texture);
    }
};

TEST_F(CroppedBatch, ACropCutsCornersAndTexturePointsWithoutAFlush)
{
    add(0, 0, 20, 20);
    batch.pushCropRect(60, 0, 100, 40);
    EXPECT_TRUE(batch.cropping());
    add(10, 10, 110, 60);   // keeps x 60..110, y 10..40
    add(10, 10, 110, 60);
    batch.popCropRect();
    add(0, 0, 20, 20);      // whole again
    EXPECT_TRUE(drawn.empty());
    batch.flush();
    ASSERT_EQ(drawn.size(), 1u);
    ASSERT_EQ(drawn[0].size(), 16u);
    const SpriteVertex* cut = &drawn[0][4];
    EXPECT_FLOAT_EQ(cut[0].x, 60.0f);
    EXPECT_FLOAT_EQ(cut[0].y, 10.0f);
    EXPECT_FLOAT_EQ(cut[3].x, 110.0f);
    EXPECT_FLOAT_EQ(cut[3].y, 40.0f);
    EXPECT_FLOAT_EQ(cut[0].u, 0.5f);
    EXPECT_FLOAT_EQ(cut[0].v, 0.0f);
    EXPECT_FLOAT_EQ(cut[3].u, 1.0f);
    EXPECT_FLOAT_EQ(cut[3].v, 0.6f);
    EXPECT_FLOAT_EQ(drawn[0][15].x, 20.0f);
}

TEST_F(CroppedBatch, MirroredQuadsKeepTheirTextureTheRightWayRound)
{
    batch.pushCropRect(0, 0, 60, 480);
    add(110, 0, 10, 10);   // drawn mirrored: u 0 on the right
    batch.flush();
    ASSERT_EQ(drawn.size(), 1u);
    const std::vector<SpriteVertex>& q = drawn[0];
    EXPECT_FLOAT_EQ(q[0].x, 60.0f);   // the right corner, moved in
    EXPECT_FLOAT_EQ(q[0].u, 0.5f);
    EXPECT_FLOAT_EQ(q[1].x, 10.0f);
    EXPECT_FLOAT_EQ(q[1].u, 1.0f);
}

TEST_F(CroppedBatch, CropsNestAndAQuadOutsideOrAnEmptyCropDrawsNothing)
{
    batch.pushCropRect(0, 0, 100, 100);
    batch.pushCropRect(50, 50, 100, 100);   // leaves 50..100
    add(0, 0, 40, 40);                      // outside the inner crop
    add(0, 0, 200, 200);
    batch.popCropRect();
    add(0, 0, 200, 200);                    // the outer crop again
    batch.popCropRect();
    batch.popCropRect();                    // one pop too many does no harm
    EXPECT_FALSE(batch.cropping());
    batch.pushCropRect(10, 10, -5, std::nanf(""));
    add(0, 0, 200, 200);
    batch.popCropRect();
    batch.flush();
    ASSERT_EQ(drawn.size(), 1u);
    ASSERT_EQ(drawn[0].size(), 8u);
    EXPECT_FLOAT_EQ(drawn[0][0].x, 50.0f);
    EXPECT_FLOAT_EQ(drawn[0][3].x, 100.0f);
    EXPECT_FLOAT_EQ(drawn[0][4].x, 0.0f);
    EXPECT_FLOAT_EQ(drawn[0][7].y, 100.0f);
}

TEST_F(CroppedBatch, ATurnedQuadDrawsAloneUnderTheCropAsItsClip)
{
    add(0, 0, 20, 20);
    batch.pushCropRect(60, 0, 100, 40);
    const SpriteVertex turned[4] = {{50, 0, 0, {}, 0, 0}, {100, 50, 0, {}, 1, 0}, {0, 50, 0, {}, 0, 1},
                                    {50, 100, 0, {}, 1, 1}};
    batch.addQuad(turned, texture);
    batch.popCropRect();
    add(0, 0, 20, 20);
    batch.flush();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_FLOAT_EQ(clips[1].x, 60.0f);
    EXPECT_FLOAT_EQ(clips[1].h, 40.0f);
    EXPECT_FLOAT_EQ(drawn[1][1].x, 100.0f);   // its corners as they were
    EXPECT_FLOAT_EQ(clips[2].w, 640.0f);
}

}  // namespace
