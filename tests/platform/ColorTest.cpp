#include "platform/Math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ColorPacking, RoundsAndSaturatesOutsideTheRange)
{
    Color4 c;
    packColor4(c, 1.0f, 0.5f, 0.0f, 1.2f);
    EXPECT_EQ(c.r, 255);
    EXPECT_EQ(c.g, 128);  // round(127.5)
    EXPECT_EQ(c.a, 255);  // 306 held to 255, not wrapped to 50
    packColor4(c, 1.01f, -0.5f, NAN, 300.0f);
    EXPECT_EQ(c.r, 255);
    EXPECT_EQ(c.g, 0);
    EXPECT_EQ(c.b, 0);
    EXPECT_EQ(c.a, 255);
    packColor3(c, Color3f{0.2f, 0.4f, 0.6f});
    EXPECT_EQ(c.b, 153);
    EXPECT_EQ(c.a, 255);
}

TEST(ColorLerp, TruncatesEachChannelAndSaturatesOutsideTheRange)
{
    EXPECT_EQ(Color4::lerp(kColorWhite, kColorShadow, 0.5f).r, 127);  // 127.5 truncated
    EXPECT_EQ(Color4::lerp(kColorShadow, kColorWhite, 2.0f).r, 255);
    EXPECT_EQ(Color4::lerp(kColorShadow, kColorWhite, -1.0f).r, 0);
    Color4 c{200, 100, 255, 128};
    c.premultiplyAlpha();
    EXPECT_EQ(c.r, 100);  // 100.39
    EXPECT_EQ(c.b, 128);  // 128.0
}

TEST(ColorHsv, ConvertsHueSectorsAndTreatsLowSaturationAsGrey)
{
    const Color3f a = hsvToRgb(360.0f, 1.0f, 1.0f), b = hsvToRgb(240.0f, 0.5f, 0.8f), grey = hsvToRgb(200.0f, 0.0005f, 0.3f);
    EXPECT_NEAR(a.r, 1.0f, 1e-6f);
    EXPECT_NEAR(a.g, 0.0f, 1e-6f);
    EXPECT_NEAR(b.g, 0.4f, 1e-6f);
    EXPECT_NEAR(b.b, 0.8f, 1e-6f);
    EXPECT_EQ(grey.g, 0.3f);
}

}  // namespace
