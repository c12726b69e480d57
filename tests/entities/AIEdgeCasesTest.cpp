#include "TestPlanes.h"

#include "entities/EntityIds.h"
#include "entities/ai/AirplaneAI.h"
#include "entities/ai/GroundTargetAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/records/UnitCfg.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <list>

// The pilots' and gunners' rules at their edges: ground ahead just inside
// and just outside the look-ahead, the hold before a recovering pilot gets
// the stick back, targets of no team, and how far a gunner's aim strays
// with its skill.
namespace {
constexpr float kFrame = 1.0f / 60.0f;

Quat facing(const Vec3& direction)
{
    Quat q;
    Vec3 d = direction;
    quatFromDirectionTo(q, vec3Normalize(d));
    return q;
}

struct AIEdges : testing::Test {
    PlaneCfg cfg = testFighter();
    std::list<MapObject> objects;  // before the host: units unlink from them when deleted
    SimHost host;
    float wallAt = 1e9f;     // z beyond which (northwards, -z) the ground rises
    float wallHeight = 0.0f;

    void SetUp() override
    {
        clearEntityIds();
        seedRandom(7, 3);
        host.heightFunction = [this](float, float z) { return -z >= wallAt ? wallHeight : 0.0f; };
    }
    Airplane* plane(int team, const Vec3& at, const Vec3& direction, float speed = 150.0f)
    {
        Airplane* a = host.add(Target::create<Airplane>(host, cfg, team, std::u16string(u"AI")));
        a->setPositionAndStop(at);
        a->resetForRespawn();
        a->setOrientation(facing(direction));
        a->setSpeed(speed);
        a->setThrottleForSpeed(speed);
        return a;
    }
    AirplaneAI& pilot(Airplane& a, float skill)
    {
        a.setAIController(std::make_unique<AirplaneAI>(a, skill));
        a.aiPilot = true;
        return static_cast<AirplaneAI&>(*a.aiController());
    }
};

}  // namespace

// Level flight at 1000 m towards a ridge of 1200 m: the pilot pulls up when
// the ridge comes within the look-ahead along its heading, not before.
TEST_F(AIEdges, ARidgeAheadIsSeenWithinTheLookAheadAndNotBeyondIt)
{
    wallHeight = 1200.0f;
    const float speed = 150.0f;
    const float reach = speed * AirplaneAI::kLookAhead;
    wallAt = reach + 100.0f;  // just beyond the look-ahead
    Airplane* a = plane(0, {0.0f, 1000.0f, 0.0f}, {0.0f, 0.0f, -1.0f}, speed);
    AirplaneAI& ai = pilot(*a, 0.5f);
    ai.update(kFrame);
    EXPECT_NE(ai.state(), Manoeuvre::Recover);
    EXPECT_EQ(ai.terrainSaves(), 0);

    wallAt = reach - 100.0f;  // now within it: only its last second sees it
    ai.update(kFrame);
    EXPECT_EQ(ai.state(), Manoeuvre::Recover);
    EXPECT_EQ(ai.terrainSaves(), 1);
    ai.update(kFrame);
    EXPECT_EQ(ai.terrainSaves(), 1) << "one save per danger, not per frame";
    for (int i = 0; i < 600; ++i)
        host.step(kFrame);
    EXPECT_TRUE(host.crashes.empty());
    EXPECT_GT(a->position().y, 1000.0f);
}

// Clear of the ground, the pilot keeps recovering one second more; danger
// during that second starts the second again.
TEST_F(AIEdges, ARecoveringPilotWaitsOneClearSecondAndDangerStartsItAgain)
{
    wallHeight = 1200.0f;
    wallAt = 100.0f;
    Airplane* a = plane(0, {0.0f, 1000.0f, 0.0f}, {0.0f, 0.0f, -1.0f});
    AirplaneAI& ai = pilot(*a, 0.5f);
    ai.update(kFrame);
    ASSERT_EQ(ai.state(), Manoeuvre::Recover);

    wallHeight = 0.0f;  // the ridge is gone: clear from now on
    int frames = 0;
    for (int i = 0; i < 30; ++i, ++frames)
        ai.update(kFrame);
    EXPECT_EQ(ai.state(), Manoeuvre::Recover) << "half a second clear";
    wallHeight = 1200.0f;
    ai.update(kFrame);  // danger again
    wallHeight = 0.0f;
    frames = 0;
    while (ai.state() == Manoeuvre::Recover && frames < 600) {
        ai.update(kFrame);
        ++frames;
    }
    // A full second from the last danger (a frame either way for rounding).
    EXPECT_GE(frames, 59);
    EXPECT_LE(frames, 61);
    EXPECT_NE(ai.state(), Manoeuvre::Recover);
    EXPECT_NE(ai.state(), Manoeuvre::Evade);
    EXPECT_EQ(ai.terrainSaves(), 1) << "the danger came while still recovering";
}

