// Missile trails, contrails, tracers, and the exhaust and vapour of a staged jet.
#include "effects/EffectScene.h"
#include "effects/trails/AirplaneContrail.h"
#include "effects/trails/MissileTrail.h"
#include "effects/trails/Tracers.h"
#include "effects/world/AircraftLooks.h"

#include "support/TempDir.h"
#include "support/TestPak.h"
#include "support/effects/FakeAircraft.h"

#include "platform/Pak.h"
#include "platform/Random.h"
#include "render/assets/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {
bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

struct Trails : testing::Test {
    void SetUp() override
    {
        MissileTrail::deleteAll();
        MissileTrail::buildIndices();
        effectScene() = EffectScene{};
        seedRandom(3, 4);
    }
    void TearDown() override { MissileTrail::deleteAll(); }
    // The camera at the origin looking down -z.
    static void lookDownMinusZ()
    {
        Mat4 projection;
        mat4Perspective(projection, 1.0f, 1.5f, 1.0f, 5000.0f);
        setEffectCamera({}, Mat4{}, projection);
    }
};

TEST_F(Trails, SidesStayFiniteAndOrthogonalInEveryDirectionStraightUpIncluded)
{
    for (const Vec3& d : {Vec3{0, 1, 0}, Vec3{0, -1, 0}, Vec3{1, 0, 0}, Vec3{0.6f, 0.8f, 0}, Vec3{0, 0, -1}}) {
        MissileTrail::Point p;
        MissileTrail::computeSideVectors(d, p);
        EXPECT_TRUE(finite(p.sideA) && finite(p.sideB) && finite(p.sideC));
        EXPECT_NEAR(vec3Length(p.sideA), 1.0f, 1e-3f);
        EXPECT_NEAR(vec3Dot(p.sideA, d), 0.0f, 1e-3f);
        EXPECT_NEAR(vec3Dot(p.sideB, d), 0.0f, 1e-3f);
    }
    FakeMissile up;
    up.direction = {0.0f, 1.0f, 0.0f};
    MissileTrail* trail = MissileTrail::create(up);
    ASSERT_NE(trail, nullptr);
    for (int i = 0; i < 40; ++i) {
        up.position.y += 10.0f;
        MissileTrail::updateAll(0.05f);
    }
    for (const FxVertex& v : trail->vertices)
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
    trail->detach();   // before the missile goes
}

TEST_F(Trails, APointEveryTenthAFadingTailAndDeletionFourSecondsAfterDetach)
{
    FakeMissile m;
    MissileTrail* trail = MissileTrail::create(m);
    ASSERT_NE(trail, nullptr);
    // Pairs 0, 1 and 2 start transparent, a third and two thirds.
    EXPECT_EQ(trail->vertices[0].color.a, 0);
    EXPECT_EQ(trail->vertices[2].color.a, 85);
    EXPECT_EQ(trail->vertices[4].color.a, 170);
    EXPECT_EQ(trail->vertices[6].color.a, 255);
    EXPECT_EQ(trail->vertices[48 + 2].color.a, 85);   // every strip alike
    MissileTrail::updateAll(0.05f);
    EXPECT_EQ(trail->head, 1);   // the first update emits at once
    MissileTrail::updateAll(0.05f);
    EXPECT_EQ(trail->head, 1);
    MissileTrail::updateAll(0.06f);
    EXPECT_EQ(trail->head, 2);
    m.position = {0.0f, 0.0f, -300.0f};
    trail->detach();
    EXPECT_EQ(trail->owner, nullptr);
    EXPECT_FLOAT_EQ(trail->points[static_cast<std::size_t>(trail->head)].position.z, -300.0f);
    for (int i = 0; i < 79; ++i)
        MissileTrail::updateAll(0.05f);
    EXPECT_EQ(MissileTrail::count(), 1u);
    MissileTrail::updateAll(0.05f);
    MissileTrail::updateAll(0.05f);
    EXPECT_EQ(MissileTrail::count(), 0u);
    EXPECT_EQ(m.trailsGone, 0);   // detached: the missile is not called again
}

