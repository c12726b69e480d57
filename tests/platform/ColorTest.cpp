#include "platform/Math.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorPacking, RoundsAndWrapsAboveOne)
{
    Color4 c;
    packColor4(c, 1.0f, 0.5f, 0.0f, 1.2f);
    EXPECT_EQ(c.r, 255);
    EXPECT_EQ(c.g, 128);  // round(127.5)
    EXPECT_EQ(c.b, 0);
    EXPECT_EQ(c.a, 50);   // round(306) & 255
    packColor3(c, Color3f{0.2f, 0.4f, 0.6f});
    EXPECT_EQ(c.r, 51);
    EXPECT_EQ(c.g, 102);
    EXPECT_EQ(c.b, 153);
    EXPECT_EQ(c.a, 255);
}

TEST(ColorLerp, TruncatesEachChannelAndSaturatesOutsideTheRange)
{
    const Color4 white = kColorWhite, shadow = kColorShadow;
    const Color4 mid = Color4::lerp(white, shadow, 0.5f);
    EXPECT_EQ(mid.r, 127);  // 127.5 truncated
    EXPECT_EQ(mid.a, 255);
    Color4 out;
    Color4::lerpInto(out, kColorRed, kColorTutorialHighlight, 0.5f);
    EXPECT_EQ(out.g, 70);
    EXPECT_EQ(Color4::lerp(shadow, white, 2.0f).r, 255);
    EXPECT_EQ(Color4::lerp(shadow, white, -1.0f).r, 0);
}

TEST(ColorPremultiply, ScalesByAlphaToTheNearestInteger)
{
    Color4 c{200, 100, 255, 128};
    c.premultiplyAlpha();
    EXPECT_EQ(c.r, 100);  // 100.39
    EXPECT_EQ(c.g, 50);   // 50.2
    EXPECT_EQ(c.b, 128);
    EXPECT_EQ(c.a, 128);
}

TEST(ColorHsv, ConvertsHueSectorsAndTreatsLowSaturationAsGrey)
{
    const auto expectRgb = [](Color3f c, float r, float g, float b) {
        EXPECT_NEAR(c.r, r, 1e-5f);
        EXPECT_NEAR(c.g, g, 1e-5f);
        EXPECT_NEAR(c.b, b, 1e-5f);
    };
    expectRgb(hsvToRgb(0.0f, 1.0f, 1.0f), 1, 0, 0);
    expectRgb(hsvToRgb(360.0f, 1.0f, 1.0f), 1, 0, 0);
    expectRgb(hsvToRgb(120.0f, 1.0f, 1.0f), 0, 1, 0);
    expectRgb(hsvToRgb(240.0f, 0.5f, 0.8f), 0.4f, 0.4f, 0.8f);
    expectRgb(hsvToRgb(-120.0f, 1.0f, 1.0f), 0, 0, 1);
    expectRgb(hsvToRgb(200.0f, 0.0005f, 0.3f), 0.3f, 0.3f, 0.3f);
}

}  // namespace
