// The model checks of contacts and blasts on the staged destroyer: a frame
// with an airplane (an A-10) low over its deck (both models' triangle tests
// run every frame) against the same frame far from it, and the single tests.
#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/ground/Tunnel.h"
#include "entities/weapons/AreaDamage.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/map/MapLoader.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/UnitCfg.h"
#include "modes/GameMode.h"
#include "platform/Pak.h"
#include "render/assets/CollisionMesh.h"
#include "render/assets/Model.h"
#include "render/world/PropsGrid.h"
#include "platform/Random.h"
#include "render/FakePropWorld.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {
constexpr float kFrame = 1.0f / 60.0f;
// Over the after deck, inside the model's box, clear of the model.
const Vec3 kOverDeck{0.0f, 12.0f, 45.0f};

const Model& destroyer()
{
    static const Model* model = [] {
        const Model* m = mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak") ? loadModel("data/models/destroyer.glm") : nullptr;
        if (!m) {
            std::fprintf(stderr, "the staged destroyer model does not load: build the data target\n");
            std::exit(1);
        }
        return m;
    }();
    return *model;
}

struct ShipAndAirplane {
    PlaneCfg cfg;
    UnitCfg unit;
    MapObject object;
    GameMode mode{GameType::TeamDeathmatch};
    GroundTarget* ship = nullptr;
    Airplane* airplane = nullptr;

    ShipAndAirplane()
    {
        cfg.pMinSpeed = 107.0f;
        cfg.pSpeedSpan = 108.0f;
        cfg.file = "data/planes/a10/a10_ful.glm";
        unit.kind = 9;
        object.team = 1;
        object.modelData = const_cast<Model*>(&destroyer());
        auto madeShip = Target::create<GroundTarget>(mode, object, &unit);
        ship = madeShip.get();
        mode.addPlayerAirplane(std::move(madeShip), false);
        auto madePlane = Target::create<Airplane>(mode, cfg, 0, std::u16string());
        airplane = madePlane.get();
        mode.addPlayerAirplane(std::move(madePlane), false);
    }
};

void frame(benchmark::State& state, const Vec3& at)
{
    clearEntityIds();
    ShipAndAirplane world;
    int crashes = 0;
    for (auto _ : state) {
        world.airplane->setPositionAndStop(at);
        world.mode.update(kFrame);
        crashes += world.airplane->deathCause != CrashCause::None;
    }
    state.counters["crashes"] = crashes;
}

void frameLowOverTheDeck(benchmark::State& state) { frame(state, kOverDeck); }
BENCHMARK(frameLowOverTheDeck)->Unit(benchmark::kMicrosecond);

void frameFarFromTheShip(benchmark::State& state) { frame(state, {0.0f, 500.0f, 2000.0f}); }
BENCHMARK(frameFarFromTheShip)->Unit(benchmark::kMicrosecond);

// The worst single test: inside the box, so every triangle is looked at.
void modelTestOverTheDeck(benchmark::State& state)
{
    const Model& model = destroyer();
    for (auto _ : state)
        benchmark::DoNotOptimize(modelTouches(model, kOverDeck, 4.0f));
    state.counters["triangles"] = static_cast<double>(model.collisionTriangles().size());
}
BENCHMARK(modelTestOverTheDeck);

void modelTestOffTheBox(benchmark::State& state)
{
    const Model& model = destroyer();
    for (auto _ : state)
        benchmark::DoNotOptimize(modelTouches(model, {0.0f, 40.0f, 45.0f}, 4.0f));
}
BENCHMARK(modelTestOffTheBox);

void blastOverTheDeck(benchmark::State& state)
{
    clearEntityIds();
    ShipAndAirplane world;
    world.airplane->setPositionAndStop({0.0f, 500.0f, 2000.0f});
    for (auto _ : state)
        benchmark::DoNotOptimize(applyAreaDamage(world.mode, nullptr, 0, kOverDeck, 4.0f, 1.0f, nullptr, nullptr));
}
BENCHMARK(blastOverTheDeck);
// A missile's frame against the props: its path (10.6 units at 640 units a
// second) walked in steps of the 3-unit hit sphere, low over a town of 2000
// buildings; 64 missiles a frame.
void missilePathsThroughATown(benchmark::State& state)
{
    FakeBoxShape house{{-10, 0, -10}, {10, 12, 10}, "building.pvr"};
    FakePropWorld world;
    seedRandom(3, 5);
    for (int i = 0; i < 2000; ++i)
        world.add(&house, {randRange(-4000.0f, 4000.0f), 0.0f, randRange(-4000.0f, 4000.0f)}, randRange(0.0f, 6.0f));
    PropsGrid grid;
    grid.build(world);
    std::vector<Vec3> from;
    for (int i = 0; i < 64; ++i)
        from.push_back({randRange(-4000.0f, 4000.0f), randRange(2.0f, 14.0f), randRange(-4000.0f, 4000.0f)});
    const Vec3 step{0.0f, 0.0f, -10.6f};
    const int samples = static_cast<int>(10.6f / 3.0f) + 1;
    int hits = 0;
    for (auto _ : state)
        for (const Vec3& a : from)
            for (int k = 1; k <= samples; ++k)
                hits += grid.findHit(a + step * (static_cast<float>(k) / static_cast<float>(samples)), 1.5f) != nullptr;
    state.counters["hits"] = hits;
}
BENCHMARK(missilePathsThroughATown)->Unit(benchmark::kMicrosecond);

// Each airplane's lookup a frame over the staged tunnel: its sphere, roof and bore.
void tunnelLookup(benchmark::State& state)
{
    destroyer();  // mounts the pak
    const Model* m = MapLoader::findModel("landmarks.glm_4");
    GameMode mode{GameType::FreeFlight};
    mode.addPlayerAirplane(Target::create<Tunnel>(mode, Mat4{}, (m->boundsMax() - m->boundsMin()) * 0.5f, m->radius(), -1, m),
                           false);
    for (auto _ : state)
        benchmark::DoNotOptimize(mode.findGroundTargetAt({0.0f, 60.0f, 40.0f}, 6.0f));
}
BENCHMARK(tunnelLookup);
}  // namespace

BENCHMARK_MAIN();
