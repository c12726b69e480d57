#include "TestPlanes.h"

#include "entities/EntityIds.h"
#include "entities/ai/GroundTargetAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Steering.h"
#include "entities/ground/GroundTarget.h"
#include "entities/ground/SpecialGroundTarget.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/records/UnitCfg.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <list>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

WeaponCfg flakRecord()
{
    WeaponCfg w;
    w.name = "flak";
    w.weapon_id = 14;
    w.type = kWeaponFlak;
    w.damage = 20.0f;
    w.speed = 600.0f;
    w.reloadTime = 1.2f;
    w.numSlots = 1;
    w.spread = 0.03f;
    w.life = 6.0f;
    w.blastRadius = 25.0f;
    w.blastDamage = 20.0f;
    w.dmgAir = 0.012f;
    return w;
}

WeaponCfg gunRecord()
{
    WeaponCfg w;
    w.name = "turret";
    w.weapon_id = 3;
    w.type = kWeaponMachinegun;
    w.damage = 12.0f;
    w.speed = 900.0f;
    w.reloadTime = 0.1f;
    w.numSlots = 1;
    w.life = 1.5f;
    w.dmgAir = 0.012f;
    return w;
}

struct Ground : testing::Test {
    PlaneCfg cfg = testFighter();
    // Before the host: the units it holds unlink from their objects when deleted.
    std::list<MapObject> objects;
    SimHost host;
    MapObject& mapObject(const char* unit) { return objects.emplace_back(unit); }
    void SetUp() override
    {
        clearEntityIds();
        seedRandom(9, 4);
    }
    Airplane* plane(int team, const Vec3& at, float speed)
    {
        Airplane* a = host.add(Target::create<Airplane>(host, cfg, team, std::u16string(u"P")));
        a->setPositionAndStop(at);
        a->resetForRespawn();
        a->setSpeed(speed);
        a->setThrottleForSpeed(speed);
        return a;
    }
    float damageTo(const Target* victim, const Target* attacker) const
    {
        float sum = 0.0f;
        for (const SimHost::Hit& h : host.hits)
            if (h.victim == victim && h.attacker == attacker)
                sum += h.damage;
        return sum;
    }
    // A slow plane circling low over the point.
    void circle(Airplane& a, const Vec3& centre, float radius, float seconds)
    {
        for (int i = 0; i < static_cast<int>(seconds / kFrame); ++i) {
            Vec3 out = a.position() - centre;
            out.y = 0.0f;
            out = vec3NormalizeOr(out, Vec3{1, 0, 0});
            const Vec3 goal = centre + out * radius + Vec3{-out.z, 0.0f, out.x} * (radius * 0.7f);
            steerAirplaneTo(a, {goal.x, centre.y, goal.z}, a.record().pMinSpeed);
            host.step(kFrame);
        }
    }
};

TEST_F(Ground, FlakHitsASlowLowPlaneInRange)
{
    MapObject& object = mapObject("flakgun");
    object.team = 1;
    object.kind = 3;
    object.pos = {0, 0, 0};
    UnitCfg unit;
    unit.name = "flakgun";
    unit.kind = 3;
    unit.health = 120.0f;
    const WeaponCfg flak = flakRecord();
    auto* site = static_cast<GroundTarget*>(host.addTarget(Target::create<GroundTarget>(host, object, &unit)));
    ASSERT_NE(site, nullptr);
    ASSERT_TRUE(site->mountWeapon(flak, 0));
    EXPECT_EQ(object.entity, site);
    Airplane* a = plane(0, {800, 400, 0}, 110.0f);
    circle(*a, {0, 400, 0}, 900.0f, 30.0f);
    EXPECT_GT(damageTo(a, site), 0.0f);
}

TEST_F(Ground, TurretGunnerAimsAtTheLeadPointAndHits)
{
    MapObject& object = mapObject("tank");
    object.team = 1;
    UnitCfg unit;
    unit.kind = 3;
    const WeaponCfg gun = gunRecord();
    auto* tank = static_cast<GroundTarget*>(host.addTarget(Target::create<GroundTarget>(host, object, &unit)));
    ASSERT_TRUE(tank->mountWeapon(gun, 0));
    tank->setAIController(TargetAI::create(*tank, 1.0f));
    ASSERT_NE(dynamic_cast<GroundTargetAI*>(tank->aiController()), nullptr);
    Airplane* a = plane(0, {500, 300, 0}, 110.0f);
    circle(*a, {0, 300, 0}, 600.0f, 1.5f);
    EXPECT_EQ(static_cast<GroundTargetAI*>(tank->aiController())->aimedAt(), a);
    circle(*a, {0, 300, 0}, 600.0f, 6.0f);
    EXPECT_GT(damageTo(a, tank), 0.0f);
    // Out of range: the gunner stops.
    a->setPositionAndStop({20000, 3000, 0});
    a->resetForRespawn();
    for (int i = 0; i < 120; ++i)
        host.step(kFrame);
    EXPECT_FALSE(tank->weapon(0)->isFiring());
}

