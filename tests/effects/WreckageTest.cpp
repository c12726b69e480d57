// Wrecks and ejected pilots over the staged data: the gibs model name rule,
// the air wreck's fall and blast, the ship's sinking counts, and the
// parachute's timeline and its airplane going away.
#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"
#include "effects/AircraftFx.h"
#include "effects/world/Gibs.h"
#include "effects/world/Parachute.h"

#include "support/TempDir.h"
#include "support/TestPak.h"
#include "support/effects/FakeAircraft.h"

#include "platform/Pak.h"
#include "platform/Random.h"
#include "render/assets/Model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {
TEST(GibsName, CutsThePathAndExtensionAndSwapsTheFullModelSuffix)
{
    EXPECT_EQ(Gibs::modelName("data/planes/f16/f16_ful.glm", true), "f16_gibs");
    EXPECT_EQ(Gibs::modelName("data\\planes\\a10_ful_lod.glm", true), "a10_gibs");
    EXPECT_EQ(Gibs::modelName("destroyer.glm", true), "destroyer_gibs");
    EXPECT_EQ(Gibs::modelName("airbase.glm_1", true), "airbase_gibs");
    EXPECT_EQ(Gibs::modelName("data/models/tank.v2.glm", false), "tank");
    // Nothing to name, or a name too long for the model table: no model.
    EXPECT_EQ(Gibs::modelName("data/models/", true), "");
    EXPECT_EQ(Gibs::modelName(std::string(200, 'x') + ".glm", true), "");
}

struct FlatGround : IEffectGround {
    float height = 0.0f;
    bool groundAt(float, float, float& h, Vec3& normal) const override
    {
        h = height;
        normal = {0.0f, 1.0f, 0.0f};
        return true;
    }
};

struct Wrecks : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    FlatGround ground;

    void SetUp() override
    {
        ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak"));
        clearEffects();
        freeParticleConfigs();
        seedRandom(5, 6);
        effectScene().ground = &ground;
        effectScene().cameraPosition = {};
    }
    void TearDown() override
    {
        clearEffects();
        freeParticleConfigs();
        effectScene().ground = nullptr;
    }
    static int countOf(const char* psc)
    {
        const PConfig* c = getParticleConfig(psc);
        int n = 0;
        for (IEffect* e = firstEffect(); e; e = nextEffect(e))
            n += e->kind() == 1 && static_cast<PSystem*>(e)->config == c;
        return n;
    }
    static int wreckCount()
    {
        int n = 0;
        for (IEffect* e = firstEffect(); e; e = nextEffect(e))
            n += e->kind() == 2;
        return n;
    }
    static Mat4 at(float x, float y, float z)
    {
        Mat4 m;
        mat4Translate(m, x, y, z);
        return m;
    }
};

TEST_F(Wrecks, AUnitWithoutAGibsModelLeavesNoWreck)
{
    EXPECT_EQ(Gibs::create("data/models/nothing_ful.glm", GibsKind::PlaneAir, true), nullptr);
    const int before = wreckCounts().requested;
    EXPECT_EQ(startWreck("nothing.glm", GibsKind::Vehicle, at(0, 0, 0), {}, {}, 1), nullptr);
    EXPECT_EQ(wreckCounts().requested, before + 1);
    EXPECT_EQ(effectCount(), 0);
}

TEST_F(Wrecks, AnAirWreckFliesOnBurnsThenBlowsApartAndIsGoneAfterSixSeconds)
{
    auto* w = static_cast<PlaneAirGibs*>(
        startWreck("data/planes/f16/f16_ful.glm", GibsKind::PlaneAir, at(0, 2000, 0), {0, 0, -200}, {0, 20, 0}, 1));
    ASSERT_NE(w, nullptr);
    ASSERT_GE(w->pieces.size(), 3u);
    EXPECT_EQ(w->model->node(0)->name.rfind("body", 0), 0u);  // the data gives body pieces
    EXPECT_NE(w->fire, nullptr);
    EXPECT_EQ(countOf("plane_burn_air.psc"), 1);
    const float fall = w->fallTime;
    EXPECT_GE(fall, 1.5f);
    EXPECT_LT(fall, 3.0f);
    for (const auto& p : w->pieces)
        EXPECT_TRUE(p.attached);
    float t = 0.0f;
    const float z0 = w->matrix.m[14];
    while (t < fall - 0.05f) {
        updateEffects(1.0f / 30.0f);
        t += 1.0f / 30.0f;
    }
    EXPECT_LT(w->matrix.m[14], z0 - 100.0f);   // flown on along its nose
    EXPECT_EQ(countOf("plane_explode_air.psc"), 0);
    for (int i = 0; i < 6; ++i)
        updateEffects(1.0f / 30.0f);
    EXPECT_EQ(countOf("plane_explode_air.psc"), 1);
    EXPECT_EQ(w->fire, nullptr);
    for (const auto& p : w->pieces)
        EXPECT_FALSE(p.attached);
    for (int i = 0; i < 30 * 10; ++i)
        updateEffects(1.0f / 30.0f);
    EXPECT_EQ(wreckCount(), 0);   // 10 s on nothing of it is left
}

