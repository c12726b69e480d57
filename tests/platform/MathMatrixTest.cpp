#include "platform/Math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kTolerance = 1e-5f;

void expectMatrix(const Mat4& actual, const float (&expected)[16])
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected[i], kTolerance) << "element " << i;
}

void expectVecNear(const Vec3& actual, const Vec3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
    EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

TEST(ProjectionMatrix, PerspectiveMatchesHandComputedValues)
{
    // fov 90 degrees: f = 1 / tan(45 degrees) = 1; aspect 2, near 1, far 3.
    Mat4 m;
    mat4Perspective(m, kPi / 2, 2.0f, 1.0f, 3.0f);
    expectMatrix(m, {0.5f, 0, 0, 0,  0, 1, 0, 0,  0, 0, -2, -1,  0, 0, -3, 0});
}

TEST(ProjectionMatrix, OrthoMatchesHandComputedValues)
{
    // A 960 x 640 screen with y down, depth -1..1.
    Mat4 m;
    mat4Ortho(m, 0.0f, 960.0f, 640.0f, 0.0f, -1.0f, 1.0f);
    expectMatrix(m, {2.0f / 960, 0, 0, 0,  0, -2.0f / 640, 0, 0,  0, 0, -1, 0,  -1, 1, 0, 1});
}

TEST(ProjectionMatrix, DegenerateValuesGiveIdentityInsteadOfInfinity)
{
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    Mat4 m;
    mat4Perspective(m, kPi / 2, 0.0f, 1.0f, 100.0f);
    expectMatrix(m, identity);
    mat4Perspective(m, kPi / 2, 1.5f, 10.0f, 10.0f);
    expectMatrix(m, identity);
    mat4Ortho(m, 5.0f, 5.0f, 0.0f, 1.0f, -1.0f, 1.0f);
    expectMatrix(m, identity);
}

TEST(MatrixProduct, RightOperandAppliesFirst)
{
    Mat4 m;
    mat4Translate(m, 10.0f, 0.0f, 0.0f);
    mat4RotateY(m, kPi / 2);
    // Turned first: +x becomes -z, then moved by 10 along x.
    expectVecNear(mat4TransformPoint(m, Vec3{1, 0, 0}), Vec3{10, 0, -1});
    EXPECT_NEAR(m.m[12], 10.0f, kTolerance);

    const Mat4 product = mat4Multiply(mat4MakeRotationX(0.3f), mat4MakeRotationY(0.4f));
    Mat4 aliased = mat4MakeRotationX(0.3f);
    mat4MultiplyTo(aliased, aliased, mat4MakeRotationY(0.4f));
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(aliased.m[i], product.m[i], kTolerance);
}

TEST(MatrixBuilders, RotationsFollowTheRightHand)
{
    expectVecNear(rotateVector3x3(mat4MakeRotationX(kPi / 2), Vec3{0, 1, 0}), Vec3{0, 0, 1});
    expectVecNear(rotateVector3x3(mat4MakeRotationY(kPi / 2), Vec3{0, 0, 1}), Vec3{1, 0, 0});
    Mat4 z;
    mat4RotateZ(z, kPi / 2);
    expectVecNear(rotateVector3x3(z, Vec3{1, 0, 0}), Vec3{0, 1, 0});
    Mat4 to;
    mat4MakeRotationYTo(to, 0.8f);
    EXPECT_NEAR(to.m[8], std::sin(0.8f), kTolerance);
}

TEST(MatrixBuilders, TranslationLivesInElementsTwelveToFourteen)
{
    const Mat4 m = mat4FromQuatPosition(Quat{}, Vec3{1, 2, 3});
    EXPECT_EQ(m.m[12], 1.0f);
    EXPECT_EQ(m.m[13], 2.0f);
    EXPECT_EQ(m.m[14], 3.0f);
    const Mat4 t = mat4Transpose(m);
    EXPECT_EQ(t.m[3], 1.0f);
    EXPECT_EQ(t.m[7], 2.0f);
    EXPECT_EQ(t.m[11], 3.0f);
    // The rotation part ignores the translation.
    expectVecNear(rotateVector3x3(m, Vec3{1, 1, 1}), Vec3{1, 1, 1});
    expectVecNear(mat4TransformPoint(m, Vec3{1, 1, 1}), Vec3{2, 3, 4});
}

TEST(MatrixBuilders, ScalingTouchesOnlyTheFirstThreeColumns)
{
    const Mat4 m = mat4ScaledCopy(mat4FromQuatPosition(Quat{}, Vec3{5, 6, 7}), 2.0f, 3.0f, 4.0f);
    expectVecNear(mat4TransformPoint(m, Vec3{1, 1, 1}), Vec3{7, 9, 11});
    Mat4 u;
    mat4ScaleUniform(u, 2.0f);
    mat4ScaleV(u, Vec3{1, 2, 3});
    expectVecNear(mat4TransformPoint(u, Vec3{1, 1, 1}), Vec3{2, 4, 6});
}

TEST(MatrixBuilders, ForwardUpFrameLooksAlongForward)
{
    const Mat4 m = mat4FromForwardUp(Vec3{2, 0, 0}, Vec3{0, 1, 0});
    expectVecNear(rotateVector3x3(m, Vec3{0, 0, -1}), Vec3{1, 0, 0});
    expectVecNear(rotateVector3x3(m, Vec3{0, 1, 0}), Vec3{0, 1, 0});
    // Forward along up has no frame: identity.
    EXPECT_EQ(mat4FromForwardUp(Vec3{0, 3, 0}, Vec3{0, 1, 0}).m[0], 1.0f);
}

struct Frustum : testing::Test {
    CameraMatrices camera;
    // A 90 degree square view from the origin along -z, depth 1..100.
    void SetUp() override { look(Vec3{}); }
    void look(const Vec3& eye)
    {
        Mat4 projection, view;
        mat4Perspective(projection, kPi / 2, 1.0f, 1.0f, 100.0f);
        mat4Translate(view, -eye.x, -eye.y, -eye.z);
        setCameraMatrices(camera, projection, view);
    }
};

TEST_F(Frustum, PlanesAreNormalised)
{
    for (const Plane& plane : camera.planes)
        EXPECT_NEAR(vec3Length(plane.normal), 1.0f, kTolerance);
    // The near plane lies at distance 1 in front of the eye.
    EXPECT_NEAR(camera.planes[4].distanceTo(Vec3{0, 0, -1}), 0.0f, 1e-4f);
}

TEST_F(Frustum, SphereBehindTheCameraIsRejectedAndInFrontAccepted)
{
    EXPECT_TRUE(sphereInFrustum(camera, Vec3{0, 0, -10}, 1.0f));
    EXPECT_FALSE(sphereInFrustum(camera, Vec3{0, 0, 10}, 1.0f));
    EXPECT_FALSE(sphereInFrustum(camera, Vec3{0, 0, -200}, 1.0f));
    EXPECT_FALSE(sphereInFrustum(camera, Vec3{-20, 0, -10}, 1.0f));
    // Centre just outside the left plane, but the sphere reaches in.
    EXPECT_TRUE(sphereInFrustum(camera, Vec3{-10.5f, 0, -10}, 1.0f));
}

TEST_F(Frustum, FollowsTheViewMatrix)
{
    look(Vec3{100, 0, 0});
    EXPECT_TRUE(sphereInFrustum(camera, Vec3{100, 0, -10}, 1.0f));
    EXPECT_FALSE(sphereInFrustum(camera, Vec3{0, 0, -10}, 1.0f));
}

TEST_F(Frustum, BoxIsInsideWhenAnyPartIs)
{
    EXPECT_FALSE(boxInFrustum(camera, Vec3{0, 0, 10}, Vec3{1, 1, 1}));
    EXPECT_TRUE(boxInFrustum(camera, Vec3{0, 0, 10}, Vec3{1, 1, 15}));
    EXPECT_TRUE(boxInFrustum(camera, Vec3{0, 0, -50}, Vec3{1, 1, 1}));
}

TEST_F(Frustum, ProjectionGivesScreenCoordinatesWithYDownAndViewDepth)
{
    Vec2 screen;
    EXPECT_NEAR(projectToScreen(camera, Vec3{5, 5, -10}, screen), -10.0f, 1e-4f);
    EXPECT_NEAR(screen.x, 0.5f, 1e-5f);
    EXPECT_NEAR(screen.y, -0.5f, 1e-5f);
    EXPECT_GT(projectToScreen(camera, Vec3{0, 0, 10}, screen), 0.0f);

    Vec3 s3;
    EXPECT_NEAR(projectToScreen3(camera, Vec3{0, 0, -10}, s3), -10.0f, 1e-4f);
    // clip z = -(101 / 99) * -10 - 200 / 99, w = 10.
    EXPECT_NEAR(s3.z, -((1010.0f - 200.0f) / 99.0f) / 10.0f, 1e-4f);
    // A point in the eye plane has no screen position.
    projectToScreen(camera, Vec3{3, 0, 0}, screen);
    EXPECT_EQ(screen.x, 0.0f);
}

TEST(BoundingBox, GrowsToHoldTheSphere)
{
    Vec3 lo{0, 0, 0}, hi{1, 1, 1};
    aabbAddSphere(lo, hi, Vec3{5, 0, 0}, 2.0f);
    expectVecNear(lo, Vec3{0, -2, -2});
    expectVecNear(hi, Vec3{7, 2, 2});
}

}  // namespace
