#include "GlTestContext.h"

#include "render/shadows/ShadowMaps.h"
#include "render/shadows/ShadowVolumes.h"
#include "render/world/WorldView.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

const Rgba kGround{200, 200, 200, 255};

// Flat grey ground at y = 0 and a 40-unit box caster floating 40..80 above
// the origin, under a noon sun (the default light record) at tier 2.
struct ShadowVolumesGl : GlTest {
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(target().hasStencil()) << "the test target needs a stencil buffer";
        gfx().setQualityTier(2);
        gfx().setLight(&light);
        const Vec3 c[8] = {{-20, 40, -20}, {20, 40, -20}, {20, 40, 20}, {-20, 40, 20},
                           {-20, 80, -20}, {20, 80, -20}, {20, 80, 20}, {-20, 80, 20}};
        // Each face counter-clockwise from outside: bottom, top, then the four sides.
        const int quads[6][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1}, {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}};
        for (const auto& q : quads)
            box.insert(box.end(), {c[q[0]], c[q[1]], c[q[2]], c[q[0]], c[q[2]], c[q[3]]});
    }
    void TearDown() override
    {
        ShadowVolumes::setGroundFloor(std::numeric_limits<float>::quiet_NaN());
        if (!IsSkipped())
            gfx().setQualityTier(0);
        GlTest::TearDown();
    }

    // One frame in the scene's order: volumes built, ground drawn, volumes
    // counted, shadow applied.
    void drawFrame(const Vec3& eye, const Vec3& at, const Vec3& up)
    {
        Mat4 projection;
        mat4Perspective(projection, 1.0f, 1.0f, 2.0f, 50000.0f);
        const WorldView view = WorldView::fromMatrices(eye, lookAtMatrix(eye, at, up), projection);
        lastView = view;
        ShadowVolumes::buildIndices(view);
        gfx().setProjectionMatrix(view.projection());
        gfx().setViewMatrix(view.view());
        clearTo({0, 0, 0, 255});
        RenderState ground;
        ground.blend = kBlendOpaque;
        ground.program = BuiltinProgram::Color;
        gfx().setRenderState(ground);
        gfx().setWorldMatrix(mat4MakeRotationX(-kPi / 2.0f));  // the xy quad laid flat at y = 0
        drawQuad(-2000.0f, -2000.0f, 2000.0f, 2000.0f, 0.0f, kGround);
        gfx().setWorldMatrix(Mat4{});
        ShadowVolumes::renderStencil();
        ShadowVolumes::applyShadow();
    }
    void drawFromAbove() { drawFrame({0, 300, 0}, {0, 0, 0}, {0, 0, -1}); }

    // Where a world point lands on the target after the last drawFrame.
    Rgba pixelAt(const Vec3& p)
    {
        const Mat4 m = mat4Multiply(lastView.projection(), lastView.view());
        const float* a = m.m;
        const float x = a[0] * p.x + a[4] * p.y + a[8] * p.z + a[12];
        const float y = a[1] * p.x + a[5] * p.y + a[9] * p.z + a[13];
        const float w = a[3] * p.x + a[7] * p.y + a[11] * p.z + a[15];
        const int px = static_cast<int>((x / w * 0.5f + 0.5f) * static_cast<float>(target().width()));
        const int py = static_cast<int>((y / w * 0.5f + 0.5f) * static_cast<float>(target().height()));
        return pixel(std::clamp(px, 0, target().width() - 1), std::clamp(py, 0, target().height() - 1));
    }

    LightRecord light;
    std::vector<Vec3> box;
    WorldView lastView;
};

// Noon: lit ground keeps its color, the shadow keeps the ambient 0.4 of it.
const Rgba kShadow{80, 80, 80, 255};

TEST_F(ShadowVolumesGl, BoxDarkensTheGroundUnderItAndNotBesideIt)
{
    ShadowVolumes::Caster caster(box);
    drawFromAbove();
    EXPECT_TRUE(rgbNear(centre(), kShadow, 4));
    EXPECT_TRUE(rgbNear(pixel(2, 2), kGround)) << "beside the box";
    EXPECT_TRUE(rgbNear(pixel(61, 32), kGround)) << "beside the box";

    // The next frame starts from a clear stencil: the same picture again.
    drawFromAbove();
    EXPECT_TRUE(rgbNear(centre(), kShadow, 4));
    EXPECT_TRUE(rgbNear(pixel(2, 2), kGround));
}