TEST_F(Wrecks, AWreckHittingTheGroundExplodesAtOnceAndOverWaterItSplashes)
{
    for (float groundHeight : {50.0f, 1.0f}) {
        clearEffects();
        ground.height = groundHeight;
        auto* w = static_cast<PlaneAirGibs*>(startWreck("data/planes/f16/f16_ful.glm", GibsKind::PlaneAir,
                                                       at(0, groundHeight - 0.5f, 0), {0, 0, -100}, {}, 1));
        ASSERT_NE(w, nullptr);
        updateEffects(1.0f / 30.0f);
        updateEffects(1.0f / 30.0f);
        EXPECT_LT(w->fallTime, 0.0f);
        const bool water = groundHeight <= 1.0f;
        EXPECT_EQ(countOf("plane_explode_water.psc"), water ? 1 : 0) << groundHeight;
        EXPECT_EQ(countOf("plane_explode_ground.psc"), water ? 0 : 1) << groundHeight;
    }
}

TEST_F(Wrecks, TheFireGoingFirstLeavesTheWreckSoundAndItStillExplodes)
{
    auto* w = static_cast<PlaneAirGibs*>(
        startWreck("data/planes/f16/f16_ful.glm", GibsKind::PlaneAir, at(0, 3000, 0), {0, 0, -200}, {}, 1));
    ASSERT_NE(w, nullptr);
    ASSERT_NE(w->fire, nullptr);
    removeEffect(w->fire);   // a map change took the fire: the wreck must forget it
    EXPECT_EQ(w->fire, nullptr);
    for (int i = 0; i < 100; ++i)
        updateEffects(1.0f / 30.0f);
    EXPECT_EQ(countOf("plane_explode_air.psc"), 1);
}

namespace {
// Records what the wrecks ask of the camera; it follows whatever it is told to.
struct RecordingCamera final : IPoolCamera {
    const Vec3* followed = nullptr;
    std::vector<const Vec3*> gone;
    int lookAts = 0, releases = 0;
    void shake(float) override {}
    void systemGone(const Vec3* position) override { gone.push_back(position); }
    void lookAtPoint(const Vec3*, float, float, float, int, float) override { ++lookAts; }
    void followPoint(const Vec3* point) override
    {
        releases += point ? 0 : 1;
        followed = point;
    }
    bool followsPoint(const Vec3* point) const override { return point && followed == point; }
};
}  // namespace

TEST_F(Wrecks, TheCameraLetsGoOfAnAirWreckWhenItIsDeleted)
{
    RecordingCamera camera;
    setPoolCamera(&camera);
    // Followed by the cinematic camera: released when the wreck goes, at any time.
    auto* followed = static_cast<PlaneAirGibs*>(startWreck("data/planes/f16/f16_ful.glm", GibsKind::PlaneAir,
                                                          at(0, 2000, 0), {0, 0, -200}, {}, 1, 3));
    ASSERT_NE(followed, nullptr);
    updateEffects(1.0f / 30.0f);
    ASSERT_EQ(camera.followed, &followed->cameraPoint);
    const Vec3* point = &followed->cameraPoint;
    removeEffect(followed);
    EXPECT_EQ(camera.followed, nullptr);
    EXPECT_EQ(camera.releases, 1);
    ASSERT_FALSE(camera.gone.empty());
    EXPECT_EQ(camera.gone.back(), point);

    // Looked at (the player's own wreck): the camera is told the point is gone
    // when the wreck ends by itself, and a follow it never asked for stays.
    const Vec3 elsewhere{};
    camera.followed = &elsewhere;
    auto* watched = static_cast<PlaneAirGibs*>(startWreck("data/planes/f16/f16_ful.glm", GibsKind::PlaneAir,
                                                         at(0, 2000, 0), {0, 0, -200}, {}, 1, 2));
    ASSERT_NE(watched, nullptr);
    const Vec3* watchedPoint = &watched->cameraPoint;
    for (int i = 0; i < 30 * 12 && wreckCount() > 0; ++i)
        updateEffects(1.0f / 30.0f);
    EXPECT_EQ(wreckCount(), 0);
    EXPECT_EQ(camera.lookAts, 1);
    EXPECT_EQ(camera.followed, &elsewhere);
    EXPECT_EQ(camera.gone.back(), watchedPoint);
    setPoolCamera(nullptr);
}

