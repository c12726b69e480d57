// One frame of flight for 64 airplanes in the deterministic host.
#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Steering.h"
#include "gamedata/records/PlaneCfg.h"
#include "support/entities/SimHost.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {
void flightStepOf64Airplanes(benchmark::State& state)
{
    PlaneCfg cfg;
    cfg.pMinSpeed = 107.0f;
    cfg.pSpeedSpan = 108.0f;
    cfg.pStallSpeed = 48.0f;
    cfg.pCruiseSpeed = 150.0f;
    SimHost host;
    std::vector<Airplane*> planes;
    for (int i = 0; i < 64; ++i) {
        Airplane* p = host.add(Target::create<Airplane>(host, cfg, i % 2, std::u16string()));
        p->setPositionAndStop({float(i % 8) * 500.0f, 3000.0f + float(i) * 10.0f, float(i / 8) * 500.0f});
        p->resetForRespawn();
        p->setSpeed(cfg.pCruiseSpeed);
        p->setControlType(static_cast<ControlType>(i % 3));
        p->setAimDirection({std::sin(float(i)), 0.1f, std::cos(float(i))});
        planes.push_back(p);
    }
    float t = 0.0f;
    for (auto _ : state) {
        t += 1.0f / 60.0f;
        for (std::size_t i = 0; i < planes.size(); ++i) {
            if (planes[i]->lifeState() != LifeState::Alive) {
                planes[i]->setPositionAndStop({0.0f, 3000.0f, 0.0f});
                planes[i]->resetForRespawn();
            }
            planes[i]->setControlVector({0.3f * std::sin(t + float(i)), 0.5f * std::cos(t * 0.7f), 0.2f});
        }
        host.step(1.0f / 60.0f);
        benchmark::DoNotOptimize(planes.front()->position());
    }
}
BENCHMARK(flightStepOf64Airplanes);
}  // namespace

BENCHMARK_MAIN();
