#include "TestSheets.h"

#include "render/2d/CSprite.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using testsheets::BatchRecorder;

struct SpriteQueries : testing::Test {
    CSprite sprite;
    void SetUp() override { sprite.loadSheet(testsheets::basicSheet(), 2.0f); }
};

TEST_F(SpriteQueries, PartQueriesAreScaledAndAnswerZeroWhenAbsent)
{
    sprite.setScale(0.5f, 1.0f);
    EXPECT_FLOAT_EQ(sprite.framePartWidth(0, 1), 4.0f);
    EXPECT_FLOAT_EQ(sprite.framePartHeight(0, 1), 12.0f);
    EXPECT_FLOAT_EQ(sprite.framePartWidth(0, 2), 0.0f);
}

TEST_F(SpriteQueries, FrameBoundsSpanAllPartsAndUnknownFramesAreEmpty)
{
    int w = -1, h = -1;
    sprite.frameBounds(0, w, h);
    // Module 0 covers (0,0)-(8,8) and module 1 (10,-2)-(14,4), twice as big.
    EXPECT_EQ(w, 28);
    EXPECT_EQ(h, 20);
    EXPECT_EQ(sprite.lastFrameWidth(), 28);
    const CSprite::Rect at = sprite.frameBoundsAt(0, 100.0f, 50.0f);
    EXPECT_FLOAT_EQ(at.x, 100.0f);
    EXPECT_FLOAT_EQ(at.y, 46.0f);
    EXPECT_FLOAT_EQ(at.w, 28.0f);
    sprite.transform() = Transform2D::scaling(2.0f, 2.0f);
    EXPECT_FLOAT_EQ(sprite.frameBoundsAt(0, 100.0f, 50.0f).w, 56.0f);

    for (int frame : {1, 5, 9999, -3}) {
        sprite.frameBounds(frame, w, h);
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
        EXPECT_FLOAT_EQ(sprite.frameBoundsAt(frame, 10.0f, 10.0f).w, 0.0f);
    }
}

TEST_F(SpriteQueries, RotatedPartsWidenTheBounds)
{
    SpriteSheet sheet = testsheets::basicSheet();
    sheet.parts[11].rotation = kPi / 2;   // frame 3's 4x6 module turned on its side
    sprite.loadSheet(sheet, 1.0f);
    int w = 0, h = 0;
    sprite.frameBounds(3, w, h);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 4);
}

TEST(SpriteDrawing, OutOfRangeNumbersDrawNothing)
{
    BatchRecorder recorder;
    CSprite sprite;
    sprite.loadSheet(testsheets::basicSheet(), 1.0f);
    sprite.drawFrame(9999, 0, 0);
    sprite.drawFrame(-1, 0, 0);
    sprite.drawModule(9999, 0, 0);
    sprite.drawModuleAt(-5, 0, 0);
    sprite.drawModuleStretched(12, 0, 0, 10, 10);
    sprite.drawNinePatch(70000, 0, 0, 100, 100);
    sprite.drawBarBetween(0, 0, 100, 0, 3);
    CSprite empty;
    empty.drawFrame(0, 0, 0);
    EXPECT_TRUE(recorder.drawn().empty());
}

TEST(SpriteDrawing, ModuleIsScaledAndTintedPremultiplied)
{
    BatchRecorder recorder;
    CSprite sprite;
    sprite.loadSheet(testsheets::basicSheet(), 2.0f);
    sprite.setColorBytes(255, 0, 0, 128);
    sprite.drawModule(0, 10, 20);
    ASSERT_EQ(recorder.drawn().size(), 1u);
    const testsheets::RecordedQuad& q = recorder.quads[0];
    EXPECT_FLOAT_EQ(q.minX(), 10.0f);
    EXPECT_FLOAT_EQ(q.maxX(), 26.0f);
    EXPECT_FLOAT_EQ(q.minY(), 20.0f);
    EXPECT_FLOAT_EQ(q.maxY(), 36.0f);
    EXPECT_EQ(q.v[0].color.r, 128);
    EXPECT_EQ(q.v[0].color.a, 128);
    EXPECT_FLOAT_EQ(q.v[0].u, 0.0f);
    EXPECT_FLOAT_EQ(q.v[3].u, 8.0f / 64.0f);
}

TEST(SpriteDrawing, MirroredFrameSwapsSidesAndTextureCoordinates)
{
    BatchRecorder recorder;
    CSprite sprite;
    sprite.loadSheet(testsheets::basicSheet(), 1.0f);
    sprite.drawFrame(0, 100, 100, 0.0f, CSprite::kMirror);
    const auto& quads = recorder.drawn();
    ASSERT_EQ(quads.size(), 2u);
    // Module 0 at (0..8) mirrors to (-8..0); module 1 at (10..14) to (-14..-10).
    EXPECT_FLOAT_EQ(quads[0].minX(), 92.0f);
    EXPECT_FLOAT_EQ(quads[0].maxX(), 100.0f);
    EXPECT_FLOAT_EQ(quads[1].minX(), 86.0f);
    EXPECT_FLOAT_EQ(quads[1].maxX(), 90.0f);
    // The left corner now samples the module's right edge.
    EXPECT_FLOAT_EQ(quads[0].v[0].u, 8.0f / 64.0f);
    EXPECT_FLOAT_EQ(quads[0].v[1].u, 0.0f);
}