TEST_F(Wrecks, GroundAndVehicleWrecksLaunchTheirPiecesAndEndAfterFiveSeconds)
{
    Gibs* g = startWreck("data/planes/f16/f16_ful.glm", GibsKind::PlaneGround, at(0, 10, 0), {0, 1, 0}, {0, 40, 0}, 1);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(countOf("plane_explode_ground.psc"), 1);
    EXPECT_FLOAT_EQ(g->baseVelocity.y, 10.0f);
    Gibs* v = startWreck("tank.glm", GibsKind::Vehicle, at(100, 0, 0), {0, 200, 0}, {1, 1, 1}, 1);
    ASSERT_NE(v, nullptr);
    EXPECT_FLOAT_EQ(v->baseVelocity.y, 50.0f);
    const float y0 = v->pieces[0].velocity.y;
    for (int i = 0; i < 30; ++i)
        updateEffects(1.0f / 30.0f);
    EXPECT_NEAR(v->pieces[0].velocity.y, y0 - 0.5f, 1e-3f);   // its gentle pull
    EXPECT_EQ(wreckCount(), 2);
    for (int i = 0; i < 30 * 5; ++i)
        updateEffects(1.0f / 30.0f);
    EXPECT_EQ(wreckCount(), 0);
}

TEST_F(Wrecks, AShipBurstsAtItsExplosivePartsAndSinksWithBoundedSinkSystems)
{
    auto* s = static_cast<ShipGibs*>(startWreck("destroyer.glm", GibsKind::Ship, at(0, 0, 0), {0, 0, -10}, {1, 1, 1}, 1));
    ASSERT_NE(s, nullptr);
    int detaching = 0;
    for (const auto& p : s->pieces)
        detaching += p.detachTime < 99999.0f;
    EXPECT_EQ(detaching, 3);   // the staged ship has three "expl" parts
    EXPECT_EQ(s->pointCount, 0);
    int bursts = 0, sinking = 0;
    for (int i = 0; i < 30 * 9; ++i) {
        updateEffects(1.0f / 30.0f);
        bursts = std::max(bursts, countOf("ship_explode_01.psc"));
        sinking = std::max(sinking, countOf("ship_sink_01.psc"));
    }
    EXPECT_GE(bursts, 1);
    EXPECT_GE(sinking, 1);
    EXPECT_LT(s->matrix.m[13], 0.0f);   // going down
    for (int i = 0; i < 30 * 20; ++i)
        updateEffects(1.0f / 30.0f);
    EXPECT_EQ(wreckCount(), 0);
}

TEST(ShipSinking, CountAndSpacingStayFiniteAndBounded)
{
    EXPECT_EQ(ShipGibs::sinkCount(100.0f, 1.0f), 1);
    EXPECT_FLOAT_EQ(ShipGibs::sinkSpacing(100.0f, 1), 0.0f);   // one system sits in the middle
    EXPECT_EQ(ShipGibs::sinkCount(900.0f, 1.0f), 5);
    EXPECT_FLOAT_EQ(ShipGibs::sinkSpacing(900.0f, 5), 225.0f);
    EXPECT_EQ(ShipGibs::sinkCount(900.0f, 0.0f), 5);     // a scale of 0 counts as 1
    EXPECT_EQ(ShipGibs::sinkCount(900.0f, -3.0f), 5);
    EXPECT_EQ(ShipGibs::sinkCount(0.0f, 1.0f), 1);
    EXPECT_EQ(ShipGibs::sinkCount(1.0e9f, 1.0f), ShipGibs::kMaxSinkSystems);
}

// ---- parachutes ----

struct Parachutes : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    FakeAirplane plane;
    void SetUp() override
    {
        ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak"));
        Parachute::releaseShared();
        seedRandom(3, 4);
        plane.moveTo({0.0f, 1000.0f, 0.0f});
        effectScene().cameraPosition = {0.0f, 1000.0f, 50.0f};
    }
    void TearDown() override { Parachute::releaseShared(); }
    static void run(Parachute& p, float until)
    {
        while (!p.done && p.time < until - 1e-4f)
            p.update(std::min(1.0f / 100.0f, until - p.time));
    }
};

