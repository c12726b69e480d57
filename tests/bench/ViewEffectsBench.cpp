// The per-frame CPU cost of the view effects at the top tier: the sun glare,
// heavy rain and the speed streaks together, and 32 live wrecks tumbling.
// No display needed:  build/tests/bench/view_effects_bench
#include "effects/EffectList.h"
#include "effects/EffectScene.h"
#include "effects/screen/SpeedStreaks.h"
#include "effects/screen/SunGlare.h"
#include "effects/screen/Weather.h"
#include "effects/world/Gibs.h"
#include "platform/Random.h"
#include "render/assets/GlmFormat.h"
#include "render/assets/Model.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {
void BM_GlareRainAndStreaksFrame(benchmark::State& state)
{
    setEffectQualityOverride(3, true);
    seedRandom(1, 2);
    Mat4 view, projection;
    mat4Perspective(projection, 1.0f, 1.5f, 1.0f, 100000.0f);
    setEffectCamera({}, view, projection);
    SunGlare::load();
    Weather::load(1.5f);
    SpeedStreaks::load({}, 1.5f);
    SunGlare::Input sun;
    sun.lightDirection = {0.3f, 0.2f, -0.9f};
    SpeedStreaks::Input fly;
    fly.active = true;
    fly.speed = 250.0f;
    const Weather::View inAir{true, false};
    float t = 0.0f;
    for (auto _ : state) {
        t += 1.0f / 60.0f;
        fly.time = t;
        fly.plane.m[14] -= 250.0f / 60.0f;
        SunGlare::update(sun, 1.0f / 60.0f);
        Weather::update(1, 1.0f, 1.0f / 60.0f);
        benchmark::DoNotOptimize(Weather::render(1, 1.0f, inAir));
        SpeedStreaks::update(fly, 1.0f / 60.0f);
    }
    setEffectQualityOverride(-1, false);
}
BENCHMARK(BM_GlareRainAndStreaksFrame);

// A gibs model of eight pieces, as the data tool makes them.
Model* debrisModel()
{
    GlmFile file;
    GlmObject object;
    object.name = "bench_gibs";
    object.nodeCount = 8;
    object.boundsMax = {4.0f, 4.0f, 4.0f};
    file.objects.push_back(object);
    for (int k = 0; k < 8; ++k) {
        GlmNode node;
        node.name = (k < 3 ? "body" : "gib") + std::to_string(k);
        mat4Translate(node.matrix, static_cast<float>(k), 0.0f, 0.0f);
        node.size = 2.0f;
        file.nodes.push_back(node);
    }
    return Model::create("bench_gibs", file, 0, 0, "data/models");
}

void BM_ThirtyTwoWrecksUpdate(benchmark::State& state)
{
    clearEffects();
    std::unique_ptr<Model> model(debrisModel());
    if (!model) {
        state.SkipWithError("no model");
        return;
    }
    seedRandom(3, 4);
    std::vector<Gibs*> wrecks;
    for (int i = 0; i < 32; ++i) {
        Gibs* g = Gibs::createWith(model.get(), i % 2 ? GibsKind::Vehicle : GibsKind::PlaneGround);
        Mat4 m;
        mat4Translate(m, static_cast<float>(i) * 20.0f, 100.0f, 0.0f);
        g->start(m, {0.0f, 1.0f, 0.0f}, {0.0f, 20.0f, 0.0f}, 1);
        wrecks.push_back(g);
    }
    for (auto _ : state) {
        for (Gibs* g : wrecks) {
            g->update(1.0f / 60.0f);
            if (g->age > 4.0f)
                g->age = 0.0f;   // keep them all alive
        }
    }
    for (Gibs* g : wrecks)
        delete g;
    clearEffects();
}
BENCHMARK(BM_ThirtyTwoWrecksUpdate);
}  // namespace
BENCHMARK_MAIN();