// A volume ends just past the ground floor along the sun's ray, never past
// kExtrusion; without a floor it keeps the full length.
TEST_F(ShadowVolumesGl, VolumesEndJustPastTheGroundFloor)
{
    const Vec3 noon{0, 1, 0}, evening{0.8f, 0.6f, 0.0f};
    EXPECT_FLOAT_EQ(ShadowVolumes::extrusionFor(40.0f, noon), ShadowVolumes::kExtrusion);
    ShadowVolumes::setGroundFloor(0.0f);
    const float noonReach = ShadowVolumes::extrusionFor(40.0f, noon);
    EXPECT_GT(noonReach, 40.0f);
    EXPECT_LT(noonReach, 100.0f);
    EXPECT_GT(ShadowVolumes::extrusionFor(80.0f, noon), 80.0f) << "the top of the box";
    EXPECT_NEAR(ShadowVolumes::extrusionFor(40.0f, evening) - noonReach, 40.0f / 0.6f - 40.0f, 0.01f);
    EXPECT_FLOAT_EQ(ShadowVolumes::extrusionFor(1.0e5f, noon), ShadowVolumes::kExtrusion);
    EXPECT_GT(ShadowVolumes::extrusionFor(-50.0f, noon), 0.0f) << "a caster below the floor";
    EXPECT_GT(ShadowVolumes::extrusionFor(40.0f, Vec3{1, 0, 0}), 0.0f) << "a sun on the horizon";

    // The shortened volume still shadows the ground under the box, from above
    // and from inside it, and the ground a low sun throws the shadow on.
    ShadowVolumes::Caster caster(box);
    drawFromAbove();
    EXPECT_TRUE(rgbNear(centre(), kShadow, 4));
    EXPECT_TRUE(rgbNear(pixel(2, 2), kGround));
    drawFrame({0, 30, 0}, {30, 0, 0}, {0, 1, 0});
    EXPECT_TRUE(rgbNear(pixel(32, 1), kShadow, 4));

    ShadowVolumes::setGroundFloor(std::numeric_limits<float>::infinity());
    EXPECT_FLOAT_EQ(ShadowVolumes::extrusionFor(40.0f, noon), ShadowVolumes::kExtrusion);
}

// Under the box, inside its volume, looking down and away: the ground close
// below is shadowed, the ground farther off is lit.
TEST_F(ShadowVolumesGl, CameraInsideTheVolumeSeesTheSameShadow)
{
    ShadowVolumes::Caster caster(box);
    drawFrame({0, 30, 0}, {30, 0, 0}, {0, 1, 0});
    EXPECT_TRUE(rgbNear(pixel(32, 1), kShadow, 4)) << "ground a few units below";
    EXPECT_TRUE(rgbNear(centre(), kGround)) << "ground 30 units off, past the box";
}

// The eye inside one volume (counted depth-fail) and clear of a second one
// (counted depth-pass): ground under either is shadowed, and so is the ground
// under both, where the two counts add up rather than cancel.
TEST_F(ShadowVolumesGl, VolumesAroundAndAwayFromTheEyeShadowTogether)
{
    ShadowVolumes::setGroundFloor(0.0f);
    ShadowVolumes::Caster inside(box);
    // A 20-unit box centred on its own origin, 100 up and 25 along x: its
    // shadow covers x 15..35, z -10..10 and overlaps the first one's.
    std::vector<Vec3> small;
    for (const Vec3& p : box)
        small.push_back({p.x * 0.5f, (p.y - 60.0f) * 0.5f, p.z * 0.5f});
    ShadowVolumes::Caster away(small);
    Mat4 at;
    at.m[12] = 25.0f;
    at.m[13] = 100.0f;
    away.setMatrix(at);
    drawFrame({0, 30, 0}, {30, 0, 0}, {0, 1, 0});
    EXPECT_TRUE(rgbNear(pixelAt({10, 0, 0}), kShadow, 4)) << "under the first box only";
    EXPECT_TRUE(rgbNear(pixelAt({17, 0, 0}), kShadow, 4)) << "under both";
    EXPECT_TRUE(rgbNear(pixelAt({30, 0, 0}), kShadow, 4)) << "under the second box only";
    EXPECT_TRUE(rgbNear(pixelAt({45, 0, 0}), kGround)) << "past both";
    EXPECT_TRUE(rgbNear(pixelAt({30, 0, 15}), kGround)) << "beside the second";

    // From far above, both counted depth-pass: the same shadows.
    drawFrame({5, 400, 0}, {5, 0, 0}, {0, 0, -1});
    EXPECT_TRUE(rgbNear(pixelAt({0, 0, 0}), kShadow, 4));
    EXPECT_TRUE(rgbNear(pixelAt({17, 0, 0}), kShadow, 4));
    EXPECT_TRUE(rgbNear(pixelAt({30, 0, 0}), kShadow, 4));
    EXPECT_TRUE(rgbNear(pixelAt({45, 0, 0}), kGround));
    EXPECT_TRUE(rgbNear(pixelAt({-30, 0, 0}), kGround));
}

