#include "render/world/AtmosScatter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

Vec3 sunAt(float elevationDegrees)
{
    const float e = elevationDegrees * kPi / 180.0f;
    return Vec3{std::cos(e) * 0.447f, std::sin(e), std::cos(e) * 0.894f};
}

bool finite(const Vec3& c) { return std::isfinite(c.x) && std::isfinite(c.y) && std::isfinite(c.z); }

TEST(SunColor, OverheadIsWhite)
{
    AtmosScatter a;
    const Vec3 c = a.computeSunColor(Vec3{0.0f, 5.0f, 0.0f});
    EXPECT_NEAR(c.x, 1.0f, 1e-4f);
    EXPECT_NEAR(c.y, 1.0f, 1e-4f);
    EXPECT_NEAR(c.z, 1.0f, 1e-4f);
}

TEST(SunColor, LowSunIsRedderThanGreenerThanBlue)
{
    AtmosScatter a;
    const Vec3 c = a.computeSunColor(sunAt(5.0f));
    EXPECT_GT(c.x, c.y);
    EXPECT_GT(c.y, c.z);
    EXPECT_GT(c.x, 0.2f);
    EXPECT_EQ(a.sunColor().x, c.x);
}

TEST(SunColor, BelowTheHorizonIsFiniteAndDark)
{
    AtmosScatter a;
    for (float e : {-0.5f, -3.0f, -10.0f, -45.0f, -90.0f}) {
        const Vec3 c = a.computeSunColor(sunAt(e));
        ASSERT_TRUE(finite(c)) << e;
        EXPECT_GE(c.x, 0.0f);
    }
    const Vec3 night = a.computeSunColor(sunAt(-10.0f));
    EXPECT_LT(night.x + night.y + night.z, 0.3f);
    EXPECT_GT(night.z, night.x);  // blue twilight
    // Darkens steadily on the way down.
    EXPECT_GT(a.computeSunColor(sunAt(-1.0f)).x, a.computeSunColor(sunAt(-4.0f)).x);
}

TEST(SunColor, DegenerateDirectionsStayFinite)
{
    AtmosScatter a;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(finite(a.computeSunColor(Vec3{0, 0, 0})));
    EXPECT_TRUE(finite(a.computeSunColor(Vec3{nan, nan, nan})));
    a.setWavelengths(nan);
    EXPECT_TRUE(finite(a.computeSunColor(sunAt(20.0f))));
}

TEST(SunColor, OvercastIsGrey)
{
    AtmosScatter a;
    a.setWavelengths(1.0f);
    const Vec3 c = a.computeSunColor(sunAt(10.0f));
    EXPECT_NEAR(c.x, c.z, 1e-5f);
    a.setWavelengths(7.0f);  // clamped to 1
    EXPECT_NEAR(a.beta()[0], a.beta()[2], 1e-6f);
}

TEST(SkyColor, HorizonLighterThanZenithAndZenithBlue)
{
    AtmosScatter a;
    a.computeSunColor(sunAt(60.0f));
    const Vec3 zenith = a.skyColor(Vec3{0, 1, 0});
    const Vec3 horizon = a.skyColor(Vec3{1, 0.02f, 0});
    EXPECT_GT(horizon.x + horizon.y + horizon.z, zenith.x + zenith.y + zenith.z);
    EXPECT_GT(zenith.z, zenith.x);
    // Looking down sees the horizon color.
    const Vec3 below = a.skyColor(Vec3{1, -1, 0});
    EXPECT_NEAR(below.x, a.skyColor(Vec3{1, 0, 0}).x, 1e-5f);
}

}  // namespace
