#include "platform/ScreenMetrics.h"

#include <gtest/gtest.h>

namespace {
TEST(ScreenScales, UiAndSpriteScalesStepWithTheScreenHeight)
{
    const struct { int height; float ui, sprite; } bands[] = {
        {240, 0.5f, 1.0f},  {400, 0.5f, 1.0f},  {401, 0.75f, 1.5f},  {590, 0.75f, 1.5f},
        {591, 1.0f, 2.0f},  {1200, 1.0f, 2.0f}, {1201, 2.0f, 4.0f},  {2160, 2.0f, 4.0f},
    };
    for (const auto& band : bands) {
        const ScreenMetrics m = computeScreenMetrics(4000, band.height);
        EXPECT_EQ(m.uiScale, band.ui) << band.height;
        EXPECT_EQ(m.spriteScale, band.sprite) << band.height;
    }
}

TEST(ScreenScales, NarrowScreensTakeTheStepTheirWidthAllows)
{
    // A 960-wide layout must fit: 4:3 and 5:4 screens step down by width.
    const struct { int width, height; float ui; } sizes[] = {
        {640, 480, 0.5f}, {800, 600, 0.75f}, {1024, 768, 1.0f}, {1280, 1024, 1.0f},
        {960, 640, 1.0f}, {1920, 1080, 1.0f}, {1920, 1440, 2.0f}, {2560, 1440, 2.0f},
    };
    for (const auto& size : sizes) {
        const ScreenMetrics m = computeScreenMetrics(size.width, size.height);
        EXPECT_EQ(m.uiScale, size.ui) << size.width << "x" << size.height;
        EXPECT_LE(960.0f * m.uiScale, static_cast<float>(size.width)) << size.width << "x" << size.height;
        EXPECT_EQ(m.spriteScale, 2.0f * m.uiScale);
    }
}

TEST(ScreenScales, HudScalesAndHalvesFollowTheSize)
{
    const ScreenMetrics m = computeScreenMetrics(1280, 720);
    EXPECT_FLOAT_EQ(m.screenScaleX, 1280.0f / 960.0f);
    EXPECT_FLOAT_EQ(m.screenScaleY, 720.0f / 640.0f);
    EXPECT_EQ(m.halfWidth, 640);
    EXPECT_EQ(m.halfHeight, 360);
    EXPECT_FLOAT_EQ(m.aspect, 1280.0f / 720.0f);
    EXPECT_EQ(computeScreenMetrics(801, 601).halfWidth, 400);
}

TEST(ScreenScales, AZeroOrNegativeSizeLeavesTheMetricsAsTheyWere)
{
    ASSERT_TRUE(setScreenSize(1280, 720));
    EXPECT_FALSE(setScreenSize(0, 0));
    EXPECT_FALSE(setScreenSize(1280, 0));
    EXPECT_FALSE(setScreenSize(-5, 720));
    EXPECT_EQ(screenMetrics().screenWidth, 1280);
    EXPECT_EQ(screenMetrics().screenHeight, 720);
    EXPECT_GT(screenMetrics().screenScaleX, 0.0f);
    EXPECT_EQ(screenMetrics().uiScale, 1.0f);
}
}  // namespace
