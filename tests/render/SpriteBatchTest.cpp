#include "render/2d/SpriteBatch.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
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


// Opaque art of a texture draws apart from its blended art, and only those
// draws tell the hook they may skip blending; order still holds where they overlap.
TEST_F(Batch, OpaqueQuadsDrawInRunsOfTheirOwn)
{
    std::vector<bool> opaque;
    batch.setDrawHook([&](std::span<const SpriteVertex> v, const Texture2D* t, const ClipRect& c) {
        flushes.push_back({static_cast<int>(v.size() / 4), t, c});
        opaque.push_back(batch.drawingOpaque());
    });
    const auto box = [](float x0, float y0, float x1, float y1) {
        return std::array<SpriteVertex, 4>{SpriteVertex{x0, y0, 0, {}, 0, 0}, SpriteVertex{x1, y0, 0, {}, 0, 0},
                                           SpriteVertex{x0, y1, 0, {}, 0, 0}, SpriteVertex{x1, y1, 0, {}, 0, 0}};
    };
    // Three cards side by side, each an opaque body under a blended rim.
    for (int i = 0; i < 3; ++i) {
        const float x = 100.0f * i;
        batch.addQuad(box(x + 4, 4, x + 76, 36), textureA, true);
        batch.addQuad(box(x, 0, x + 80, 40), textureA);
    }
    batch.flush();
    ASSERT_EQ(flushes.size(), 2u);
    EXPECT_EQ(flushes[0].quads, 3);
    EXPECT_EQ(flushes[1].quads, 3);
    EXPECT_EQ(opaque, (std::vector<bool>{true, false}));
    EXPECT_FALSE(batch.drawingOpaque());

    // A body over the rim of the card before it must come after that rim.
    flushes.clear();
    opaque.clear();
    batch.addQuad(box(0, 0, 80, 40), textureA);
    batch.addQuad(box(4, 4, 76, 36), textureA, true);
    batch.addQuad(box(0, 0, 80, 40), textureA);
    batch.flush();
    EXPECT_EQ(opaque, (std::vector<bool>{false, true, false}));
}

// Runs that share a texture: what is drawn must come out as if every quad were
// drawn in the order it came.
struct ReorderedBatch : testing::Test {
    static constexpr int kSize = 256;
    SpriteBatch batch;
    std::vector<std::pair<const Texture2D*, std::vector<int>>> runs;   // quad ids per draw
    const Texture2D* textures[3] = {reinterpret_cast<const Texture2D*>(&runs), reinterpret_cast<const Texture2D*>(&batch),
                                    reinterpret_cast<const Texture2D*>(this)};
    struct Box {
        float x0, y0, x1, y1;
    };
    std::vector<Box> boxes;

    void SetUp() override
    {
        batch.setScreenSize(kSize, kSize);
        batch.setDrawHook([this](std::span<const SpriteVertex> v, const Texture2D* t, const ClipRect&) {
            runs.emplace_back(t, std::vector<int>{});
            for (std::size_t i = 0; i < v.size(); i += 4)
                runs.back().second.push_back(static_cast<int>(v[i].u));
        });
    }
    // The quad's id rides in its texture coordinate.
    void add(float x0, float y0, float x1, float y1, int texture)
    {
        const float id = static_cast<float>(boxes.size());
        boxes.push_back({x0, y0, x1, y1});
        const SpriteVertex quad[4] = {{x0, y0, 0, {}, id, 0}, {x1, y0, 0, {}, id, 0}, {x0, y1, 0, {}, id, 0},
                                      {x1, y1, 0, {}, id, 0}};
        batch.addQuad(quad, textures[texture]);
    }
    // The id of the quad last drawn over each pixel centre, for an order of ids.
    std::vector<int> paint(const std::vector<int>& order) const
    {
        std::vector<int> pixels(kSize * kSize, -1);
        for (int id : order) {
            const Box& b = boxes[static_cast<std::size_t>(id)];
            for (int y = 0; y < kSize; ++y)
                for (int x = 0; x < kSize; ++x)
                    if (x + 0.5f >= b.x0 && x + 0.5f < b.x1 && y + 0.5f >= b.y0 && y + 0.5f < b.y1)
                        pixels[static_cast<std::size_t>(y * kSize + x)] = id;
        }
        return pixels;
    }
    std::vector<int> drawnOrder() const
    {
        std::vector<int> order;
        for (const auto& run : runs)
            order.insert(order.end(), run.second.begin(), run.second.end());
        return order;
    }
};

