// One weapons frame: 1024 bullets and 128 guided missiles among 64 airplanes;
// 128 torpedoes on lakes; the lock searches of a frame; and forgetting a
// removed target.
#include "entities/EntityIds.h"
#include "entities/EntityRemoval.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/BulletPool.h"
#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/MissileSet.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {
constexpr float kFrame = 1.0f / 60.0f;
constexpr float kArena = 4000.0f;

Vec3 somewhere() { return {randRange(-kArena, kArena), randRange(1000.0f, 3000.0f), randRange(-kArena, kArena)}; }

Vec3 anyDirection()
{
    Vec3 d{randRange(-1.0f, 1.0f), randRange(-0.3f, 0.3f), randRange(-1.0f, 1.0f)};
    if (vec3Dot(d, d) < 1e-4f)
        d = {0.0f, 0.0f, -1.0f};
    return vec3Normalize(d);
}

void weaponsFrameOf1024BulletsAnd128Missiles(benchmark::State& state)
{
    clearEntityIds();
    seedRandom(3, 5);
    PlaneCfg cfg;
    cfg.pMinSpeed = 107.0f;
    cfg.pSpeedSpan = 108.0f;
    SimHost host;
    std::vector<Airplane*> planes;
    for (int i = 0; i < 64; ++i) {
        Airplane* p = host.add(Target::create<Airplane>(host, cfg, i % 2, std::u16string()));
        p->setPositionAndStop(somewhere());
        p->setSpeed(200.0f);
        planes.push_back(p);
    }
    WeaponCfg gun;
    gun.type = kWeaponMachinegun;
    gun.damage = 0.0f;  // hits are tested, nobody dies
    gun.speed = 900.0f;
    gun.life = 1.5f;
    WeaponCfg seeker;
    seeker.type = kWeaponAllAspect;
    seeker.damage = 0.0f;
    seeker.speed = 500.0f;
    seeker.life = 1e6f;
    seeker.turnRate = 2.0f;
    BulletPool& pool = BulletPool::instance();
    auto topUp = [&] {
        while (pool.activeCount() < BulletPool::kCapacity) {
            Airplane* shooter = planes[static_cast<std::size_t>(randModulo(64))];
            pool.fire(shooter, shooter->team(), gun, somewhere(), anyDirection() * gun.speed);
        }
        while (host.missiles().count() < 128) {
            MissileLaunch l;
            l.record = &seeker;
            l.host = &host;
            l.owner = planes[static_cast<std::size_t>(randModulo(64))];
            l.target = planes[static_cast<std::size_t>(randModulo(64))];
            l.position = somewhere();
            l.direction = anyDirection();
            host.missiles().add(Missile::make<AllAspectMissile>(l));
        }
    };
    for (auto _ : state) {
        topUp();
        pool.beginFrame();
        host.missiles().update(kFrame);
        pool.update(kFrame, host);
        benchmark::DoNotOptimize(pool.hitsThisFrame());
        host.hits.clear();
    }
    host.missiles().clear();
    pool.clear();
}
BENCHMARK(weaponsFrameOf1024BulletsAnd128Missiles);

