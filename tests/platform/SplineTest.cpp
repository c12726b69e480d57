#include "platform/Spline.h"

#include <gtest/gtest.h>

namespace {

TEST(SplinePath, WalksByDistanceThroughThePointsAndHoldsToTheEnds)
{
    // Symmetric: the middle of the length is the middle point.
    const Vec3 points[] = {{0, 0, 0}, {10, 0, 10}, {20, 0, 0}};
    Spline spline;
    spline.build(points);
    const Vec3 middle = spline.pointAt(spline.length() * 0.5f);
    EXPECT_NEAR(middle.x, 10.0f, 0.05f);
    EXPECT_NEAR(middle.z, 10.0f, 0.05f);
    EXPECT_GT(spline.length(), 28.28f);  // longer than the two chords
    EXPECT_EQ(spline.pointAt(-3.0f).x, 0.0f);
    EXPECT_EQ(spline.pointAt(100.0f).x, 20.0f);

    const Vec3 one[] = {{4, 5, 6}};
    spline.build(one);
    EXPECT_EQ(spline.length(), 0.0f);
    EXPECT_EQ(spline.pointAt(3.0f).y, 5.0f);
}

}  // namespace
