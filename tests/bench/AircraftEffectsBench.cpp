// The aircraft effects' per-frame cost in a busy sky: 128 pooled systems
// (flares, dust, gun smoke, booms), 128 missile trails and 32 contrails.
// The update needs no display; the draw runs when a GL context can be made:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/bench/aircraft_effects_bench
#include "effects/AircraftEffects.h"
#include "effects/EffectScene.h"
#include "effects/particles/AircraftParticles.h"
#include "effects/trails/AirplaneContrail.h"
#include "effects/trails/MissileTrail.h"
#include "effects/trails/Tracers.h"

#include "GlTestContext.h"
#include "support/effects/FakeAircraft.h"

#include "platform/File.h"
#include "platform/Random.h"
#include "render/Graphics.h"
#include "render/RenderBuffer.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

struct BusySky {
    std::array<FakeAirplane, 32> planes;
    std::array<FakeMissile, 128> missiles;
    std::array<FakeGun, 16> guns;
    std::vector<std::unique_ptr<AirplaneContrail>> contrails;
    std::array<SonicBoom*, 32> booms{};
    float time = 0.0f;

    BusySky()
    {
        seedRandom(1, 2);
        Mat4 projection;
        mat4Perspective(projection, 1.0f, 1.33f, 1.0f, 20000.0f);
        setEffectCamera({0.0f, 500.0f, 1500.0f}, Mat4{}, projection);
        ParticleSystem::deleteAll();
        MissileTrail::deleteAll();
        ParticleSystem::initParticleBuffers();
        MissileTrail::buildIndices();
        AirplaneContrail::loadResources();
        for (std::size_t i = 0; i < planes.size(); ++i) {
            FakeAirplane& p = planes[i];
            p.speed = 280.0f;
            p.contrailFactor = 1.0f;
            p.moveTo({float(i % 8) * 120.0f - 420.0f, 400.0f + float(i / 8) * 60.0f, -float(i) * 40.0f});
            contrails.push_back(std::make_unique<AirplaneContrail>(p, Vec3{5.0f, 0.0f, 2.0f}));
        }
        for (std::size_t i = 0; i < missiles.size(); ++i) {
            missiles[i].position = {float(i % 16) * 50.0f - 400.0f, 300.0f + float(i / 16) * 30.0f, -200.0f};
            missiles[i].direction = vec3NormalizeOr({1.0f, 0.1f, -0.5f}, {1, 0, 0});
            MissileTrail::create(missiles[i]);
        }
        // 96 flare salvos, 16 gun smokes, 16 booms: the pool full.
        for (int i = 0; i < 96; ++i)
            spawnPooled<Flares>(static_cast<const IAirplaneFx*>(&planes[static_cast<std::size_t>(i) % planes.size()]));
        for (std::size_t i = 0; i < guns.size(); ++i) {
            guns[i].airplane = &planes[i];
            guns[i].firing = true;
            spawnPooled<MachinegunSmoke>(static_cast<IGunFx*>(&guns[i]));
        }
        for (std::size_t i = 0; i < 16; ++i)
            spawnPooled<SonicBoom>(static_cast<const IAirplaneFx*>(&planes[16 + i]), &booms[i]);
        // Let everything fill up.
        for (int i = 0; i < 60; ++i)
            step(false);
    }
    ~BusySky()
    {
        ParticleSystem::deleteAll();
        MissileTrail::deleteAll();
    }
    void step(bool keepFull)
    {
        time += kFrame;
        for (std::size_t i = 0; i < planes.size(); ++i) {
            FakeAirplane& p = planes[i];
            const float a = time * 0.5f + float(i);
            p.direction = {std::cos(a), 0.0f, std::sin(a)};
            p.velocity = p.direction * p.speed;
            p.moveTo(p.fxPosition() + p.velocity * kFrame);
        }
        for (FakeMissile& m : missiles)
            m.position = m.position + m.direction * (600.0f * kFrame);
        MissileTrail::updateAll(kFrame);
        AirplaneContrail::updateAll(kFrame);
        ParticleSystem::updateAll(kFrame);
        // Salvos and booms end; new ones start so the pool stays busy.
        while (keepFull && ParticleSystem::count() < ParticleSystem::kCapacity)
            spawnPooled<Flares>(static_cast<const IAirplaneFx*>(&planes[ParticleSystem::count() % planes.size()]));
    }
};

void BM_UpdateBusySky(benchmark::State& state)
{
    BusySky sky;
    for (auto _ : state)
        sky.step(true);
    state.counters["pooled"] = double(ParticleSystem::count());
    state.counters["trails"] = double(MissileTrail::count());
    state.counters["contrails"] = double(AirplaneContrail::count());
}
BENCHMARK(BM_UpdateBusySky)->Unit(benchmark::kMicrosecond);

void BM_DrawBusySky(benchmark::State& state)
{
    GlTestContext* context = GlTestContext::instance();
    if (!context) {
        state.SkipWithError("no GL context");
        return;
    }
    setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
    Graphics& g = context->device();
    RenderBuffer target;
    if (!target.createTexture(TextureFormat::Rgba8, 640, 480, kClampSampler)) {
        state.SkipWithError("no render target");
        return;
    }
    g.setRenderTarget(&target);
    AircraftEffects::load();
    BusySky sky;
    Mat4 projection;
    mat4Perspective(projection, 1.0f, 1.33f, 1.0f, 20000.0f);
    Mat4 view;
    mat4Translate(view, 0.0f, -500.0f, -1500.0f);
    g.setProjectionMatrix(projection);
    g.setViewMatrix(view);
    setEffectCamera({0.0f, 500.0f, 1500.0f}, view, projection);
    for (auto _ : state) {
        g.clear();
        for (int i = 0; i < 200; ++i)
            Tracers::add({{float(i) * 4.0f, 400.0f, -100.0f}, {float(i) * 4.0f + 3.0f, 401.0f, -106.0f}});
        AircraftEffects::draw(projection, projection);
        Tracers::begin();
        std::vector<std::uint8_t> px;
        g.readPixels(0, 0, 1, 1, px);   // wait for the frame
    }
    AircraftEffects::release();
    g.setRenderTarget(nullptr);
}
BENCHMARK(BM_DrawBusySky)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