TEST_F(Trails, OffScreenTrailsOnlyWidenAndAFullRegistryMakesNoTrail)
{
    lookDownMinusZ();
    FakeMissile behind;
    behind.position = {0.0f, 0.0f, 3000.0f};
    MissileTrail* trail = MissileTrail::create(behind);
    ASSERT_NE(trail, nullptr);
    MissileTrail::updateAll(0.05f);
    const MissileTrail::Point before = trail->points[0];
    MissileTrail::updateAll(0.05f);
    EXPECT_EQ(trail->drawn, 0);
    EXPECT_FALSE(behind.onScreen);
    EXPECT_EQ(trail->points[0].position.z, before.position.z);
    EXPECT_GT(vec3Length(trail->points[0].sideA), vec3Length(before.sideA));

    std::vector<std::unique_ptr<FakeMissile>> missiles;
    while (MissileTrail::count() < MissileTrail::kCapacity) {
        missiles.push_back(std::make_unique<FakeMissile>());
        ASSERT_NE(MissileTrail::create(*missiles.back()), nullptr);
    }
    FakeMissile late;
    EXPECT_EQ(MissileTrail::create(late), nullptr);
    MissileTrail::deleteAll();   // a screen change tells every missile
    EXPECT_EQ(behind.trailsGone, 1);
    EXPECT_EQ(missiles.back()->trailsGone, 1);
}

struct Contrails : Trails {
    FakeAirplane plane;
    Vec3 emitter{5.0f, 0.0f, 2.0f};
    void fly(AirplaneContrail& c, int frames, const Vec3& step)
    {
        for (int i = 0; i < frames; ++i) {
            const Vec3 p{plane.matrix.m[12], plane.matrix.m[13], plane.matrix.m[14]};
            plane.moveTo(p + step);
            c.update(1.0f / 30.0f);
        }
    }
};

TEST_F(Contrails, SlowIsTransparentFastShowsAndTheRibbonsAreMirrored)
{
    plane.speed = 50.0f;
    AirplaneContrail c(plane, emitter);
    EXPECT_EQ(c.emitter(1).x, -5.0f);
    EXPECT_EQ(c.emitter(1).z, 2.0f);
    fly(c, 60, {0.0f, 0.0f, -2.0f});
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i < AirplaneContrail::kVertices; ++i)
            EXPECT_EQ(c.vertex(s, i).color.a, 0) << s << " " << i;
    plane.speed = 300.0f;
    fly(c, 60, {0.0f, 0.0f, -10.0f});
    int shown = 0;
    for (int i = 0; i < AirplaneContrail::kVertices; ++i)
        shown += c.vertex(0, i).color.a > 0;
    EXPECT_GT(shown, 40);
    EXPECT_NEAR(c.vertex(0, 0).x, 5.0f, 1e-4f);   // vertex 0 sits at each emitter
    EXPECT_NEAR(c.vertex(1, 0).x, -5.0f, 1e-4f);
}

TEST_F(Contrails, AJumpRestartsAndStandingStillStaysFinite)
{
    plane.speed = 300.0f;
    AirplaneContrail c(plane, emitter);
    fly(c, 30, {0.0f, 0.0f, -10.0f});
    plane.moveTo({5000.0f, 0.0f, 0.0f});   // a respawn far away
    c.update(1.0f / 30.0f);
    for (int i = 0; i < AirplaneContrail::kPoints; ++i)
        EXPECT_NEAR(c.point(0, i).position.x, 5005.0f, 3.0f) << i;
    fly(c, 60, {0.0f, 0.0f, 0.0f});          // parked
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i < AirplaneContrail::kVertices; ++i) {
            const FxVertex& v = c.vertex(s, i);
            EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z)) << s << " " << i;
        }
}

TEST(TracersTest, SegmentsAreCappedPerFrameAndBeamsLastTheirTime)
{
    Tracers::clearAll();
    for (int i = 0; i < Tracers::kCapacity; ++i)
        ASSERT_TRUE(Tracers::add({{0, 0, 0}, {0, 0, -1}}));
    EXPECT_FALSE(Tracers::add({{0, 0, 0}, {0, 0, -1}}));
    Tracers::begin();
    EXPECT_EQ(Tracers::count(), 0);
    Tracers::addBeam({}, {0, 0, -100}, 0.08f);
    Tracers::updateBeams(0.05f);
    EXPECT_EQ(Tracers::beamCount(), 1);
    Tracers::updateBeams(0.05f);
    EXPECT_EQ(Tracers::beamCount(), 0);
    Tracers::clearAll();
}

