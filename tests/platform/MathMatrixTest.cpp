#include "platform/Math.h"

#include <gtest/gtest.h>

namespace {

constexpr float kTolerance = 1e-5f;

void expectMatrix(const Mat4& actual, const float (&expected)[16])
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected[i], kTolerance) << "element " << i;
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
    mat4Ortho(m, 5.0f, 5.0f, 0.0f, 1.0f, -1.0f, 1.0f);
    expectMatrix(m, identity);
}

TEST(AffineInverse, UndoesTurnScaleAndMoveAndRefusesAFlatMatrix)
{
    Mat4 m;
    mat4Translate(m, 5.0f, -2.0f, 7.0f);
    mat4RotateY(m, 0.7f);
    mat4Scale(m, 2.0f, -3.0f, 0.5f);  // a mirror as well
    EXPECT_NEAR(mat4LinearDeterminant(m), -3.0f, 1e-5f);

    Mat4 inverse;
    ASSERT_TRUE(mat4InvertAffine(m, inverse));
    const Vec3 p{1.5f, -0.25f, 4.0f};
    const Vec3 back = mat4TransformPoint(inverse, mat4TransformPoint(m, p));
    EXPECT_NEAR(back.x, p.x, 1e-4f);
    EXPECT_NEAR(back.y, p.y, 1e-4f);
    EXPECT_NEAR(back.z, p.z, 1e-4f);

    Mat4 flat;
    mat4Scale(flat, 1.0f, 0.0f, 1.0f);
    Mat4 untouched;
    untouched.m[12] = 9.0f;
    EXPECT_EQ(mat4LinearDeterminant(flat), 0.0f);
    EXPECT_FALSE(mat4InvertAffine(flat, untouched));
    EXPECT_EQ(untouched.m[12], 9.0f);
}

TEST(MatrixProduct, RightOperandAppliesFirstAndTranslationSitsAtTwelve)
{
    Mat4 m;
    mat4Translate(m, 10.0f, 0.0f, 0.0f);
    mat4RotateY(m, kPi / 2);
    // Turned first: +x becomes -z, then moved by 10 along x.
    const Vec3 p = mat4TransformPoint(m, Vec3{1, 0, 0});
    EXPECT_NEAR(p.x, 10.0f, kTolerance);
    EXPECT_NEAR(p.z, -1.0f, kTolerance);
    EXPECT_NEAR(m.m[12], 10.0f, kTolerance);
    EXPECT_NEAR(mat4Transpose(m).m[3], 10.0f, kTolerance);

    Mat4 aliased = mat4MakeRotationX(0.3f);
    mat4MultiplyTo(aliased, aliased, mat4MakeRotationY(0.4f));
    const Mat4 product = mat4Multiply(mat4MakeRotationX(0.3f), mat4MakeRotationY(0.4f));
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(aliased.m[i], product.m[i], kTolerance);
}

struct Frustum : testing::Test {
    CameraMatrices camera;
    // A 90 degree square view along -z, depth 1..100.
    void SetUp() override { look(Vec3{}); }
    void look(const Vec3& eye)
    {
        Mat4 projection, view;
        mat4Perspective(projection, kPi / 2, 1.0f, 1.0f, 100.0f);
        mat4Translate(view, -eye.x, -eye.y, -eye.z);
        setCameraMatrices(camera, projection, view);
    }
};

TEST_F(Frustum, SphereBehindTheCameraIsRejectedAndInFrontAccepted)
{
    for (const Plane& plane : camera.planes)
        EXPECT_NEAR(vec3Length(plane.normal), 1.0f, kTolerance);
    EXPECT_TRUE(sphereInFrustum(camera, Vec3{0, 0, -10}, 1.0f));
    EXPECT_FALSE(sphereInFrustum(camera, Vec3{0, 0, 10}, 1.0f));
    EXPECT_FALSE(sphereInFrustum(camera, Vec3{0, 0, -200}, 1.0f));
    EXPECT_FALSE(sphereInFrustum(camera, Vec3{-20, 0, -10}, 1.0f));
    // Centre just outside the left plane, but the sphere reaches in.
    EXPECT_TRUE(sphereInFrustum(camera, Vec3{-10.5f, 0, -10}, 1.0f));
    look(Vec3{100, 0, 0});
    EXPECT_TRUE(sphereInFrustum(camera, Vec3{100, 0, -10}, 1.0f));
    EXPECT_FALSE(sphereInFrustum(camera, Vec3{0, 0, -10}, 1.0f));
}

TEST_F(Frustum, BoxIsInsideWhenAnyPartIs)
{
    EXPECT_FALSE(boxInFrustum(camera, Vec3{0, 0, 10}, Vec3{1, 1, 1}));
    EXPECT_TRUE(boxInFrustum(camera, Vec3{0, 0, 10}, Vec3{1, 1, 15}));
    Vec3 lo{0, 0, 0}, hi{1, 1, 1};
    aabbAddSphere(lo, hi, Vec3{5, 0, 0}, 2.0f);
    EXPECT_EQ(lo.y, -2.0f);
    EXPECT_EQ(hi.x, 7.0f);
}

TEST_F(Frustum, ProjectionGivesScreenCoordinatesWithYDownAndViewDepth)
{
    Vec2 screen;
    EXPECT_NEAR(projectToScreen(camera, Vec3{5, 5, -10}, screen), -10.0f, 1e-4f);
    EXPECT_NEAR(screen.x, 0.5f, 1e-5f);
    EXPECT_NEAR(screen.y, -0.5f, 1e-5f);
    EXPECT_GT(projectToScreen(camera, Vec3{0, 0, 10}, screen), 0.0f);

    Vec3 s3;
    projectToScreen3(camera, Vec3{0, 0, -10}, s3);
    // clip z = (101 / 99) * 10 - 200 / 99, w = 10.
    EXPECT_NEAR(s3.z, -((1010.0f - 200.0f) / 99.0f) / 10.0f, 1e-4f);
}

}  // namespace
