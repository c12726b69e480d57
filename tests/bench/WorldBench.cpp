// Mean frame time of the test world's fixed view at 960 x 640, per quality
// tier, on whatever GL the display offers (Mesa's software renderer under Xvfb).
#include "GlTestContext.h"
#include "TestWorld.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

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
    world->setCamera(Vec3{-5200.0f, 420.0f, 2600.0f}, Vec3{1500.0f, 150.0f, -1500.0f}, 1.0f, 1.5f);
    std::vector<std::uint8_t> sync;
    for (auto _ : state) {
        world->drawFrame();
        g.readPixels(0, 0, 1, 1, sync);  // waits for the frame to finish
    }
    world->setTier(0);
    g.setRenderTarget(nullptr);
}

BENCHMARK(worldFrame)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv)
{
    setenv("SKYFRONT_HEADLESS", "1", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