// The exhaust and vapour of the staged jet model.
struct JetLooks : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    const Model* model = nullptr;
    FakeAirplane plane;
    void SetUp() override
    {
        ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak"));
        model = loadModel("data/planes/f16/f16_ful.glm");
        ASSERT_NE(model, nullptr);
        seedRandom(9, 10);
    }
    // The flame's length: the farthest z of its vertices from the nozzle.
    static float reach(const JetExhaust& e)
    {
        float far = 0.0f;
        for (const FxVertex& v : e.flame())
            far = std::max(far, v.z - e.jetBase());
        return far;
    }
};

TEST_F(JetLooks, ThrottleZeroKeepsThirtyPercentAndTheAiJetHasNoCore)
{
    JetExhaust e(plane, model);
    ASSERT_TRUE(e.valid());
    e.update(0.0f, 0.01f);
    const float idle = reach(e);
    EXPECT_GT(idle, (0.3f - 0.08f) * e.jetLength());
    EXPECT_LT(idle, (0.3f + 0.08f) * e.jetLength());
    const Color4 idleColor = e.flame().front().color;
    e.update(1.0f, 0.01f);
    EXPECT_GT(reach(e), (1.0f - 0.08f) * e.jetLength());
    EXPECT_GE(e.flame().front().color.b + e.flame().front().color.r, idleColor.b + idleColor.r);
    EXPECT_EQ(e.coreColor.a, 0);   // an AI jet: no core, no haze
    for (const FxVertex& v : e.core())
        EXPECT_EQ(v.color.a, 0);
    plane.player = true;
    e.update(1.0f, 0.01f);
    EXPECT_EQ(e.coreColor.a, 255);
}

TEST_F(JetLooks, TheScrollWrapsBelowZero)
{
    JetExhaust e(plane, model);
    ASSERT_TRUE(e.valid());
    e.scroll = 0.676f;
    e.update(1.0f, 0.1f);   // 0.676 - 1.1 x 0.1 x 6.6 = -0.05
    EXPECT_NEAR(e.scroll, 0.95f, 1e-4f);
}

// An airplane leaving play silences the rush; the cone still in the air
// starts it again on its next update.
TEST_F(JetLooks, TheRushFallsSilentWhenAnAirplaneLeavesPlayAndComesBackWithTheCone)
{
    plane.player = true;
    plane.speed = 200.0f;
    VapourCone cone(plane, model);
    cone.update(0.02f, 0.95f);
    ASSERT_TRUE(VapourCone::rushPlaying());
    VapourCone::silenceRush();
    EXPECT_FALSE(VapourCone::rushPlaying());
    VapourCone::silenceRush();
    EXPECT_FALSE(VapourCone::rushPlaying());
    cone.update(0.02f, 0.95f);
    EXPECT_TRUE(VapourCone::rushPlaying());
    cone.stopRush();
}

TEST_F(JetLooks, NoVapourConeBelowOneHundredAndTheRushStopsWhenThePlaneGoes)
{
    plane.player = true;
    auto cone = std::make_unique<VapourCone>(plane, model);
    plane.speed = 95.0f;
    cone->update(0.02f, 0.95f);
    EXPECT_FALSE(cone->cone);
    EXPECT_FALSE(VapourCone::rushPlaying());
    plane.speed = 200.0f;
    cone->update(0.02f, 0.95f);
    EXPECT_TRUE(cone->cone);
    EXPECT_TRUE(VapourCone::rushPlaying());
    cone->update(0.02f, 0.2f);   // aligned again: off
    EXPECT_FALSE(cone->cone);
    cone->update(0.02f, -0.95f);
    EXPECT_TRUE(VapourCone::rushPlaying());
    cone.reset();
    EXPECT_FALSE(VapourCone::rushPlaying());
    VapourCone quiet(plane, model);
    quiet.level = 0.005f;   // between -0.01 and 0.01: no sheet
    plane.load = 0.0f;
    quiet.update(0.0f, 0.0f);
    EXPECT_FALSE(quiet.upper || quiet.lower);
}
}  // namespace
