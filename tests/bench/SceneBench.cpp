// One frame of the game's scene at 960 x 640, per quality tier: a bot match of
// 16 aircraft fighting near the player over the peaks, the game mode's update,
// the world, the entities and the effects, on whatever GL the display offers
// (Mesa's software renderer under Xvfb). Reports the mean and, as "p99_ms",
// the 99th percentile of the frame times.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/bench/scene_bench
#include "GlTestContext.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchConnections.h"
#include "modes/kinds/GameModeCustom.h"
#include "effects/screen/ScreenSplats.h"
#include "platform/Clock.h"
#include "platform/FrameProfile.h"
#include "platform/Settings.h"
#include "render/RenderBuffer.h"
#include "render/fx/PostProcess.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "render/world/Props.h"
#include "screens/scene/Camera.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "screens/Screens.h"
#include "screens/scene/Scene.h"
#include "screens/scene/SceneWorld.h"
#include "support/screens/PassOrders.h"
#include "support/modes/ModeHarness.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {
constexpr int kAircraft = 16;
constexpr int kPeaksMap = 2;
constexpr std::uint8_t kJetPlaneId = 12;  // the f16

// The bots spread over a few kilometres ahead of the player, so most of the
// fight is in view.
void gatherBots(GameMode& mode)
{
    auto* match = dynamic_cast<GameModeCustom*>(&mode);
    const Airplane* player = mode.playerAirplane();
    if (!match || !player)
        return;
    int airplanes = 0;
    for (Target* t : mode.activeTargets())
        airplanes += t->kind() == TargetKind::Airplane ? 1 : 0;
    for (int team = 1; airplanes < kAircraft; ++team, ++airplanes)
        match->spawnBot(team, 0.8f, nullptr, true, -1);
    int placed = 0;
    for (Target* t : mode.activeTargets()) {
        if (t == player || t->kind() != TargetKind::Airplane)
            continue;
        const float along = 300.0f + 180.0f * static_cast<float>(placed);
        const float side = static_cast<float>(placed % 5 - 2) * 150.0f;
        t->setPosition(player->position() + player->forward() * along + Vec3{side, 40.0f * (placed % 3), 0.0f});
        ++placed;
    }
}

// The passes a split frame reports on their own, as "<counter>" in ms: the
// picture passes of the top tier, the player's gun smoke and the splats over
// the view, and the passes beside them for scale.
struct SplitCounter {
    const char* pass;
    const char* counter;
};
constexpr SplitCounter kSplitCounters[] = {
    {"light shafts", "shafts_ms"},     {"final combine", "combine_ms"}, {"over picture", "over_picture_ms"},
    {"gun smoke", "gun_smoke_ms"},     {"splats", "splats_ms"},         {"blended effects", "blended_ms"},
    {"heat distortion", "shimmer_ms"}, {"heat sources", "shimmer_ms"}, {"screen effects", "screen_fx_ms"},
};
constexpr int kSplitFrames = 12;

// Frames drawn with the frame profile splitting every second one: each pass
// drains the GL's queued work at its end, so the pixels it queued are its own.
// A split frame is slower than a whole one; "split_ms" is its sum, for shares.
void reportSplit(benchmark::State& state, GraphicsES20& g, const std::function<void()>& frame)
{
    FrameProfile& profile = frameProfile();
    profile.setSync([&g] { g.finish(); });
    profile.start(0);
    for (int i = 0; i < 2 * kSplitFrames; ++i) {
        profile.beginFrame();
        frame();
        profile.endFrame();
    }
    profile.stop();
    profile.setSync(nullptr);
    double total = 0.0;
    for (const FrameProfile::PassTotal& pass : profile.passMeans()) {
        total += pass.time.wallMs;
        for (const SplitCounter& c : kSplitCounters)
            if (std::strcmp(c.pass, pass.name) == 0)
                state.counters[c.counter] = state.counters[c.counter].value + pass.time.wallMs;
    }
    state.counters["split_ms"] = total;
}