TEST_F(Parachutes, TheChuteOpensOnItsTimelineAndTheAnimationEndsAfterSixSeconds)
{
    EXPECT_NE(Parachute::sharedModel(), nullptr);
    Parachute p(plane);
    EXPECT_FLOAT_EQ(p.scale, 1.0f);   // near the camera
    run(p, 2.3f);
    p.update(0.0f);
    EXPECT_FLOAT_EQ(p.chuteScaleY, 0.0f);
    run(p, 2.7f);
    p.update(0.0f);
    EXPECT_NEAR(p.chuteScaleXZ, 0.25f, 1e-3f);
    EXPECT_NEAR(p.chuteScaleY, 1.25f, 1e-3f);
    run(p, 3.45f);
    p.update(0.0f);
    EXPECT_NEAR(p.chuteScaleXZ, 1.25f, 1e-3f);
    EXPECT_NEAR(p.chuteScaleY, 1.0f, 1e-3f);
    run(p, 5.95f);
    p.update(0.0f);
    EXPECT_NEAR(p.chuteScaleXZ, 1.0f, 1e-3f);
    EXPECT_FLOAT_EQ(p.chuteScaleY, 1.0f);
    EXPECT_NEAR(p.legAngle, -1.3f, 1e-4f);
    EXPECT_NEAR(p.handAngle, 2.6f, 1e-4f);
    EXPECT_FALSE(p.done);
    run(p, 6.02f);
    EXPECT_TRUE(p.done);
    EXPECT_LT(p.position.y, 1000.0f);   // it came down
}

TEST_F(Parachutes, AnAirplaneGoneInTheCockpitPhaseEndsItLaterItDriftsOnAlone)
{
    {
        Parachute p(plane);
        run(p, 0.5f);
        p.ownerGone();
        p.update(0.01f);
        EXPECT_TRUE(p.done);
    }
    {
        auto other = std::make_unique<FakeAirplane>();
        other->moveTo({10.0f, 900.0f, 0.0f});
        Parachute p(*other);
        run(p, 1.0f);
        p.ownerGone();
        other.reset();   // its memory is gone: the parachute must not read it
        run(p, 6.1f);
        EXPECT_TRUE(p.done);
        EXPECT_EQ(p.owner, nullptr);
    }
}

TEST_F(Parachutes, SixtyFourIdsAreSharedAndTheSixtyFifthFreesNothing)
{
    std::vector<std::unique_ptr<Parachute>> all;
    for (int i = 0; i < 65; ++i)
        all.push_back(std::make_unique<Parachute>(plane));
    EXPECT_EQ(all[63]->id, 63);
    EXPECT_EQ(all[64]->id, Parachute::kIdCount);
    EXPECT_EQ(Parachute::idsInUse(), 64);
    all.back().reset();
    EXPECT_EQ(Parachute::idsInUse(), 64);
    all[10].reset();
    EXPECT_EQ(Parachute::idsInUse(), 63);
    EXPECT_EQ(std::make_unique<Parachute>(plane)->id, 10);
}

TEST_F(Parachutes, FarParachutesAreDrawnLargerAndTheFlashTintRounds)
{
    effectScene().cameraPosition = {0.0f, 1000.0f, 3000.0f};
    Parachute far(plane);
    EXPECT_FLOAT_EQ(far.scale, 10.5f);
    const Color4 half = Parachute::tintFlash(0.5f);
    EXPECT_EQ(half.r, 109);
    EXPECT_EQ(half.g, 83);
    EXPECT_EQ(half.b, 16);
    EXPECT_EQ(half.a, 128);
}
}  // namespace

namespace {
// The canopy is blown off into the airstream: until 0.6 s it rides the
// airplane with the airstream's velocity (the flight direction times minus
// the speed), thrown down the airplane's up axis by 10 to 20 and further down
// by 5 to 15; then it flies free on that velocity, damped per frame.
TEST_F(Parachutes, TheCanopyFallsBackIntoTheAirstreamAndTumblesAway)
{
    plane.direction = {0.0f, 0.0f, -1.0f};
    plane.speed = 250.0f;
    Parachute p(plane);
    for (int i = 0; i < 20; ++i) {
        p.update(0.01f);
        EXPECT_NEAR(p.canopyVelocity.x, 0.0f, 1e-4f);
        EXPECT_NEAR(p.canopyVelocity.z, 250.0f, 1e-3f) << "against the flight, at its speed";
        EXPECT_LE(p.canopyVelocity.y, -15.0f);
        EXPECT_GT(p.canopyVelocity.y, -35.0f);
        EXPECT_NEAR(p.canopyMatrix.m[14], 0.0f, 1e-4f) << "still on the airplane";
    }
    run(p, 0.6f);
    const Vec3 thrown = p.canopyVelocity;
    run(p, 0.8f);
    EXPECT_GT(p.canopyMatrix.m[14], 30.0f) << "well behind where the airplane was";
    EXPECT_LT(p.canopyMatrix.m[13], 1000.0f);
    EXPECT_LT(p.canopyVelocity.z, thrown.z) << "damped";
}
}  // namespace
