// One game mode frame of a busy match: 16 AI airplanes, 64 ground units with
// their gunners and 1024 bullets in the air, over flat land without a window.
#include "entities/EntityIds.h"
#include "entities/ai/TargetAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/weapons/BulletPool.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/UnitCfg.h"
#include "gamedata/records/WeaponCfg.h"
#include "modes/GameMode.h"
#include "platform/Random.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <vector>

namespace {
constexpr float kFrame = 1.0f / 60.0f;
constexpr float kArena = 4000.0f;
constexpr int kBullets = 1024;

struct BusyMatch {
    PlaneCfg cfg;
    UnitCfg unit;
    WeaponCfg gun;
    std::deque<MapObject> objects;
    GameMode mode{GameType::TeamDeathmatch};
    std::vector<Airplane*> planes;

    BusyMatch()
    {
        cfg.pMinSpeed = 107.0f;
        cfg.pSpeedSpan = 108.0f;
        cfg.pCruiseSpeed = 150.0f;
        gun.type = kWeaponMachinegun;
        gun.damage = 0.0f;  // nobody dies: every frame costs the same
        gun.speed = 900.0f;
        gun.life = 3.0f;
        unit.kind = 3;
        for (int i = 0; i < 16; ++i) {
            auto made = Target::create<Airplane>(mode, cfg, i % 2, std::u16string());
            Airplane* a = made.get();
            mode.addPlayerAirplane(std::move(made), false);
            a->setPositionAndStop({randRange(-kArena, kArena), randRange(1500.0f, 3000.0f), randRange(-kArena, kArena)});
            a->setSpeed(200.0f);
            (void)a->mountWeapon(gun, 0);
            mode.attachAI(*a, 0.8f, true);
            planes.push_back(a);
        }
        for (int i = 0; i < 64; ++i) {
            MapObject& object = objects.emplace_back();
            object.team = i % 2;
            object.pos = {randRange(-kArena, kArena), 0.0f, randRange(-kArena, kArena)};
            auto made = Target::create<GroundTarget>(mode, object, &unit);
            GroundTarget* g = made.get();
            mode.addPlayerAirplane(std::move(made), false);
            (void)g->mountWeapon(gun, 0);
            g->setAIController(TargetAI::create(*g, 0.8f));
        }
    }
    // Tops the air up to the bullet count with rounds flying away from everyone.
    void refillBullets()
    {
        BulletPool& pool = BulletPool::instance();
        for (int i = pool.activeCount(); i < kBullets; ++i) {
            const Vec3 at{randRange(-kArena, kArena), randRange(500.0f, 3000.0f), randRange(-kArena, kArena)};
            (void)pool.fire(nullptr, kTeamNone, gun, at, {0.0f, 900.0f, 0.0f});
        }
    }
};

void modeFrameOfABusyMatch(benchmark::State& state)
{
    clearEntityIds();
    BulletPool::instance().clear();
    seedRandom(11, 13);
    BusyMatch match;
    for (auto _ : state) {
        state.PauseTiming();
        match.refillBullets();
        state.ResumeTiming();
        match.mode.update(kFrame);
    }
    state.counters["bullets"] = BulletPool::instance().activeCount();
    state.counters["entities"] = static_cast<double>(match.mode.activeTargets().size());
}
BENCHMARK(modeFrameOfABusyMatch)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