// The player's guns held and a missile's oil with its flash over the view,
// kept up all through the run.
void keepFiringUnderOil(GameMode* mode)
{
    Airplane* player = mode ? mode->playerAirplane() : nullptr;
    if (!player)
        return;
    player->controlInput(0, 1.0f);
    const auto& splats = ScreenSplats::splats();
    const bool oilShown = std::any_of(splats.begin(), splats.end(), [](const ScreenSplats::Splat& s) { return s.life >= 0.0f; });
    if (!oilShown) {
        ScreenSplats::spawn(ScreenSplats::kCount, ScreenSplats::kOil, 0.0f);
        ScreenSplats::setHitTimer(1.0f);
    }
}

// The game makes its picture targets at start (at the top tier: the scene
// target with the shaft and shimmer targets); the plain frames draw straight
// into the bench's target.
// `draw` stands in for the game screen's whole draw when given.
void runSceneFrame(benchmark::State& state, int tier, bool pictureTargets,
                   const std::function<void()>& draw = nullptr, bool firing = false)
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
    g.setQualityTier(tier);
    const int savedWidth = g.screenWidth(), savedHeight = g.screenHeight();
    GraphicsES20Extensions extensions(g);
    if (pictureTargets) {
        g.setScreenSize(960, 640);
        if (!extensions.load() || (setGraphicsExtensions(&extensions), !PostProcess::createTargets())) {
            state.SkipWithError("no picture targets");
            return;
        }
    }
    ModeHarness harness;
    std::string error;
    if (!harness.mountData(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    resetScreens();
    Scene::loadEffectModels();
    setVisibilityForTier(tier);
    GameScreen& game = gameScreen();
    setFrameDelta(1.0f / 60.0f);
    MatchConnections connections = MatchConnections::none();
    fillScreenConnections(connections);
    setGameConnections(connections);
    if (createGame(static_cast<int>(GameType::FreeForAll), false, kPeaksMap, game) != GameStartResult::Started) {
        state.SkipWithError("the bot match does not start");
        return;
    }
    while (!game.isLoaded())
        (void)game.loadStep();
    setCurrentScreen(&game);
    if (GameMode* mode = modeOf(currentMatch()))
        gatherBots(*mode);
    g.setRenderTarget(&target);
    std::vector<std::uint8_t> sync;
    // A pass measured alone draws the same view each time, without the game's update.
    bool updating = true;
    auto frame = [&] {
        if (firing)
            keepFiringUnderOil(modeOf(currentMatch()));
        if (updating)
            game.update();
        g.setRenderTarget(&target);
        if (draw)
            draw();
        else
            game.draw();
        g.readPixels(0, 0, 1, 1, sync);  // waits for the frame to finish
    };
    // Unmeasured frames first: the GL compiles each program on its first draw.
    for (int i = 0; i < 30; ++i)
        frame();
    updating = !draw;
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        frame();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    if (!times.empty()) {
        std::sort(times.begin(), times.end());
        state.counters["p99_ms"] = times[std::min(times.size() - 1, times.size() * 99 / 100)];
    }
    if (!draw)
        reportSplit(state, g, frame);
    state.counters["drawn"] = static_cast<double>(modeOf(currentMatch()) ? modeOf(currentMatch())->activeTargets().size() : 0);
    setCurrentScreen(nullptr);
    resetScreens();
    g.setRenderTarget(nullptr);
    g.setQualityTier(0);
    if (pictureTargets) {
        PostProcess::destroyTargets();
        g.setScreenSize(savedWidth, savedHeight);
        setGraphicsExtensions(nullptr);
        extensions.unload();
    }
}

void sceneFrame(benchmark::State& state) { runSceneFrame(state, static_cast<int>(state.range(0)), false); }
BENCHMARK(sceneFrame)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The top tier as the game runs it, with its picture targets.
void topTierFrame(benchmark::State& state) { runSceneFrame(state, 3, true); }
BENCHMARK(topTierFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The player firing under a missile's oil, at the lowest tier and at the top
// tier as the game runs it: the gun smoke and the splats have work to do. The
// player flies a jet, whose contrail and exhaust core go over the picture.
void firingFrame(benchmark::State& state)
{
    const int tier = static_cast<int>(state.range(0));
    const std::uint8_t savedPlane = settings().localPlaneId;
    settings().localPlaneId = kJetPlaneId;
    runSceneFrame(state, tier, tier >= 3, nullptr, true);
    settings().localPlaneId = savedPlane;
}
BENCHMARK(firingFrame)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The map items of the bot match's frame alone, at the lowest and the top
// tier: their color pass by itself (0), or after their depth (1), so each
// pixel that shows is shaded once. As in the game, only the squares of props
// in view are drawn, and at the lower tiers only those within their reach.
void mapItemsPass(benchmark::State& state)
{
    const bool depthFirst = state.range(1) != 0;
    const int tier = static_cast<int>(state.range(0));
    runSceneFrame(state, tier, false, [depthFirst, tier] {
        Graphics* g = graphics();
        const Scene* view = scene();
        if (!g || !view || !view->camera)
            return;
        g->clear();
        g->setProjectionMatrix(view->mainProjection);
        g->setViewMatrix(view->camera->viewMatrix);
        g->setWorldMatrix(Mat4{});
        const WorldView world =
            WorldView::fromMatrices(view->camera->position, view->camera->viewMatrix, view->mainProjection);
        const PropCull cull{&world, propReach(tier)};
        if (depthFirst)
            for (const PropBatch* batch : view->propSets)
                drawProps(batch, 0, false, cull);
        for (const PropBatch* batch : view->propSets)
            drawProps(batch, 1, depthFirst, cull);
    });
}
BENCHMARK(mapItemsPass)->Args({0, 0})->Args({0, 1})->Args({3, 0})->Args({3, 1})->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The world's draw of a jet's bot match in the game's order of passes, with
// the sky drawn straight after the ground ("sky_first"), and with the sky so
// and the heat sources drawn late, before their shimmer ("heat_late"); at the
// lowest tier and at the top tier as the game runs it. The same view every
// frame; each iteration draws every order in turn, so the machine's other
// load falls on all alike, and the counters are each order's median draw.
void passOrderFrame(benchmark::State& state)
{
    const int tier = static_cast<int>(state.range(0));
    const std::uint8_t savedPlane = settings().localPlaneId;
    settings().localPlaneId = kJetPlaneId;
    GlTestContext* context = GlTestContext::instance();
    constexpr PassOrderChange kOrders[] = {{false, false}, {true, false}, {true, true}};
    constexpr const char* kNames[] = {"game_ms", "sky_first_ms", "heat_late_ms"};
    std::vector<double> times[3];
    runSceneFrame(state, tier, tier >= 3, [&] {
        Scene* view = scene();
        if (!view || !context)
            return;
        for (int i = 0; i < 3; ++i) {
            const auto start = std::chrono::steady_clock::now();
            GameSceneDraw passes(*view);
            PassesInOrder inOrder(passes, changedPassOrder(view->drawFlags(), kOrders[i]));
            view->draw(inOrder);
            context->device().finish();
            times[i].push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
    });
    settings().localPlaneId = savedPlane;
    for (int i = 0; i < 3; ++i) {
        std::vector<double>& t = times[i];
        if (t.empty())
            continue;
        std::sort(t.begin(), t.end());
        state.counters[kNames[i]] = t[t.size() / 2];
    }
    if (!times[0].empty() && !times[1].empty())
        state.counters["sky_first_vs_game"] = times[1][times[1].size() / 2] / times[0][times[0].size() / 2];
}
BENCHMARK(passOrderFrame)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond)->MinTime(5.0);

// The top tier over a 960 x 640 frame with the effect programs loaded, and
// a target to draw into; everything is put back when it goes.
struct TopTierRig {
    GraphicsES20* g = nullptr;
    std::optional<GraphicsES20Extensions> extensions;
    RenderBuffer target;
    int savedWidth = 0, savedHeight = 0;

    // False (and the state skipped) without a context or effect programs.
    bool start(benchmark::State& state)
    {
        GlTestContext* context = GlTestContext::instance();
        if (!context) {
            state.SkipWithError(GlTestContext::why().c_str());
            return false;
        }
        g = &context->device();
        extensions.emplace(*g);
        if (!extensions->load()) {
            state.SkipWithError("no effect programs");
            return false;
        }
        setGraphicsExtensions(&*extensions);
        savedWidth = g->screenWidth();
        savedHeight = g->screenHeight();
        g->setScreenSize(960, 640);
        g->setQualityTier(3);
        return true;
    }
    ~TopTierRig()
    {
        if (!extensions || !g)
            return;
        PostProcess::destroyTargets();
        g->setLight(nullptr);
        g->setRenderTarget(nullptr);
        g->setQualityTier(0);
        g->setScreenSize(savedWidth, savedHeight);
        setGraphicsExtensions(nullptr);
        extensions->unload();
    }
    bool makeTargets() { return target.createTexture(TextureFormat::Rgba8, 960, 640, kClampSampler) && PostProcess::createTargets(); }
};

// What the top tier's heat shimmer adds to a 960 x 640 frame: with nothing hot
// in view (0) the distortion target is only cleared; with an exhaust in view
// (1) the picture is also copied and the apply pass runs over it.
void heatShimmerPass(benchmark::State& state)
{
    TopTierRig rig;
    if (!rig.start(state))
        return;
    GraphicsES20& g = *rig.g;
    if (!rig.makeTargets() || !g.distortionTarget) {
        state.SkipWithError("no distortion target");
        return;
    }
    g.setRenderTarget(&rig.target);
    std::vector<std::uint8_t> sync;
    for (auto _ : state) {
        renderHeatDistortion([&] {
            if (state.range(0) != 0)
                noteDistortionDrawn();
        });
        applyHeatDistortion();
        g.readPixels(0, 0, 1, 1, sync);
    }
}
BENCHMARK(heatShimmerPass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The top tier's picture passes over a 960 x 640 frame, each alone: the
// sun-shaft pass into its half-size target (0), and the final target's
// clear with the final combine of scene and shafts onto it (1).
void picturePasses(benchmark::State& state)
{
    TopTierRig rig;
    if (!rig.start(state))
        return;
    GraphicsES20& g = *rig.g;
    // The sun straight ahead, so the shafts are drawn.
    LightRecord light{{0.0f, 0.1f, -1.0f}, {0.3f, 0.3f, 0.3f}, {0.7f, 0.7f, 0.7f}, {1.0f, 0.9f, 0.8f}};
    g.setLight(&light);
    Mat4 projection;
    mat4Perspective(projection, 1.0f, 1.5f, 1.0f, 1000.0f);
    if (!rig.makeTargets()) {
        state.SkipWithError("no picture targets");
        return;
    }
    PostProcess::updateSunParams(Mat4{}, projection);
    std::vector<std::uint8_t> sync;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            PostProcess::render();
        } else {
            g.setRenderTarget(&rig.target);
            g.clear();
            PostProcess::finalCombine();
        }
        g.readPixels(0, 0, 1, 1, sync);
    }
}
BENCHMARK(picturePasses)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Each frame of a mission hands its map's light and fog to the scene, which
// builds new records only when they moved: the hand-over and that check.
void mapLightAndFog(benchmark::State& state)
{
    auto scene = std::make_unique<Scene>();
    const Color4 light{255, 244, 224, 255};
    for (auto _ : state) {
        sceneModeServices().setLightAndFog(light, 3000.0f, 0.00005f);
        scene->updateSunAndFog(false);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(mapLightAndFog);

}  // namespace

int main(int argc, char** argv)
{
    setenv("SKYFRONT_HEADLESS", "1", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
