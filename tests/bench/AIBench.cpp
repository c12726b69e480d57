// The AI pilots' share of a frame: 32 airplanes in two teams, each under an
// AI pilot that searches, chases and watches the ground, over hilly land.
#include "entities/EntityIds.h"
#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneCfg.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {
void aiFrameOf32Pilots(benchmark::State& state)
{
    clearEntityIds();
    seedRandom(1, 2);
    PlaneCfg cfg;
    cfg.pMinSpeed = 107.0f;
    cfg.pSpeedSpan = 108.0f;
    cfg.pStallSpeed = 48.0f;
    cfg.pCruiseSpeed = 150.0f;
    SimHost host;
    host.heightFunction = [](float x, float z) { return 600.0f + 500.0f * std::sin(x * 0.001f) * std::cos(z * 0.001f); };
    std::vector<Airplane*> planes;
    for (int i = 0; i < 32; ++i) {
        Airplane* p = host.add(Target::create<Airplane>(host, cfg, i % 2, std::u16string()));
        p->setPositionAndStop({float(i % 8) * 700.0f, 2500.0f + float(i) * 20.0f, float(i / 8) * 700.0f});
        p->resetForRespawn();
        p->setSpeed(cfg.pCruiseSpeed);
        p->setAIController(std::make_unique<AirplaneAI>(*p, float(i % 11) / 10.0f));
        planes.push_back(p);
    }
    const float dt = 1.0f / 60.0f;
    for (auto _ : state) {
        for (Airplane* p : planes)
            if (p->aiController() && p->isAlive())
                p->aiController()->update(dt);
        benchmark::ClobberMemory();
        // Move the world on now and then so that the pilots see new situations.
        state.PauseTiming();
        host.step(dt);
        for (Airplane* p : planes)
            if (!p->isAlive()) {
                p->setPositionAndStop({0.0f, 2500.0f, 0.0f});
                p->resetForRespawn();
            }
        state.ResumeTiming();
    }
}
BENCHMARK(aiFrameOf32Pilots);
}  // namespace

BENCHMARK_MAIN();
