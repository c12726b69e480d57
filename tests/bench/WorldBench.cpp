// Mean frame time of the test world's fixed view at 960 x 640, per quality
// tier, on whatever GL the display offers (Mesa's software renderer under Xvfb).
#include "GlTestContext.h"
#include "TestWorld.h"
#include "render/assets/Model.h"
#include "render/shadows/ShadowVolumes.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

void worldFrame(benchmark::State& state)
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
    g.setRenderTarget(&target);
    auto world = std::make_unique<TestWorld>();
    if (!world->load(g)) {
        state.SkipWithError("the test world is not staged");
        return;
    }
    world->setTier(static_cast<int>(state.range(0)));
    world->setSun(0.35f);
    const Vec3 eye{-5200.0f, 420.0f, 2600.0f}, look{1500.0f, 150.0f, -1500.0f};
    world->setCamera(eye, look, 1.0f, 1.5f);
    // The second argument: that many fighter jets low over the ground in view,
    // casting by the shadow map at tier 3 and by stencil volumes below.
    std::vector<Vec3> jetTriangles;
    if (const Model* jet = loadModel("fighter_jet.glm"))
        for (const GlmTriangle& t : jet->collisionTriangles())
            jetTriangles.insert(jetTriangles.end(), {t.a, t.b, t.c});
    std::vector<std::unique_ptr<ShadowVolumes::Caster>> jets;
    for (int i = 0; i < state.range(1); ++i) {
        const float along = 0.05f + 0.4f * static_cast<float>(i) / static_cast<float>(state.range(1));
        Mat4 at;
        at.m[12] = eye.x + (look.x - eye.x) * along + static_cast<float>(i % 3 - 1) * 60.0f;
        at.m[14] = eye.z + (look.z - eye.z) * along;
        at.m[13] = world->terrain.heightAt(at.m[12], at.m[14]) + 40.0f;
        jets.push_back(std::make_unique<ShadowVolumes::Caster>(jetTriangles));
        jets.back()->setMatrix(at);
    }
    std::vector<std::uint8_t> sync;
    for (auto _ : state) {
        world->drawFrame();
        g.readPixels(0, 0, 1, 1, sync);  // waits for the frame to finish
    }
    world->setTier(0);
    g.setRenderTarget(nullptr);
}

BENCHMARK(worldFrame)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({3, 0})
    ->Args({2, 16})
    ->Args({3, 16})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv)
{
    setenv("SKYFRONT_HEADLESS", "1", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
