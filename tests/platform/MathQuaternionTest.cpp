#include "platform/Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr float kTolerance = 1e-5f;
const Vec3 kForward{0.0f, 0.0f, -1.0f};

void expectVecNear(const Vec3& actual, const Vec3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, kTolerance);
    EXPECT_NEAR(actual.y, expected.y, kTolerance);
    EXPECT_NEAR(actual.z, expected.z, kTolerance);
}

// q and -q are the same rotation.
void expectSameRotation(const Quat& a, const Quat& b)
{
    EXPECT_NEAR(std::fabs(a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w), 1.0f, kTolerance);
}

Quat aboutY(float radians) { return {0.0f, std::sin(radians / 2), 0.0f, std::cos(radians / 2)}; }

TEST(QuaternionSlerp, ParameterOutsideZeroToOneGivesTheEnds)
{
    const Quat a = aboutY(0.3f), b = aboutY(1.2f);
    for (float t : {0.0f, -0.5f})
        EXPECT_EQ(quatSlerp(a, b, t).w, a.w);
    for (float t : {1.0f, 1.5f})
        EXPECT_EQ(quatSlerp(a, b, t).w, b.w);
    EXPECT_NEAR(quatYaw(quatSlerp(Quat{}, b, 0.25f)), 0.3f, kTolerance);
}

TEST(QuaternionSlerp, TakesTheShortArcForOppositeSigns)
{
    // 90 degrees about y written with the opposite sign: the long way round
    // would pass through 225 degrees at the middle.
    const Quat b = aboutY(kPi / 2);
    const Quat middle = quatSlerp(Quat{}, Quat{-b.x, -b.y, -b.z, -b.w}, 0.5f);
    expectSameRotation(middle, aboutY(kPi / 4));
}

TEST(QuaternionDirection, YawIsAtan2OfMinusXMinusZAndPitchIsAsinY)
{
    Vec3 d{0.3f, 0.5f, -0.8f};
    vec3Normalize(d);
    Quat q;
    quatFromDirectionTo(q, d);
    EXPECT_NEAR(quatYaw(q), std::atan2(-d.x, -d.z), kTolerance);
    EXPECT_NEAR(quatPitch(q), std::asin(d.y), kTolerance);
    expectVecNear(quatRotateVector(q, kForward), d);
    // A heading alone turns the forward axis about y.
    expectVecNear(quatRotateVector(quatFromEuler(0.7f, 0, 0), kForward), {-std::sin(0.7f), 0, -std::cos(0.7f)});
}

TEST(QuaternionTurns, RotateInPlaceTurnsAboutTheOwnAxis)
{
    Quat q = aboutY(kPi / 2);
    quatRotateX(q, kPi / 2);
    // Pitched straight up in its own frame: its up axis now points along the
    // world x axis (a turn about the world x axis would give +z).
    expectVecNear(quatRotateVector(q, kForward), Vec3{0, 1, 0});
    expectVecNear(quatRotateVector(q, Vec3{0, 1, 0}), Vec3{1, 0, 0});
}

TEST(QuaternionMatrix, MatrixTurnsLikeTheQuaternionAndConvertsBack)
{
    const Quat q = quatNormalize({0.2f, -0.5f, 0.3f, 0.8f});
    const Vec3 v{1.0f, -2.0f, 0.5f};
    expectVecNear(rotateVector3x3(quatToMatrix(q), v), quatRotateVector(q, v));
    expectSameRotation(quatFromMatrix(quatToMatrix(q)), q);
    // Half turns reach the branches of the conversion where w is small.
    for (const Quat& half : {Quat{1, 0, 0, 0}, Quat{0, 1, 0, 0}, Quat{0, 0, 1, 0}})
        expectSameRotation(quatFromMatrix(quatToMatrix(half)), half);
}

}  // namespace

TEST(QuaternionNormalize, AlwaysGivesAUnitEvenForHugeOrBrokenComponents)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float big = std::numeric_limits<float>::max();
    const Quat cases[] = {{2e19f, 0.0f, 0.0f, 0.0f}, {3e19f, -4e19f, 0.0f, 0.0f}, {big, big, big, big},
                          {1e-30f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f},  {inf, 0.0f, 0.0f, 1.0f},
                          {nan, 1.0f, 0.0f, 0.0f},    {0.2f, -0.5f, 0.3f, 0.8f}};
    for (const Quat& q : cases) {
        const Quat n = quatNormalize(q);
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z + n.w * n.w);
        EXPECT_NEAR(length, 1.0f, 1e-5f) << q.x << " " << q.y << " " << q.z << " " << q.w;
    }
    // Huge components keep their direction: (3, -4) scaled.
    const Quat n = quatNormalize({3e19f, -4e19f, 0.0f, 0.0f});
    EXPECT_NEAR(n.x, 0.6f, 1e-5f);
    EXPECT_NEAR(n.y, -0.8f, 1e-5f);
    EXPECT_TRUE(quatCanNormalize({2e19f, 0.0f, 0.0f, 0.0f}));
    EXPECT_TRUE(quatCanNormalize({big, big, big, big}));
    EXPECT_FALSE(quatCanNormalize({0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(quatCanNormalize({inf, 0.0f, 0.0f, 1.0f}));
    EXPECT_FALSE(quatCanNormalize({nan, 1.0f, 0.0f, 0.0f}));
}