TEST(SpriteDrawing, RotationTurnsTheFrameAboutItsOrigin)
{
    BatchRecorder recorder;
    CSprite sprite;
    sprite.loadSheet(testsheets::basicSheet(), 1.0f);
    sprite.drawFrame(3, 50, 50, kPi / 2);   // module 1 (4x6) at (-2,-3): centred on the origin
    const auto& quads = recorder.drawn();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_NEAR(quads[0].minX(), 47.0f, 1e-4);
    EXPECT_NEAR(quads[0].maxX(), 53.0f, 1e-4);
    EXPECT_NEAR(quads[0].minY(), 48.0f, 1e-4);
    EXPECT_NEAR(quads[0].maxY(), 52.0f, 1e-4);
    // Clockwise on screen: the top-left corner goes to the top-right.
    EXPECT_NEAR(quads[0].v[0].x, 53.0f, 1e-4);
    EXPECT_NEAR(quads[0].v[0].y, 48.0f, 1e-4);
}

TEST(SpriteDrawing, NinePatchKeepsCornersAndStretchesTheRest)
{
    BatchRecorder recorder;
    CSprite sprite;
    sprite.loadSheet(testsheets::basicSheet(), 2.0f);   // corners 8x8 on screen
    sprite.drawNinePatch(2, 10, 20, 100, 40);
    const auto& quads = recorder.drawn();
    ASSERT_EQ(quads.size(), 9u);
    EXPECT_FLOAT_EQ(quads[0].minX(), 10.0f);
    EXPECT_FLOAT_EQ(quads[0].maxX(), 18.0f);
    EXPECT_FLOAT_EQ(quads[0].maxY(), 28.0f);
    EXPECT_FLOAT_EQ(quads[4].minX(), 18.0f);   // centre
    EXPECT_FLOAT_EQ(quads[4].maxX(), 102.0f);
    EXPECT_FLOAT_EQ(quads[4].maxY(), 52.0f);
    EXPECT_FLOAT_EQ(quads[8].maxX(), 110.0f);
    EXPECT_FLOAT_EQ(quads[8].maxY(), 60.0f);
    EXPECT_FLOAT_EQ(quads[8].minY(), 52.0f);
}

TEST(SpriteDrawing, NinePatchSmallerThanItsCornersShrinksThem)
{
    BatchRecorder recorder;
    CSprite sprite;
    sprite.loadSheet(testsheets::basicSheet(), 2.0f);
    sprite.drawNinePatch(2, 0, 0, 10, 40);
    const auto& quads = recorder.drawn();
    ASSERT_EQ(quads.size(), 9u);
    EXPECT_FLOAT_EQ(quads[0].maxX(), 5.0f);
    EXPECT_FLOAT_EQ(quads[2].maxX(), 10.0f);
    for (const auto& q : quads)
        EXPECT_LE(q.minX(), q.maxX());
}

TEST(SpriteDrawing, FrameWithoutNinePartsIsStretchedOverTheBox)
{
    BatchRecorder recorder;
    CSprite sprite;
    sprite.loadSheet(testsheets::basicSheet(), 1.0f);
    sprite.drawNinePatch(3, 0, 0, 40, 60);   // module 1 alone, 4x6
    const auto& quads = recorder.drawn();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].minX(), 0.0f);
    EXPECT_FLOAT_EQ(quads[0].maxX(), 40.0f);
    EXPECT_FLOAT_EQ(quads[0].maxY(), 60.0f);
}

TEST(SpriteDrawing, BarBetweenTwoPointsLiesAlongTheLine)
{
    SpriteSheet sheet = testsheets::basicSheet();
    sheet.frames.resize(CSprite::kBarFrameBase + 1);
    sheet.frames[CSprite::kBarFrameBase] = sheet.frames[4];
    BatchRecorder recorder;
    CSprite sprite;
    sprite.loadSheet(sheet, 1.0f);
    sprite.drawBarBetween(10, 10, 10, 110, 0);   // straight down, 100 long
    const auto& quads = recorder.drawn();
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_NEAR(quads[0].minY(), 10.0f, 1e-4);
    EXPECT_NEAR(quads[2].maxY(), 110.0f, 1e-4);
    EXPECT_NEAR(quads[1].minX(), 9.0f, 1e-4);   // 2 thick, centred on x = 10
    EXPECT_NEAR(quads[1].maxX(), 11.0f, 1e-4);
}

}  // namespace
