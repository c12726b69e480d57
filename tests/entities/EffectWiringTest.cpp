// The entities make their effects by direct calls: a staged jet gets its
// exhaust, vapour and contrail; a guided missile its trail; flares, booms
// and gun smoke go into the pool and leave it again.
#include "TestPlanes.h"

#include "effects/particles/AircraftParticles.h"
#include "effects/trails/AirplaneContrail.h"
#include "effects/trails/MissileTrail.h"
#include "effects/world/AircraftLooks.h"
#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Machinegun.h"
#include "entities/weapons/Missile.h"
#include "entities/weapons/MissileSet.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/File.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"
#include "support/entities/TestWeapons.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

struct EffectWiring : testing::Test {
    SimHost host;
    PlaneCfg cfg = testJet();

    void SetUp() override
    {
        clearEntityIds();
        seedRandom(21, 22);
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        cfg.file = "data/planes/f16/f16_ful.glm";
        ParticleSystem::deleteAll();
        ParticleSystem::initParticleBuffers();
    }
    void TearDown() override
    {
        host.missiles().clear();
        ParticleSystem::deleteAll();
        MissileTrail::deleteAll();
        AirplaneModel::releaseAll();
        setDataRoot("");
    }
    Airplane* jet(int team, const Vec3& at, float speed = 250.0f)
    {
        Airplane* a = host.add(Target::create<Airplane>(host, cfg, team, std::u16string(u"p")));
        a->setPositionAndStop(at);
        a->resetForRespawn();
        a->setSpeed(speed);
        a->setThrottleForSpeed(speed);
        return a;
    }
    void run(int frames)
    {
        for (int i = 0; i < frames; ++i) {
            host.step(kFrame);
            ParticleSystem::updateAll(kFrame);
        }
    }
};

TEST_F(EffectWiring, AJetIsMadeWithItsLooksAndARespawnRestartsThem)
{
    Airplane* a = jet(0, {0.0f, 3000.0f, 0.0f});
    ASSERT_NE(a->model(), nullptr);
    EXPECT_NE(a->exhaust, nullptr);
    EXPECT_NE(a->vapour, nullptr);
    ASSERT_NE(a->contrail, nullptr);
    EXPECT_TRUE(a->contrail->isRegistered());
    EXPECT_NEAR(std::fabs(a->contrail->emitter(0).x), std::fabs(a->model()->contrailPoint().x), 1e-4f);
    run(30);
    a->setHealth(0.0f);
    run(2);
    EXPECT_FALSE(a->exhaust->active);   // a dying jet's flame is out
    a->setPositionAndStop({9000.0f, 3000.0f, 0.0f});
    a->resetForRespawn();
    EXPECT_TRUE(a->exhaust->active);
    EXPECT_NEAR(a->contrail->point(0, 5).position.x, 9000.0f, 20.0f);   // restarted where it respawned
}

TEST_F(EffectWiring, FlaresGoIntoThePoolAndTheAirplanesEndLetsThemGo)
{
    cfg.pFlares = 4;
    Airplane* a = jet(0, {0.0f, 3000.0f, 0.0f});
    ASSERT_TRUE(a->launchFlares());
    ASSERT_EQ(ParticleSystem::count(), 1u);
    run(20);
    host.remove(a);   // mid-salvo
    run(2);
    EXPECT_EQ(ParticleSystem::count(), 0u);
}

TEST_F(EffectWiring, OneBoomPerCrossingOfTheSoundBarrier)
{
    Airplane* a = jet(0, {0.0f, 3000.0f, 0.0f}, 330.0f);
    a->setThrottleCommand(1.0f);
    a->setCommandValue(true);
    for (int i = 0; i < 60 * 10 && !a->sonicBoom; ++i)
        run(1);
    ASSERT_NE(a->sonicBoom, nullptr);
    SonicBoom* first = a->sonicBoom;
    // Dropping below and crossing again while the boom lives makes no second one.
    a->setSpeed(300.0f);
    run(5);
    a->setSpeed(350.0f);
    run(5);
    EXPECT_EQ(a->sonicBoom, first);
    EXPECT_EQ(ParticleSystem::count(), 1u);
    run(60 * 4);
    EXPECT_EQ(a->sonicBoom, nullptr);   // gone after its three seconds
    host.remove(a);
    EXPECT_EQ(ParticleSystem::count(), 0u);
}

TEST_F(EffectWiring, GunSmokeOnAndOffLeavesThePoolEmpty)
{
    Airplane* a = jet(0, {0.0f, 3000.0f, 0.0f});
    WeaponCfg gun = testMissile(40, 0, 2);
    gun.reloadTime = 0.1f;
    ASSERT_TRUE(a->mountWeapon(gun, 0));
    auto* mg = dynamic_cast<Machinegun*>(a->weapon(0));
    ASSERT_NE(mg, nullptr);
    for (int i = 0; i < 10; ++i) {
        mg->setSmoke(true);
        EXPECT_NE(mg->smokeSystem(), nullptr);
        run(1);
        mg->setSmoke(false);
        EXPECT_EQ(ParticleSystem::count(), 0u) << i;
    }
    mg->setSmoke(true);
    ParticleSystem::deleteAll();   // a screen change: the gun forgets its system
    EXPECT_EQ(mg->smokeSystem(), nullptr);
}

TEST_F(EffectWiring, AGuidedMissileGetsATrailThatOutlivesIt)
{
    Airplane* shooter = jet(0, {0.0f, 3000.0f, 0.0f});
    Airplane* target = jet(1, {0.0f, 3000.0f, -1500.0f}, 300.0f);
    target->setFlares(0);
    const WeaponCfg seeker = testMissile(40, kWeaponAllAspect, 2);   // the weapon keeps a pointer to it
    ASSERT_TRUE(shooter->mountWeapon(seeker, 0));
    shooter->weapon(0)->updateTargeting(2.0f);
    shooter->controlInput(0, 1.0f);
    run(1);
    shooter->controlInput(0, 0.0f);
    ASSERT_EQ(host.missiles().count(), 1);
    MissileTrail* trail = host.missiles().at(0)->trail;
    ASSERT_NE(trail, nullptr);
    EXPECT_EQ(MissileTrail::count(), 1u);
    host.missiles().clear();   // any way a missile ends detaches its trail
    ASSERT_EQ(MissileTrail::count(), 1u);
    EXPECT_EQ(MissileTrail::at(0)->owner, nullptr);
    for (int i = 0; i < 90; ++i)
        MissileTrail::updateAll(0.05f);
    EXPECT_EQ(MissileTrail::count(), 0u);
}
}  // namespace
