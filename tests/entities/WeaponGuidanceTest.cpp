// Lock cones and missile guidance: what separates the single-lock and
// multi-lock seekers, and how guided missiles follow a target.
#include "TestPlanes.h"

#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Missile.h"
#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/MissileSet.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"
#include "support/entities/TestWeapons.h"
#include "support/entities/WeaponScenarios.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

WeaponCfg record(int type, int slots = 2)
{
    return testMissile(41, type, slots);
}

struct Guidance : testing::Test {
    PlaneCfg cfg = testJet();
    SimHost host;

    void SetUp() override
    {
        clearEntityIds();
        seedRandom(3, 5);
    }
    Airplane* plane(int team, const Vec3& at, float speed = 250.0f)
    {
        Airplane* a = host.add(Target::create<Airplane>(host, cfg, team, std::u16string(u"p")));
        a->setPositionAndStop(at);
        a->resetForRespawn();
        Quat q;
        quatFromDirectionTo(q, Vec3{0.0f, 0.0f, -1.0f});
        a->setOrientation(q);
        a->setSpeed(speed);
        a->setThrottleForSpeed(speed);
        return a;
    }
};

TEST_F(Guidance, ATargetBetweenTheTwoConesIsTakenByTheMultiLockOnly)
{
    Airplane* a = plane(0, {0.0f, 2000.0f, 0.0f});
    Target* enemy = host.addTarget(std::make_unique<ScriptedTarget>(host, TargetKind::AirTarget, 1, 8.0f, 1.0f));
    // The weapons keep pointers to their records.
    const WeaponCfg seeker = record(kWeaponAllAspect);
    const WeaponCfg salvo = record(kWeaponMultiAir, 4);
    ASSERT_TRUE(a->mountWeapon(seeker, 0));
    ASSERT_TRUE(a->mountWeapon(salvo, 1));
    Weapon& single = *a->weapon(0);
    Weapon& multi = *a->weapon(1);
    // Angles off the nose: inside both cones, between them, outside both.
    const struct {
        float angle;
        bool singleTakes, multiTakes;
    } cases[] = {{0.2f, true, true}, {0.42f, false, true}, {0.6f, false, false}};
    for (const auto& c : cases) {
        enemy->setPosition({1500.0f * std::sin(c.angle), 2000.0f, -1500.0f * std::cos(c.angle)});
        single.updateTargeting(0.1f);
        multi.updateTargeting(0.1f);
        EXPECT_EQ(single.target() == enemy, c.singleTakes) << c.angle;
        EXPECT_EQ(multi.hasTarget(enemy), c.multiTakes) << c.angle;
    }
}

TEST_F(Guidance, AMissileTurnsTowardATargetFarOffItsNose)
{
    const WeaponCfg seeker = record(kWeaponAllAspect);
    // Beside the nose, and straight behind it (no line-of-sight turn to follow).
    for (const Vec3 offset : {Vec3{3000.0f, 0.0f, 0.0f}, Vec3{0.0f, 0.0f, 3000.0f}, Vec3{-2000.0f, 0.0f, 2000.0f}}) {
        clearEntityIds();
        Target* t = host.addTarget(std::make_unique<ScriptedTarget>(host, TargetKind::AirTarget, 1, 8.0f, 1.0f));
        const Vec3 start{0.0f, 3000.0f, 0.0f};
        t->setPosition(start + offset);
        MissileLaunch l;
        l.record = &seeker;
        l.host = &host;
        l.target = t;
        l.position = start;
        l.direction = {0.0f, 0.0f, -1.0f};
        std::unique_ptr<Missile> m = makeMissile(l);
        ASSERT_NE(m, nullptr);
        m->setAge(Missile::kLaunchAge);
        auto facing = [&] { return vec3Dot(m->direction(), vec3NormalizeOr(t->position() - m->position(), Vec3{})); };
        const float before = facing();
        for (int i = 0; i < 90; ++i)
            m->updateFlight(kFrame);
        EXPECT_GT(facing(), before + 0.5f) << offset.x << " " << offset.z;
        m.reset();
        host.remove(t);
    }
}

TEST_F(Guidance, ARadarMissilesTimeWithoutLockStartsAgainWhenTheLockComesBack)
{
    WeaponCfg radar = record(kWeaponRadarGuided);
    radar.lockTime = 0.05f;
    radar.speed = 200.0f;
    Airplane* shooter = plane(0, {0.0f, 3000.0f, 0.0f}, 100.0f);
    Target* t = host.addTarget(std::make_unique<ScriptedTarget>(host, TargetKind::AirTarget, 1, 8.0f, 1.0f));
    const Vec3 ahead{0.0f, 3000.0f, -2500.0f};
    const Vec3 aside{2000.0f, 3000.0f, -1500.0f};
    t->setPosition(ahead);
    ASSERT_TRUE(shooter->mountWeapon(radar, 0));
    shooter->weapon(0)->updateTargeting(1.0f);
    ASSERT_TRUE(shooter->weapon(0)->isLocked());
    shooter->controlInput(0, 1.0f);
    host.step(kFrame);
    shooter->controlInput(0, 0.0f);
    ASSERT_EQ(host.missiles().count(), 1);
    Missile* m = host.missiles().at(0);
    ASSERT_EQ(m->target(), t);
    auto run = [&](float seconds) {
        for (int i = 0; float(i) * kFrame < seconds; ++i)
            host.step(kFrame);
    };
    // Two spells without lock, each shorter than the grace, with the lock back between.
    t->setPosition(aside);
    run(0.35f);
    EXPECT_EQ(m->target(), t);
    t->setPosition(ahead);
    run(0.2f);
    ASSERT_TRUE(shooter->weapon(0)->isLocked());
    t->setPosition(aside);
    run(0.35f);
    EXPECT_EQ(m->target(), t) << "the time without lock was not started again";
    // A spell longer than the grace loses the target.
    run(0.3f);
    EXPECT_EQ(m->target(), nullptr);
}
}  // namespace
