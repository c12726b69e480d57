// The entities' draw at 960 x 640: 16 painted aircraft and 64 ground units
// (tanks, trucks, flak guns, a few ships) in view, per quality tier, on whatever GL
// the display offers (Mesa's software renderer under Xvfb).
#include "GlTestContext.h"

#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/records/PlaneCfg.h"
#include "platform/File.h"
#include "render/RenderBuffer.h"
#include "render/assets/Model.h"
#include "render/assets/ModelBuffers.h"
#include "support/entities/SimHost.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kAircraft = 16, kUnits = 64;

void entitiesFrame(benchmark::State& state)
{
    GlTestContext* context = GlTestContext::instance();
    if (!context) {
        state.SkipWithError(GlTestContext::why().c_str());
        return;
    }
    GraphicsES20& g = context->device();
    RenderBuffer target;
    if (!target.createTexture(TextureFormat::Rgba8, 960, 640, kClampSampler)) {
        state.SkipWithError("no 960 x 640 target");
        return;
    }
    setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
    g.setRenderTarget(&target);
    g.setQualityTier(static_cast<int>(state.range(0)));
    LightRecord light;
    light.direction[0] = 0.3f;
    light.direction[1] = 0.9f;
    light.direction[2] = 0.3f;
    FogRecord fog;
    fog.color[0] = 0.6f;
    fog.color[1] = 0.7f;
    fog.color[2] = 0.8f;
    fog.start = 3000.0f;
    fog.end = 20000.0f;
    g.setLight(&light);
    g.setFog(&fog);

    clearEntityIds();
    SimHost host;
    const char* families[] = {"p51", "spitfire", "f86", "mig15", "f16", "a10", "zero", "su25"};
    std::vector<std::unique_ptr<PlaneCfg>> records;
    std::vector<std::unique_ptr<Airplane>> planes;
    for (int i = 0; i < kAircraft; ++i) {
        records.push_back(std::make_unique<PlaneCfg>());
        PlaneCfg& r = *records.back();
        const std::string family = families[i % 8];
        r.file = "data/planes/" + family + "/" + family + "_ful.glm";
        PaintRowCfg* row = r.paints.getOrCreate(0);
        row->color0 = {static_cast<float>(i) * 22.0f, 0.7f, 0.8f};
        row->color1 = {static_cast<float>(i) * 22.0f + 180.0f, 0.7f, 0.8f};
        auto plane = Target::create<Airplane>(host, r, i % 2, std::u16string(u"b"));
        plane->setPositionAndStop({(i % 4 - 1.5f) * 60.0f, 120.0f + (i / 4) * 25.0f, -250.0f - (i / 4) * 90.0f});
        plane->setActive(true);
        plane->drawClass = 1;
        planes.push_back(std::move(plane));
    }
    // A column of armour with its flak, and a destroyer for every eight.
    const char* unitModels[] = {"tank.glm", "army_truck.glm", "flakgun.glm", "tank.glm",
                                "army_truck.glm", "tank.glm", "flakgun.glm", "destroyer.glm"};
    std::list<MapObject> objects;
    std::vector<std::unique_ptr<GroundTarget>> units;
    for (int i = 0; i < kUnits; ++i) {
        Model* m = loadModel(unitModels[i % 8]);
        if (!m) {
            state.SkipWithError("the unit models are not staged");
            return;
        }
        MapObject& object = objects.emplace_back();
        object.kind = static_cast<int>(i % 8 == 7 ? TargetKind::Ship : TargetKind::LandUnit);
        object.pos = {(i % 8 - 3.5f) * 70.0f, 0.0f, -300.0f - (i / 8) * 90.0f};
        object.angles = {0.0f, static_cast<float>(i) * 40.0f, 0.0f};
        object.setModel(m);
        auto unit = Target::create<GroundTarget>(host, object);
        if (!unit) {
            state.SkipWithError("no target id left");
            return;
        }
        unit->setActive(true);
        unit->drawClass = 1;
        units.push_back(std::move(unit));
    }

    Quat q;
    quatFromDirectionTo(q, {0.0f, -0.25f, -1.0f});
    Mat4 camera = mat4FromQuatPosition(q, {0.0f, 260.0f, 200.0f}), view;
    (void)mat4InvertAffine(camera, view);
    Mat4 projection;
    mat4Perspective(projection, 1.0f, 1.5f, 2.0f, 20000.0f);
    DrawView drawView;
    drawView.eye = {0.0f, 260.0f, 200.0f};
    drawView.forward = vec3NormalizeOr(Vec3{0.0f, -0.25f, -1.0f}, {0.0f, 0.0f, -1.0f});
    CameraMatrices frustum;   // the scene hands its camera's frustum to the draws
    setCameraMatrices(frustum, projection, view);
    drawView.frustum = &frustum;

    std::vector<std::uint8_t> sync;
    for (auto _ : state) {
        g.setRenderState(RenderState::opaque());
        g.setProjectionMatrix(projection);
        g.setViewMatrix(view);
        g.clear();
        for (auto& plane : planes) {
            plane->updateVisual(1.0f / 60.0f);
            plane->drawIn(drawView, DrawPass::Opaque);
        }
        for (auto& unit : units)
            unit->drawIn(drawView, DrawPass::Opaque);
        g.readPixels(0, 0, 1, 1, sync);  // waits for the frame to finish
    }
    units.clear();
    planes.clear();
    AirplaneModel::releaseAll();
    g.setLight(nullptr);
    g.setFog(nullptr);
    g.setQualityTier(0);
    g.setRenderTarget(nullptr);
}

BENCHMARK(entitiesFrame)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv)
{
    setenv("SKYFRONT_HEADLESS", "1", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