TEST_F(Ground, ShipsFollowTheirPathAndComeBackWhereTheMapPutThem)
{
    MapObject& object = mapObject("navalunit");
    object.team = 1;
    object.kind = 9;
    object.pos = {0, 0, 0};
    UnitCfg unit;
    unit.kind = 9;
    unit.speed = 10.0f;
    unit.gibs = 4;
    auto* ship = static_cast<GroundTarget*>(host.addTarget(Target::create<GroundTarget>(host, object, &unit)));
    EXPECT_TRUE(ship->isGroundTarget());
    EXPECT_TRUE(ship->matchesClass(TargetClass::Naval));
    EXPECT_FALSE(ship->matchesClass(TargetClass::Air));
    ship->setPath({{0, 0, 0}, {100, 0, 0}, {100, 0, 100}}, true);
    for (int i = 0; i < 60 * 15; ++i)
        host.step(kFrame);
    // 150 units along the closed path: on the second leg, heading +z.
    EXPECT_NEAR(ship->position().x, 100.0f, 1.0f);
    EXPECT_NEAR(ship->position().z, 50.0f, 2.0f);
    EXPECT_NEAR(ship->velocity().z, 10.0f, 0.1f);
    EXPECT_EQ(ship->gibsKind(), 4);
    EXPECT_GT(vec3Dot(ship->wreckVelocity(), ship->facing()), 0.0f);

    ship->onDestroyed(CrashCause::KilledByDamage);
    EXPECT_TRUE(ship->isGone());
    EXPECT_TRUE(object.isGone());
    ship->resetState();
    EXPECT_FALSE(ship->isGone());
    EXPECT_FLOAT_EQ(ship->health(), ship->maxHealth());
    EXPECT_NEAR(ship->position().x, 0.0f, 1e-3f);
}

TEST_F(Ground, ARemovedUnitLeavesItsMapObject)
{
    MapObject& object = mapObject("hangar");
    object.team = 0;
    UnitCfg unit;
    unit.kind = 2;
    Target* hangar = host.addTarget(Target::create<GroundTarget>(host, object, &unit));
    ASSERT_EQ(object.entity, static_cast<GroundTarget*>(hangar));
    EXPECT_EQ(TargetAI::create(*hangar, 0.5f), nullptr);  // nothing to shoot with: no gunner
    host.remove(hangar);
    EXPECT_EQ(object.entity, nullptr);
}

TEST_F(Ground, SwarmerHomesOnTheNearestEnemyAndRamsIt)
{
    MapObject& object = mapObject("swarmer");
    object.team = 1;
    object.kind = 1;
    object.pos = {0, 1000, 0};
    UnitCfg unit;
    unit.kind = 1;
    unit.variant = static_cast<int>(SpecialKind::Swarmer);
    auto* drone = static_cast<SpecialGroundTarget*>(
        host.addTarget(Target::create<SpecialGroundTarget>(host, object, &unit)));
    ASSERT_NE(drone, nullptr);
    EXPECT_EQ(drone->kind(), TargetKind::AirTarget);
    EXPECT_TRUE(drone->matchesClass(TargetClass::Air));
    Airplane* near = plane(0, {600, 1000, 0}, 0.0f);
    plane(0, {-3000, 1000, 0}, 0.0f);
    Airplane* own = plane(1, {100, 1000, 0}, 0.0f);
    (void)own;
    for (int i = 0; i < 60 * 10 && drone->isAlive(); ++i) {
        near->setPositionAndStop({600, 1000, 0});  // held still
        host.step(kFrame);
    }
    EXPECT_FALSE(drone->isAlive());
    EXPECT_FALSE(near->isAlive());
    EXPECT_EQ(near->deathCause, CrashCause::CollisionPair);
    EXPECT_EQ(near->lastAttacker, drone);
}
}  // namespace

#include "entities/ai/AirplaneAI.h"
#include "entities/ground/GroundTargets.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapLoader.h"
#include "gamedata/records/WeaponList.h"

namespace {
TEST_F(Ground, AnAttackerDivesOnItsGroundTargetAndPullsOut)
{
    MapObject& object = mapObject("hq");
    object.team = 1;
    object.kind = 2;
    object.pos = {0, 300, 0};
    UnitCfg unit;
    unit.kind = 2;
    unit.health = 400.0f;
    host.heightFunction = [](float, float) { return 300.0f; };
    Target* hq = host.addTarget(Target::create<GroundTarget>(host, object, &unit));
    WeaponCfg gun = gunRecord();
    gun.dmgLand = 1.3f;
    Airplane* a = plane(0, {-5000, 1800, 0}, 150.0f);
    ASSERT_TRUE(a->mountWeapon(gun, 0));
    a->setAIController(TargetAI::create(*a, 0.8f));
    auto& ai = static_cast<AirplaneAI&>(*a->aiController());
    ai.target = hq;
    for (int i = 0; i < 60 * 90; ++i)
        host.step(kFrame);
    EXPECT_GT(damageTo(hq, a), 0.0f);
    EXPECT_TRUE(host.crashes.empty());
}

TEST_F(Ground, TheWorldsObjectsBecomeGroundTargetsWithTheirWeaponsAndPaths)
{
    GameWorld world;
    world.init();
    ASSERT_TRUE(MapLoader::loadEdtText(world, R"(
MapObject { name "site" unit "nounit" kind 3 team 1 pos 100 0 0 }
MapObject { name "boat" unit "nounit" kind 9 team 1 pos 0 0 500 path "lane" }
MapObject { name "home" unit "nounit" kind 6 team 0 pos 0 0 0 }
MapObject { name "later" unit "nounit" kind 3 team 1 pos 0 0 0 spawn 1 }
MapObject { name "bot" unit "p51" kind 0 team 1 pos 0 900 0 }
MapWaypoint { path "lane" order 0 pos 0 0 500 }
MapWaypoint { path "lane" order 1 pos 1000 0 500 }
)",
                                       "test.edt"));
    WeaponList weapons;
    const auto made = createGroundTargets(host, world, weapons);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(made[0]->kind(), TargetKind::LandUnit);
    EXPECT_EQ(world.findObject("site")->entity, made[0].get());
    EXPECT_EQ(made[1]->path().size(), 2u);
    EXPECT_EQ(made[1]->mapObjectIndex, 1);
    EXPECT_EQ(world.findObject("home")->entity, nullptr);
}
}  // namespace
