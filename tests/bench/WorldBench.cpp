// Mean frame time of the test world's fixed view at 960 x 640, per quality
// tier, on whatever GL the display offers (Mesa's software renderer under Xvfb).
// Each run also reports the share of the frame each pass takes (columns ending
// in "%"), timed on the CPU with the GL finished after every pass.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/bench/world_bench
//   ... world_bench --two_cores   the same on two cores (LP_NUM_THREADS=2 and
//                                 the process held to two CPUs)
//
// Wall time is noisy on a busy machine; instructions are not. With the GL
// rasterising in the calling thread, callgrind counts just the measured frames:
//   LP_NUM_THREADS=0 valgrind --tool=callgrind --collect-atstart=no
//     --toggle-collect=measuredFrame build/tests/bench/world_bench
//     --benchmark_filter=worldFrame/2/0 --benchmark_min_time=0
// and the total divided by the frames measured is one frame's count. The
// benchmark runs a few rounds and prints the last round's iterations only:
// count the frames by the calls of TestWorld::drawFrame in the output
// ("calls=" under cfn=...drawFrame).
#include "GlTestContext.h"
#include "TestWorld.h"
#include "render/assets/Model.h"
#include "render/shadows/ShadowVolumes.h"

#include <benchmark/benchmark.h>

#include <epoxy/gl.h>
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Frames drawn with a wait after every pass, for the shares.
constexpr int kProfiledFrames = 12;

// One measured frame, waited for; a function of its own so a profiler can
// count it apart from the warm-up and the per-pass frames.
[[gnu::noinline]] void measuredFrame(TestWorld& world, GraphicsES20& g, std::vector<std::uint8_t>& sync)
{
    world.drawFrame();
    g.readPixels(0, 0, 1, 1, sync);  // waits for the frame to finish
}

// The time of each pass over kProfiledFrames frames, as shares of their sum.
void profilePasses(benchmark::State& state, TestWorld& world)
{
    using Clock = std::chrono::steady_clock;
    std::map<std::string, double> seconds;
    Clock::time_point last;
    world.passDone = [&](const char* pass) {
        glFinish();
        const Clock::time_point now = Clock::now();
        seconds[pass] += std::chrono::duration<double>(now - last).count();
        last = now;
    };
    for (int frame = 0; frame < kProfiledFrames; ++frame) {
        glFinish();
        last = Clock::now();
        world.drawFrame();
    }
    world.passDone = nullptr;
    double total = 0.0;
    for (const auto& [pass, time] : seconds)
        total += time;
    for (const auto& [pass, time] : seconds)
        if (total > 0.0 && time / total >= 0.005)
            state.counters[pass + "%"] = 100.0 * time / total;
}

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
        // Over the sea as well as the land: never under the surface.
        at.m[13] = std::max(world->terrain.heightAt(at.m[12], at.m[14]), 0.0f) + 40.0f;
        jets.push_back(std::make_unique<ShadowVolumes::Caster>(jetTriangles));
        jets.back()->setMatrix(at);
    }
    std::vector<std::uint8_t> sync;
    // Unmeasured frames first: the GL compiles each program (and each of its
    // variants) on its first draw.
    for (int frame = 0; frame < 3; ++frame) {
        world->drawFrame();
        g.readPixels(0, 0, 1, 1, sync);
    }
    for (auto _ : state)
        measuredFrame(*world, g, sync);
    profilePasses(state, *world);
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

// Two cores: llvmpipe's rasteriser threads (read when the context is made)
// and the CPUs the process may run on.
void holdToTwoCores()
{
    setenv("LP_NUM_THREADS", "2", 1);
    cpu_set_t allowed, two;
    CPU_ZERO(&two);
    if (sched_getaffinity(0, sizeof(allowed), &allowed) != 0)
        return;
    int taken = 0;
    for (int cpu = 0; cpu < CPU_SETSIZE && taken < 2; ++cpu)
        if (CPU_ISSET(cpu, &allowed)) {
            CPU_SET(cpu, &two);
            ++taken;
        }
    (void)sched_setaffinity(0, sizeof(two), &two);
}

int main(int argc, char** argv)
{
    setenv("SKYFRONT_HEADLESS", "1", 1);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--two_cores") == 0) {
            holdToTwoCores();
            for (int k = i; k + 1 < argc; ++k)
                argv[k] = argv[k + 1];
            --argc;
            break;
        }
    const char* threads = std::getenv("LP_NUM_THREADS");
    benchmark::AddCustomContext("llvmpipe threads", threads ? threads : "all cores");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
