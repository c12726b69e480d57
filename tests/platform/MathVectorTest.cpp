#include "platform/Math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(FastSquareRoot, StaysWithinATenThousandthOfTheExactRoot)
{
    for (float x = 1e-4f; x < 1e7f; x *= 1.37f) {
        const float exact = std::sqrt(x);
        EXPECT_NEAR(fastSqrt(x), exact, exact * 1e-4f) << x;
        EXPECT_NEAR(fastInvSqrt(x), 1.0f / exact, 1e-4f / exact) << x;
        EXPECT_NEAR(fastInvSqrtCoarse(x), 1.0f / exact, 2e-3f / exact) << x;
    }
}

TEST(FastSquareRoot, ZeroAndNegativeInputsGiveZero)
{
    EXPECT_EQ(fastSqrt(0.0f), 0.0f);
    EXPECT_EQ(fastSqrt(-4.0f), 0.0f);
    EXPECT_EQ(fastSqrt(std::nanf("")), 0.0f);
}

TEST(VectorNormalize, ZeroVectorStaysZeroWithoutNaN)
{
    Vec3 zero;
    Vec3& result = vec3Normalize(zero);
    EXPECT_EQ(&result, &zero);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    Vec3 tiny{1e-12f, 0.0f, 0.0f};
    vec3Normalize(tiny);
    EXPECT_FALSE(std::isnan(tiny.x) || std::isinf(tiny.x));
}

TEST(VectorNormalize, GivesUnitLengthInPlace)
{
    Vec3 v{3.0f, -4.0f, 12.0f};
    vec3Normalize(v);
    EXPECT_NEAR(v.x, 3.0f / 13.0f, 1e-5f);
    EXPECT_NEAR(v.y, -4.0f / 13.0f, 1e-5f);
    EXPECT_NEAR(v.z, 12.0f / 13.0f, 1e-5f);
    EXPECT_NEAR(vec3InvLength(Vec3{0.0f, 0.0f, 2.0f}), 0.5f, 1e-5f);
}

TEST(VectorArithmetic, SubtractGivesSecondOperandMinusFirst)
{
    const Vec3 own{1.0f, 2.0f, 3.0f};
    const Vec3 other{4.0f, 6.0f, 8.0f};
    const Vec3 d = vec3Sub(own, other);
    EXPECT_EQ(d.x, 3.0f);
    EXPECT_EQ(d.y, 4.0f);
    EXPECT_EQ(d.z, 5.0f);
    EXPECT_EQ(vec3DistanceSq(own, other), 50.0f);
    EXPECT_NEAR(vec3DistanceExact(own, other), std::sqrt(50.0f), 1e-5f);
}

TEST(VectorArithmetic, CrossProductFollowsTheRightHand)
{
    const Vec3 z = vec3CrossB(Vec3{1, 0, 0}, Vec3{0, 1, 0});
    EXPECT_EQ(z.x, 0.0f);
    EXPECT_EQ(z.y, 0.0f);
    EXPECT_EQ(z.z, 1.0f);
    Vec3 scaled;
    vec3ScaleFwd(scaled, Vec3{1, -2, 3}, -2.0f);
    EXPECT_EQ(scaled.y, 4.0f);
    EXPECT_EQ(vec3Negate(scaled).z, 6.0f);
}

TEST(VectorLerp, ParameterIsClampedToTheEnds)
{
    const Vec3 a{0, 0, 0}, b{10, 20, -40};
    EXPECT_EQ(vec3LerpClamped(a, b, -1.0f).x, 0.0f);
    EXPECT_EQ(vec3LerpClamped(a, b, 2.0f).z, -40.0f);
    EXPECT_EQ(vec3LerpClamped(a, b, 0.25f).y, 5.0f);
    const Vec2 m = vec2LerpClamped(Vec2{1, 1}, Vec2{3, 5}, 0.5f);
    EXPECT_EQ(m.x, 2.0f);
    EXPECT_EQ(m.y, 3.0f);
    EXPECT_EQ(vec2LerpClamped(Vec2{1, 1}, Vec2{3, 5}, 7.0f).y, 5.0f);
}

TEST(Clamp, HoldsTheValueBetweenTheBounds)
{
    EXPECT_EQ(clampf(0.0f, -3.0f, 1.0f), 0.0f);
    EXPECT_EQ(clampf(0.0f, 3.0f, 1.0f), 1.0f);
    EXPECT_EQ(clampf(0.0f, 0.5f, 1.0f), 0.5f);
}

}  // namespace
