#include "platform/Math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kTolerance = 1e-5f;
const Vec3 kForward{0.0f, 0.0f, -1.0f};

void expectVecNear(const Vec3& actual, const Vec3& expected, float tolerance = kTolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// q and -q are the same rotation.
void expectSameRotation(const Quat& a, const Quat& b)
{
    const float dot = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    EXPECT_NEAR(std::fabs(dot), 1.0f, kTolerance);
}

Quat aboutY(float radians) { return {0.0f, std::sin(radians / 2), 0.0f, std::cos(radians / 2)}; }

TEST(QuaternionSlerp, ParameterOutsideZeroToOneGivesTheEnds)
{
    const Quat a = aboutY(0.3f), b = aboutY(1.2f);
    for (float t : {0.0f, -0.5f}) {
        const Quat r = quatSlerp(a, b, t);
        EXPECT_EQ(r.y, a.y);
        EXPECT_EQ(r.w, a.w);
    }
    for (float t : {1.0f, 1.5f}) {
        const Quat r = quatSlerp(a, b, t);
        EXPECT_EQ(r.y, b.y);
        EXPECT_EQ(r.w, b.w);
    }
}

TEST(QuaternionSlerp, TakesTheShortArcForOppositeSigns)
{
    // 90 degrees about y, written with the opposite sign: the long way round
    // would pass through 225 degrees at the middle.
    const Quat b = aboutY(kPi / 2);
    const Quat negated{-b.x, -b.y, -b.z, -b.w};
    const Quat middle = quatSlerp(Quat{}, negated, 0.5f);
    expectSameRotation(middle, aboutY(kPi / 4));
    EXPECT_NEAR(quatYaw(middle), kPi / 4, kTolerance);
}

TEST(QuaternionSlerp, MovesAtConstantAngularSpeed)
{
    const Quat r = quatSlerp(aboutY(0.0f), aboutY(1.2f), 0.25f);
    EXPECT_NEAR(quatYaw(r), 0.3f, kTolerance);
    const Quat same = quatSlerp(aboutY(0.5f), aboutY(0.5f), 0.5f);
    expectSameRotation(same, aboutY(0.5f));
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

    quatFromDirectionTo(q, Vec3{1.0f, 0.0f, 0.0f});
    EXPECT_NEAR(quatYaw(q), -kPi / 2, kTolerance);
    expectVecNear(quatRotateVector(q, Vec3{0, 1, 0}), Vec3{0, 1, 0});  // no roll
}

TEST(QuaternionEuler, HeadingTurnsTheForwardAxisAboutY)
{
    const float h = 0.7f;
    const Quat q = quatFromEuler(h, 0.0f, 0.0f);
    expectVecNear(quatRotateVector(q, kForward), Vec3{-std::sin(h), 0.0f, -std::cos(h)});
    Quat to;
    quatFromEulerTo(to, h, 0.2f, 0.1f);
    EXPECT_NEAR(quatYaw(to), h, kTolerance);
    EXPECT_NEAR(quatPitch(to), 0.2f, kTolerance);
    expectSameRotation(quatFromAngleY(h), q);
}

TEST(QuaternionTurns, RotateInPlaceTurnsAboutTheOwnAxis)
{
    Quat q = aboutY(kPi / 2);
    quatRotateX(q, kPi / 2);
    // Pitched straight up in its own frame: its up axis now points along the
    // world x axis (a turn about the world x axis would give +z).
    expectVecNear(quatRotateVector(q, kForward), Vec3{0, 1, 0});
    expectVecNear(quatRotateVector(q, Vec3{0, 1, 0}), Vec3{1, 0, 0});

    const Quat rolled = quatMulAxisZ(Quat{}, kPi / 2);
    expectVecNear(quatRotateVector(rolled, Vec3{1, 0, 0}), Vec3{0, 1, 0});
    Quat inPlace;
    quatRotateZ(inPlace, kPi / 2);
    expectSameRotation(inPlace, rolled);
}

TEST(QuaternionMatrix, MatrixTurnsLikeTheQuaternionAndConvertsBack)
{
    const Quat q = quatNormalize({0.2f, -0.5f, 0.3f, 0.8f});
    const Mat4 m = quatToMatrix(q);
    const Vec3 v{1.0f, -2.0f, 0.5f};
    expectVecNear(rotateVector3x3(m, v), quatRotateVector(q, v));
    expectSameRotation(quatFromMatrix(m), q);

    // Half turns reach the branches of the conversion where w is small.
    for (const Quat& half : {Quat{1, 0, 0, 0}, Quat{0, 1, 0, 0}, Quat{0, 0, 1, 0}})
        expectSameRotation(quatFromMatrix(quatToMatrix(half)), half);

    // 90 degrees about y turns +x into -z.
    expectVecNear(rotateVector3x3(quatToMatrix(aboutY(kPi / 2)), Vec3{1, 0, 0}), Vec3{0, 0, -1});
}

TEST(QuaternionNormalize, ZeroQuaternionBecomesIdentity)
{
    const Quat q = quatNormalize({0, 0, 0, 0});
    EXPECT_EQ(q.w, 1.0f);
    EXPECT_EQ(q.x, 0.0f);
}

}  // namespace