TEST_F(ReorderedBatch, LabelsOverSeparateWidgetsDrawInTwoRuns)
{
    for (int i = 0; i < 10; ++i) {
        add(10, 25.0f * i, 100, 25.0f * i + 20, 0);      // the widget
        add(20, 25.0f * i + 4, 90, 25.0f * i + 14, 1);   // its label, over it
    }
    batch.flush();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].first, textures[0]);
    EXPECT_EQ(runs[0].second, (std::vector<int>{0, 2, 4, 6, 8, 10, 12, 14, 16, 18}));
    EXPECT_EQ(runs[1].second, (std::vector<int>{1, 3, 5, 7, 9, 11, 13, 15, 17, 19}));
}

TEST_F(ReorderedBatch, AQuadOverALaterRunKeepsItsPlace)
{
    add(0, 0, 50, 50, 0);
    add(40, 40, 90, 90, 1);
    add(80, 80, 120, 120, 0);   // over the second: a third run
    add(0, 0, 10, 10, 1);       // over the first only: joins the second run
    EXPECT_EQ(batch.pendingRuns(), 3);
    batch.flush();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].second, (std::vector<int>{1, 3}));
    EXPECT_EQ(runs[2].second, (std::vector<int>{2}));
    // The batch starts over empty.
    add(0, 0, 10, 10, 2);
    EXPECT_EQ(batch.pendingRuns(), 1);
}

TEST_F(ReorderedBatch, ManyOverlappingQuadsPaintAsInTheirOrder)
{
    std::uint32_t seed = 12345;
    const auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
    };
    std::vector<int> submitted;
    for (int i = 0; i < 600; ++i) {
        // Mostly small quads, some reaching past the screen, now and then a big one.
        const float x = static_cast<float>(next(kSize + 40) - 20), y = static_cast<float>(next(kSize + 40) - 20);
        const float w = static_cast<float>(i % 50 == 0 ? 200 : 2 + next(30)), h = static_cast<float>(2 + next(30));
        submitted.push_back(i);
        add(x, y, x + w, y + h, next(3));
    }
    batch.flush();
    ASSERT_EQ(drawnOrder().size(), submitted.size());
    EXPECT_LT(runs.size(), 300u);   // far fewer draws than texture changes
    EXPECT_EQ(paint(drawnOrder()), paint(submitted));
}

TEST_F(ReorderedBatch, NothingMovesBeforeABackdropOverTheScreen)
{
    batch.setScreenSize(1280, 720);
    add(0, 0, 10, 10, 0);
    add(100, 100, 110, 110, 1);
    add(0, 0, 1280, 720, 0);        // over everything so far: a run after them
    add(300, 300, 310, 310, 1);     // over the backdrop: after it
    add(600, 600, 610, 610, 0);     // joins the backdrop's run
    batch.flush();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[2].second, (std::vector<int>{2, 4}));
    EXPECT_EQ(runs[3].second, (std::vector<int>{3}));
    // The next batch starts without the backdrop.
    runs.clear();
    add(0, 0, 10, 10, 0);
    add(100, 100, 110, 110, 1);
    add(300, 300, 310, 310, 0);
    batch.flush();
    EXPECT_EQ(runs.size(), 2u);
}

TEST_F(ReorderedBatch, BoxesThatAreNotNumbersOrOffScreenKeepTheirOrder)
{
    const float nan = std::nanf("");
    add(0, 0, 10, 10, 0);
    add(nan, 0, nan, 10, 1);
    add(100, 100, 110, 110, 0);   // after the box that may be anywhere
    add(-500, -500, -400, -400, 1);   // off the screen: free to join the second run
    add(5000, 5000, 5100, 5100, 1);
    batch.flush();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].second, (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(runs[2].second, (std::vector<int>{2}));
    runs.clear();
    // Without a screen size there is no grid: only neighbours of one texture join.
    SpriteBatch plain;
    plain.setDrawHook([this](std::span<const SpriteVertex>, const Texture2D* t, const ClipRect&) {
        runs.emplace_back(t, std::vector<int>{});
    });
    const SpriteVertex quad[4] = {};
    for (int texture : {0, 1, 1, 0})
        plain.addQuad(quad, textures[texture]);
    EXPECT_EQ(plain.pendingRuns(), 3);
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
