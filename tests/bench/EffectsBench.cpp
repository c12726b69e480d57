// The particle systems' per-frame cost with the whole pool of 4096 alive:
// the update (stepping, bounding boxes, sorting) and the draw into the pass
// batches. No display needed:  build/tests/bench/effects_bench
#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"
#include "effects/particles/ParticleBatches.h"
#include "platform/CSerializable.h"
#include "platform/Random.h"
#include "render/fx/ParticleSprites.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {
// Sixteen smoke columns of 256 long-lived particles each: the pool full.
struct FullPool {
    PConfig config;
    FullPool()
    {
        std::string error;
        const bool read = readRecord(
            "PConfig { sizeScale 128 groups [ PGroup { countMin 256 countMax 256 spawnInterval 0.0001 "
            "animIdMin 0 animIdMax 1 angleMin 0 angleMax 30 gravity 0 0.001 0 priority 0.9 stages [ "
            "PStage { blend NORM sizeMin 2 sizeMax 3 lifeMin 1000 speedMin 2 speedMax 4 rotSpeedMin -20 "
            "rotSpeedMax 20 colorMin 60 60 60 200 } PStage { sizeMin 12 colorMin 120 120 120 0 } ] } ] }",
            "bench", config, error);
        if (!read)
            throw std::runtime_error(error);
        config.buildEmitters();
        ParticleAtlas atlas;
        atlas.animations = {{{0.0f, 0.0f, 0.5f, 0.5f}, {0.5f, 0.0f, 1.0f, 0.5f}}, {{0.0f, 0.5f, 0.5f, 1.0f}}};
        useParticleSheet(atlas, nullptr);
        Mat4 view, projection;
        mat4Perspective(projection, 1.0f, 1.33f, 1.0f, 5000.0f);
        setEffectCamera({0.0f, 20.0f, 200.0f}, view, projection);
        seedRandom(5, 6);
        clearEffects();
        for (int i = 0; i < 16; ++i) {
            auto* system = new PSystem(&config, {0.0f, 1.0f, 0.0f});
            system->setPosition(static_cast<float>(i % 4) * 40.0f - 60.0f, 0.0f, static_cast<float>(i / 4) * -40.0f);
            addEffect(system);
        }
        updateEffects(0.1f);
    }
    ~FullPool() { clearEffects(); }
};

void BM_UpdateFullPool(benchmark::State& state)
{
    FullPool pool;
    for (auto _ : state) {
        effectScene().visibleParticles = 0;
        updateEffects(1.0f / 60.0f);
    }
    state.counters["particles"] = liveParticleCount();
}
BENCHMARK(BM_UpdateFullPool)->Unit(benchmark::kMicrosecond);

void BM_DrawFullPool(benchmark::State& state)
{
    FullPool pool;
    int quads = 0;
    for (auto _ : state) {
        drawParticleBatches();
        drawEffects(2);
        drawEffects(1);
        drawEffects(0);
        quads = particleBatchCount(1) + particleBatchCount(2);
        benchmark::DoNotOptimize(quads);
    }
    state.counters["quads"] = quads;
}
BENCHMARK(BM_DrawFullPool)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