// A frame of 128 torpedoes running on three lakes above the sea: each asks
// the water's level under it as it moves and as it is checked.
void torpedoesFrameOf128OnLakes(benchmark::State& state)
{
    clearEntityIds();
    seedRandom(7, 11);
    struct Lake {
        float x, z, radius, level;
    };
    const Lake lakes[] = {{0.0f, 0.0f, 1300.0f, 1155.68f}, {2500.0f, 0.0f, 700.0f, 380.0f}, {0.0f, 2500.0f, 900.0f, 140.0f}};
    SimHost host;
    host.heightFunction = [&](float x, float z) {
        for (const Lake& l : lakes)
            if ((x - l.x) * (x - l.x) + (z - l.z) * (z - l.z) <= l.radius * l.radius)
                return l.level - 30.0f;
        return 2000.0f;
    };
    host.waterLevelFunction = [&](float x, float z) {
        float level = 0.0f;
        for (const Lake& l : lakes)
            if ((x - l.x) * (x - l.x) + (z - l.z) * (z - l.z) <= l.radius * l.radius)
                level = std::fmax(level, l.level);
        return level;
    };
    WeaponCfg torpedo;
    torpedo.type = kWeaponSimple;
    torpedo.subtype = SimpleMissile::Torpedo;
    torpedo.speed = 45.0f;
    torpedo.life = 1e6f;
    auto topUp = [&] {
        while (host.missiles().count() < 128) {
            MissileLaunch l;
            l.record = &torpedo;
            l.host = &host;
            // Dropped just above the first lake, anywhere on it, running any way.
            const float a = randRange(0.0f, 6.2831853f), r = randRange(0.0f, 1200.0f);
            l.position = {std::cos(a) * r, lakes[0].level + 0.5f, std::sin(a) * r};
            l.direction = anyDirection();
            l.platformVelocity = Vec3{l.direction.x, 0.0f, l.direction.z} * 150.0f;
            host.missiles().add(Missile::make<SimpleMissile>(l));
        }
    };
    for (auto _ : state) {
        topUp();
        host.missiles().update(kFrame);
        benchmark::DoNotOptimize(host.missiles().count());
    }
    host.missiles().clear();
}
BENCHMARK(torpedoesFrameOf128OnLakes);

// The lock searches of a frame: 64 airplanes, each with a single-target and a
// multi-target launcher, among 128 entities.
void lockSearchOf128Launchers(benchmark::State& state)
{
    clearEntityIds();
    seedRandom(9, 4);
    PlaneCfg cfg;
    SimHost host;
    WeaponCfg single;
    single.type = kWeaponAllAspect;
    single.lockRange = 3000.0f;
    single.lockTime = 1.0f;
    WeaponCfg multi = single;
    multi.type = kWeaponMultiAir;
    multi.numSlots = 4;
    std::vector<Airplane*> planes;
    for (int i = 0; i < 128; ++i) {
        Airplane* p = host.add(Target::create<Airplane>(host, cfg, i % 2, std::u16string()));
        p->setPositionAndStop(somewhere());
        Quat q;
        quatFromDirectionTo(q, anyDirection());
        p->setOrientation(q);
        if (i < 64) {
            p->mountWeapon(single, 0);
            p->mountWeapon(multi, 1);
        }
        planes.push_back(p);
    }
    for (auto _ : state) {
        for (Weapon* w : host.weapons)
            w->updateTargeting(kFrame);
        benchmark::DoNotOptimize(host.weapons.front()->target());
    }
}
BENCHMARK(lockSearchOf128Launchers);

// Forgetting one target in a full world: 255 other targets, 1024 bullets and
// 128 missiles are walked. A battle removes several targets in a frame.
void forgetOneTargetInAFullWorld(benchmark::State& state)
{
    clearEntityIds();
    seedRandom(5, 7);
    PlaneCfg cfg;
    SimHost host;
    std::vector<Airplane*> planes;
    while (targetIds().usedCount() < targetIds().kCapacity)
        planes.push_back(host.add(Target::create<Airplane>(host, cfg, 0, std::u16string())));
    WeaponCfg gun;
    gun.life = 100.0f;
    WeaponCfg seeker;
    seeker.life = 100.0f;
    for (int i = 0; i < BulletPool::kCapacity; ++i)
        BulletPool::instance().fire(planes[static_cast<std::size_t>(i) % planes.size()], 0, gun, somewhere(),
                                    anyDirection() * 900.0f);
    for (int i = 0; i < 128; ++i) {
        MissileLaunch l;
        l.record = &seeker;
        l.host = &host;
        l.owner = planes[static_cast<std::size_t>(i)];
        l.target = planes[static_cast<std::size_t>(i + 1)];
        l.position = somewhere();
        l.direction = anyDirection();
        host.missiles().add(Missile::make<AllAspectMissile>(l));
    }
    Airplane& gone = *planes[7];
    for (auto _ : state)
        forgetTarget(gone);
    host.missiles().clear();
}
BENCHMARK(forgetOneTargetInAFullWorld);
}  // namespace

BENCHMARK_MAIN();
