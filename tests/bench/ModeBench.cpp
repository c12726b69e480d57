// One game mode frame of 64 airplanes with guns over flat land: the distance
// table, the entity pass with its crash checks, weapons and respawns; and the
// target searches that read the table; the draw classes after the camera.
#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/weapons/BulletPool.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/WeaponCfg.h"
#include "modes/GameMode.h"
#include "platform/Random.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {
constexpr float kFrame = 1.0f / 60.0f;
constexpr float kArena = 4000.0f;

struct Match {
    PlaneCfg cfg;
    WeaponCfg gun;
    GameMode mode{GameType::TeamDeathmatch};
    std::vector<Airplane*> planes;

    explicit Match(int count)
    {
        cfg.pMinSpeed = 107.0f;
        cfg.pSpeedSpan = 108.0f;
        gun.type = kWeaponMachinegun;
        gun.damage = 0.0f;  // nobody dies: every frame costs the same
        gun.speed = 900.0f;
        gun.life = 1.5f;
        for (int i = 0; i < count; ++i) {
            auto made = Target::create<Airplane>(mode, cfg, i % 2, std::u16string());
            Airplane* a = made.get();
            mode.addPlayerAirplane(std::move(made), false);
            a->setPositionAndStop({randRange(-kArena, kArena), randRange(1500.0f, 3000.0f), randRange(-kArena, kArena)});
            a->setSpeed(200.0f);
            (void)a->mountWeapon(gun, 0);
            planes.push_back(a);
        }
    }
};

void modeFrameOf64Airplanes(benchmark::State& state)
{
    clearEntityIds();
    BulletPool::instance().clear();
    seedRandom(3, 5);
    Match match(64);
    for (auto _ : state) {
        // Half the guns fire, so bullets are in the air as in a fight.
        for (std::size_t i = 0; i < match.planes.size(); i += 2)
            match.mode.applyAirplaneInput(*match.planes[i], 0, 1.0f);
        match.mode.update(kFrame);
    }
}
BENCHMARK(modeFrameOf64Airplanes)->Unit(benchmark::kMicrosecond);

void targetSearchesOf64Airplanes(benchmark::State& state)
{
    clearEntityIds();
    seedRandom(3, 5);
    Match match(64);
    match.mode.update(kFrame);
    for (auto _ : state)
        for (Airplane* a : match.planes)
            benchmark::DoNotOptimize(match.mode.findTargetDefault(a, 3000.0f, TargetClass::Air));
}
BENCHMARK(targetSearchesOf64Airplanes)->Unit(benchmark::kMicrosecond);

// The scene's pass after the camera moved: propellers turn, draw classes follow.
void distanceClassesOf64Airplanes(benchmark::State& state)
{
    clearEntityIds();
    seedRandom(3, 5);
    Match match(64);
    match.mode.update(kFrame);
    for (auto _ : state)
        match.mode.updateDistanceClasses(kFrame);
}
BENCHMARK(distanceClassesOf64Airplanes)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
