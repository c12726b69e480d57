#include "platform/Math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(FastSquareRoot, StaysWithinATenThousandthOfTheExactRoot)
{
    for (float x = 1e-4f; x < 1e7f; x *= 1.37f) {
        const float exact = std::sqrt(x);
        EXPECT_NEAR(fastSqrt(x), exact, exact * 1e-4f) << x;
        EXPECT_NEAR(fastInvSqrtCoarse(x), 1.0f / exact, 2e-3f / exact) << x;
    }
    EXPECT_EQ(fastSqrt(0.0f), 0.0f);
    EXPECT_EQ(fastSqrt(-4.0f), 0.0f);
}

TEST(VectorNormalize, ZeroVectorStaysZeroWithoutNaN)
{
    Vec3 zero;
    EXPECT_EQ(&vec3Normalize(zero), &zero);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    Vec3 v{3.0f, -4.0f, 12.0f};
    vec3Normalize(v);
    EXPECT_NEAR(v.y, -4.0f / 13.0f, 1e-5f);
    EXPECT_NEAR(v.z, 12.0f / 13.0f, 1e-5f);
}

TEST(VectorNormalize, ExactFormGivesTheFallbackForZeroAndNonFiniteVectors)
{
    const Vec3 up{0.0f, 1.0f, 0.0f};
    const Vec3 v = vec3NormalizeOr(Vec3{3.0f, -4.0f, 12.0f}, up);
    EXPECT_FLOAT_EQ(v.y, -4.0f / 13.0f);
    EXPECT_FLOAT_EQ(v.z, 12.0f / 13.0f);
    for (const Vec3& bad : {Vec3{}, Vec3{NAN, 0.0f, 0.0f}, Vec3{INFINITY, 1.0f, 0.0f}}) {
        const Vec3 r = vec3NormalizeOr(bad, up);
        EXPECT_EQ(r.x, 0.0f);
        EXPECT_EQ(r.y, 1.0f);
        EXPECT_EQ(r.z, 0.0f);
    }
}

TEST(VectorArithmetic, SubtractGivesSecondOperandMinusFirst)
{
    const Vec3 d = vec3Sub(Vec3{1, 2, 3}, Vec3{4, 6, 8});
    EXPECT_EQ(d.x, 3.0f);
    EXPECT_EQ(d.y, 4.0f);
    EXPECT_EQ(d.z, 5.0f);
}

TEST(VectorArithmetic, LerpParameterIsClampedToTheEnds)
{
    const Vec3 a{0, 0, 0}, b{10, 20, -40};
    EXPECT_EQ(vec3LerpClamped(a, b, -1.0f).x, 0.0f);
    EXPECT_EQ(vec3LerpClamped(a, b, 2.0f).z, -40.0f);
    EXPECT_EQ(vec3LerpClamped(a, b, 0.25f).y, 5.0f);
    EXPECT_EQ(vec2LerpClamped(Vec2{1, 1}, Vec2{3, 5}, 7.0f).y, 5.0f);
}

}  // namespace