// A caster so high that its volume stops at kExtrusion, in the air over the
// ground: the ground seen through the volume's lower end stays lit.
TEST_F(ShadowVolumesGl, VolumeEndingInTheAirShadowsNothingSeenThroughItsEnd)
{
    ShadowVolumes::setGroundFloor(0.0f);
    ShadowVolumes::Caster caster(box);
    Mat4 high;
    high.m[13] = 3500.0f;
    caster.setMatrix(high);
    ASSERT_LT(ShadowVolumes::extrusionFor(3580.0f, {0, 1, 0}), 3540.0f);
    // Clear of the volume, looking down through its side and out of its end.
    drawFrame({0, 1350, 150}, {0, 0, -120}, {0, 1, 0});
    EXPECT_TRUE(rgbNear(centre(), kGround));
}

// Evening: the sun 20 degrees up in the east throws the shadow 90..240 units
// west of the box. Seen from a camera off to the side and above, the ground
// under and east of the box stays lit.
TEST_F(ShadowVolumesGl, LowSunSeenObliquelyShadowsOnlyBehindTheCaster)
{
    const float elevation = 20.0f * kPi / 180.0f;
    light.direction[0] = std::cos(elevation);
    light.direction[1] = std::sin(elevation);
    light.direction[2] = 0.0f;
    gfx().setLight(&light);
    ShadowVolumes::Caster caster(box);
    drawFrame({260, 160, 220}, {-80, 0, 0}, {0, 1, 0});
    EXPECT_TRUE(rgbNear(pixelAt({60, 0, 0}), kGround)) << "sun side of the box";
    EXPECT_TRUE(rgbNear(pixelAt({0, 0, 0}), kGround)) << "under the box";
    EXPECT_TRUE(rgbNear(pixelAt({-40, 0, 40}), kGround)) << "beside the shadow";
    EXPECT_LT(pixelAt({-160, 0, 0}).r, 150) << "in the shadow";

    // The same with the volume ended just past the ground.
    ShadowVolumes::setGroundFloor(0.0f);
    drawFrame({260, 160, 220}, {-80, 0, 0}, {0, 1, 0});
    EXPECT_TRUE(rgbNear(pixelAt({0, 0, 0}), kGround));
    EXPECT_LT(pixelAt({-160, 0, 0}).r, 150);
    EXPECT_LT(pixelAt({-220, 0, 0}).r, 150);
}

TEST_F(ShadowVolumesGl, NoShadowFromInactiveOrBrokenCastersAtTierZeroOrWithTheShadowMap)
{
    ShadowVolumes::Caster caster(box);
    caster.setActive(false);
    std::vector<Vec3> none;
    Mat4 flat;
    flat.m[0] = flat.m[5] = flat.m[10] = 0.0f;
    Mat4 lost;
    lost.m[12] = std::numeric_limits<float>::infinity();
    ShadowVolumes::Caster empty(none), squashed(box), nowhere(box);
    squashed.setMatrix(flat);
    nowhere.setMatrix(lost);
    drawFromAbove();
    EXPECT_TRUE(rgbNear(centre(), kGround));
    EXPECT_TRUE(rgbNear(pixel(2, 2), kGround));

    caster.setActive(true);
    gfx().setQualityTier(0);
    drawFromAbove();
    EXPECT_TRUE(rgbNear(centre(), kGround)) << "tier 0 draws no volumes";

    gfx().setQualityTier(3);
    ASSERT_TRUE(createShadowMaps());
    drawFromAbove();
    EXPECT_TRUE(rgbNear(centre(), kGround)) << "the tier-3 shadow map takes over";
}

}  // namespace