// An airplane of no team is nobody's enemy: neither a pilot nor a gunner
// takes it on, while an enemy as near is taken on.
TEST_F(AIEdges, TargetsOfNoTeamAreNeverTakenOn)
{
    Airplane* hunter = plane(0, {0.0f, 2000.0f, 0.0f}, {0.0f, 0.0f, -1.0f});
    Airplane* neutral = plane(kTeamNone, {0.0f, 2000.0f, -800.0f}, {0.0f, 0.0f, -1.0f});
    AirplaneAI& ai = pilot(*hunter, 1.0f);
    for (int i = 0; i < 240; ++i)
        host.step(kFrame);
    EXPECT_NE(ai.engaged(), neutral);
    EXPECT_NE(ai.state(), Manoeuvre::Attack);

    MapObject& object = objects.emplace_back("tank");
    object.team = 1;
    UnitCfg unit;
    unit.kind = 3;
    WeaponCfg gun;
    gun.name = "turret";
    gun.weapon_id = 3;
    gun.type = kWeaponMachinegun;
    gun.damage = 12.0f;
    gun.speed = 900.0f;
    gun.reloadTime = 0.1f;
    gun.numSlots = 1;
    gun.life = 1.5f;
    auto* tank = static_cast<GroundTarget*>(host.addTarget(Target::create<GroundTarget>(host, object, &unit)));
    ASSERT_TRUE(tank->mountWeapon(gun, 0));
    tank->setAIController(TargetAI::create(*tank, 1.0f));
    auto* gunner = static_cast<GroundTargetAI*>(tank->aiController());
    neutral->setPositionAndStop({300.0f, 400.0f, 0.0f});
    neutral->resetForRespawn();
    tank->aiController()->update(kFrame);
    EXPECT_EQ(gunner->aimedAt(), nullptr);
    EXPECT_FALSE(tank->weapon(0)->isFiring());

    Airplane* enemy = plane(0, {0.0f, 400.0f, 300.0f}, {1.0f, 0.0f, 0.0f});
    for (int i = 0; i < 90; ++i)
        tank->aiController()->update(kFrame);
    EXPECT_EQ(gunner->aimedAt(), enemy);
    EXPECT_TRUE(tank->weapon(0)->isFiring());
}

// A gunner of full skill aims on the lead point; the less skilled, the wider
// it strays, up to 0.03 rad a component at no skill.
TEST_F(AIEdges, AGunnersAimStraysWithLessSkillAndNotAtFull)
{
    WeaponCfg gun;
    gun.name = "turret";
    gun.weapon_id = 3;
    gun.type = kWeaponMachinegun;
    gun.damage = 12.0f;
    gun.speed = 900.0f;
    gun.reloadTime = 0.1f;
    gun.numSlots = 1;
    gun.life = 1.5f;
    Airplane* enemy = plane(0, {0.0f, 500.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, 0.0f);
    enemy->setSpeed(0.0f);
    float mean[2] = {0.0f, 0.0f};
    float worst[2] = {0.0f, 0.0f};
    for (int s = 0; s < 2; ++s) {
        MapObject& object = objects.emplace_back("tank");
        object.team = 1;
        object.pos = {0.0f, 0.0f, 0.0f};
        UnitCfg unit;
        unit.kind = 3;
        auto* tank = static_cast<GroundTarget*>(host.addTarget(Target::create<GroundTarget>(host, object, &unit)));
        ASSERT_TRUE(tank->mountWeapon(gun, 0));
        tank->setAIController(TargetAI::create(*tank, s == 0 ? 1.0f : 0.0f));
        Weapon* w = tank->weapon(0);
        for (int i = 0; i < 200; ++i) {
            tank->aiController()->update(kFrame);
            const Vec3 from = w->mountPosition(0);
            const Vec3 exact = vec3NormalizeOr(enemy->position() - from, Vec3{0.0f, 1.0f, 0.0f});
            const float off = std::acos(std::clamp(vec3Dot(exact, vec3NormalizeOr(w->fireDirection(), exact)), -1.0f, 1.0f));
            mean[s] += off / 200.0f;
            worst[s] = std::max(worst[s], off);
        }
        host.remove(tank);
        host.deleteRemoved();
    }
    EXPECT_LT(worst[0], 0.002f) << "full skill";
    EXPECT_GT(mean[1], 0.008f) << "no skill strays";
    EXPECT_LT(worst[1], 0.03f * std::sqrt(3.0f) + 0.002f) << "but no more than its error";
}

// A gun reaches nine tenths of its bullets' flight: an enemy just beyond that
// is not aimed at, one just inside is.
TEST_F(AIEdges, AGunnerAimsOnlyWithinItsGunsReach)
{
    WeaponCfg gun;
    gun.name = "turret";
    gun.weapon_id = 3;
    gun.type = kWeaponMachinegun;
    gun.speed = 900.0f;
    gun.reloadTime = 0.1f;
    gun.numSlots = 1;
    gun.life = 1.5f;
    const float reach = 900.0f * 1.5f * 0.9f;
    MapObject& object = objects.emplace_back("tank");
    object.team = 1;
    UnitCfg unit;
    unit.kind = 3;
    auto* tank = static_cast<GroundTarget*>(host.addTarget(Target::create<GroundTarget>(host, object, &unit)));
    ASSERT_TRUE(tank->mountWeapon(gun, 0));
    tank->setAIController(TargetAI::create(*tank, 1.0f));
    auto* gunner = static_cast<GroundTargetAI*>(tank->aiController());
    Airplane* enemy = plane(0, {reach + 60.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f}, 0.0f);
    for (int i = 0; i < 90; ++i)
        gunner->update(kFrame);
    EXPECT_EQ(gunner->aimedAt(), nullptr);
    EXPECT_FALSE(tank->weapon(0)->isFiring());
    enemy->setPositionAndStop({reach - 60.0f, 0.0f, 0.0f});
    for (int i = 0; i < 90; ++i)
        gunner->update(kFrame);
    EXPECT_EQ(gunner->aimedAt(), enemy);
    // Leaving the reach, it is let go at once, not at the next search.
    enemy->setPositionAndStop({reach + 60.0f, 0.0f, 0.0f});
    gunner->update(kFrame);
    EXPECT_EQ(gunner->aimedAt(), nullptr);
}
