#include "platform/Spline.h"

#include <gtest/gtest.h>

namespace {

TEST(SplinePath, WalksByDistanceAndHoldsToTheEnds)
{
    const Vec3 points[] = {{0, 0, 0}, {10, 0, 0}, {20, 0, 0}};
    Spline spline;
    spline.build(points);
    EXPECT_NEAR(spline.length(), 20.0f, 1e-3f);
    EXPECT_NEAR(spline.pointAt(5.0f).x, 5.0f, 0.05f);
    EXPECT_NEAR(spline.pointAt(10.0f).x, 10.0f, 0.05f);
    EXPECT_EQ(spline.pointAt(-3.0f).x, 0.0f);
    EXPECT_EQ(spline.pointAt(25.0f).x, 20.0f);
}

TEST(SplinePath, PassesThroughTheControlPoints)
{
    // Symmetric: the middle of the length is the middle point.
    const Vec3 points[] = {{0, 0, 0}, {10, 0, 10}, {20, 0, 0}};
    Spline spline;
    spline.build(points);
    const Vec3 middle = spline.pointAt(spline.length() * 0.5f);
    EXPECT_NEAR(middle.x, 10.0f, 0.05f);
    EXPECT_NEAR(middle.z, 10.0f, 0.05f);
    EXPECT_GT(spline.length(), 28.28f);  // longer than the two chords
}

TEST(SplinePath, FewerThanTwoPointsHaveNoLength)
{
    Spline spline;
    EXPECT_EQ(spline.length(), 0.0f);
    EXPECT_EQ(spline.pointAt(1.0f).x, 0.0f);
    const Vec3 one[] = {{4, 5, 6}};
    spline.build(one);
    EXPECT_EQ(spline.length(), 0.0f);
    EXPECT_EQ(spline.pointAt(3.0f).y, 5.0f);
}

}  // namespace
