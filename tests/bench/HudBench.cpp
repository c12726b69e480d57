// Per-frame costs of the HUD's layout lookups and message queue, without a
// window: the staged HUD sheet read as data, the 2-D batch drawing nowhere.
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteBatch.h"
#include "screens/hud/HudMarkers.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"
#include "platform/Clock.h"
#include "support/screens/HudMarkerFakes.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

bool loadHudSheet(CSprite& sprite)
{
    std::ifstream file(SKYFRONT_STAGE_DIR "/data/sprites/hud_wwii.bspr", std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    SpriteSheet sheet;
    if (!readSpriteSheet(bytes, sheet))
        return false;
    sprite.loadSheet(std::move(sheet), 2.0f);
    return true;
}

// The HUD sheet at 1920 x 1080 with the batch's quads counted instead of drawn.
struct HudDrawFrame {
    CSprite sheet;
    std::size_t quads = 0;
    bool loaded = false;

    HudDrawFrame()
    {
        setScreenSize(1920, 1080);
        setDataRoot(SKYFRONT_STAGE_DIR "/");
        loaded = loadHudSheet(sheet) && setLanguageByCode("EN");
        spriteBatch().discard();
        spriteBatch().setScreenSize(1920.0f, 1080.0f);
        spriteBatch().setDrawHook([this](std::span<const SpriteVertex> v, const Texture2D*, const ClipRect&) {
            quads += v.size() / 4;
        });
    }
    ~HudDrawFrame() { spriteBatch().setDrawHook(nullptr); }
};

// The rectangles one HUD frame looks up: dials, health, buttons, radar.
void elementRects(benchmark::State& state)
{
    setScreenSize(960, 640);
    CSprite sheet;
    if (!loadHudSheet(sheet)) {
        state.SkipWithError("the HUD sheet is not staged");
        return;
    }
    PlaneHud hud;
    hud.initPanels(&sheet);
    const int modules[] = {3, 4, 11, 12, 13, 14, 152, 153, 159, 24, 29, 31, 34, 38, 84, 89, 97, 199};
    for (auto _ : state) {
        for (int module : modules)
            benchmark::DoNotOptimize(hud.elementRect(&sheet, module));
    }
}
BENCHMARK(elementRects);

// A busy queue: five event lines, a notice, two warnings and a countdown,
// updated and drawn once a frame.
void messageQueueFrame(benchmark::State& state)
{
    setScreenSize(960, 640);
    setDataRoot(SKYFRONT_STAGE_DIR "/");
    spriteBatch().setDrawHook(nullptr);
    HudMessageQueue queue;
    for (int i = 0; i < 5; ++i)
        queue.pushLong(u"Red Leader downed a bomber over the coast");
    queue.pushNotice(u"Enemy bombers are approaching the airfield", 0.0f, true, true);
    queue.pushCentre(248, Color4{255, 80, 60, 255}, 0.0f);
    queue.pushCentre(249, Color4{255, 200, 60, 255}, 0.0f);
    queue.setCountdown(1.0e6f, "TIME");
    for (auto _ : state) {
        queue.update(1.0f / 60.0f);
        queue.drawNotices();
        queue.drawCentre();
        queue.drawLong();
        queue.drawScoreLine();
        spriteBatch().discard();
    }
}
BENCHMARK(messageQueueFrame);

// One frame of the flight HUD at 1920 x 1080: the update from a busy
// player plane (three weapon groups, a lock, a shake) and the draw, its
// quads going to a recording hook instead of the GPU. Argument 1: the mouse
// steers (every button carries its key) in a hard pull (the darkening).
void planeHudFrame(benchmark::State& state)
{
    HudDrawFrame draw;
    if (!draw.loaded) {
        state.SkipWithError("the HUD sheet is not staged");
        return;
    }
    PlaneHud hud;
    hud.init(&draw.sheet);
    hud.setControlScheme(0);
    HudGameState game;
    HudPlaneState& p = game.player;
    p.exists = p.inPlay = true;
    p.position = {0.0f, 1500.0f, 0.0f};
    p.health = 0.7f;
    p.boostReserve = 3.0f;
    p.boostCapacity = 5.0f;
    p.canEject = true;
    p.counter = 4;
    for (int g = 0; g < 3; ++g) {
        HudWeaponState& w = p.weapons[static_cast<std::size_t>(g)];
        w = HudWeaponState{true, g, true, 2, g == 2, 0.5f, true};
    }
    p.weapons[3] = HudWeaponState{true, 1, true, 1};
    p.weapons[3].lockWeapon = p.weapons[3].locked = true;
    if (state.range(0) == 1) {
        game.relativeMouse = true;
        game.faintPast = 2.5f;
        game.faintRange = 4.0f;
    }
    HudMessageQueue& queue = HudMessageQueue::instance();
    for (int i = 0; i < 3; ++i)
        queue.pushLong(u"Red Leader downed a bomber");
    setFrameDelta(1.0f / 60.0f);
    for (auto _ : state) {
        hud.shakeActive = true;
        hud.shakeTimeLeft = 0.5f;
        p.position.x += 3.0f;
        hud.update(game);
        hud.drawContents();
        spriteBatch().flush();
    }
    state.counters["quads"] = benchmark::Counter(static_cast<double>(draw.quads), benchmark::Counter::kAvgIterations);
    queue.clearAll();
}
BENCHMARK(planeHudFrame)->Arg(0)->Arg(1);

// A battle's marks: 16 airplanes of both sides around the player and 64
// ground units spread ahead, some behind the camera.
void markBattle(HudElementList& list, FakeHudObjects& objects, const HudMarkerFrame& frame, int planes, int ground)
{
    list.reset();
    for (int i = 0; i < planes + ground; ++i) {
        const auto key = static_cast<std::uintptr_t>(i + 1);
        const float a = static_cast<float>(i) * 0.7f, r = 600.0f + 97.0f * static_cast<float>(i);
        HudObjectInfo& info = objects.at(key, {r * std::sin(a), i < planes ? 200.0f : -900.0f, -r * std::cos(a)});
        info.velocity = {40.0f, 0.0f, -120.0f};
        info.health = 0.5f;
        objects.names[key] = u"Wing " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
        list.markers.add(keyRef(key), i < planes ? 0 : 3, false, i % 2, frame, objects, nullptr);
    }
}

// The marker screen update and the radar update over 128 marks.
void markerAndRadarUpdate(benchmark::State& state)
{
    HudCameraFixture view;
    FakeHudObjects objects;
    HudElementList list;
    markBattle(list, objects, view.frame, 16, 112);
    list.layoutRadar(false, 1700.0f, 10.0f, 190.0f, 190.0f, 12.0f, 1920, 1080);
    for (auto _ : state) {
        list.updateTargets(view.frame, objects);
        list.update(view.frame, objects);
        benchmark::DoNotOptimize(list.zoom);
    }
}
BENCHMARK(markerAndRadarUpdate);

// The whole HUD frame with 16 airplanes and 64 ground units marked: the
// marker, radar and gunsight passes drawn into the batch.
void markedHudFrame(benchmark::State& state)
{
    HudDrawFrame draw;
    if (!draw.loaded) {
        state.SkipWithError("the HUD sheet is not staged");
        return;
    }
    PlaneHud hud;
    hud.init(&draw.sheet);
    HudCameraFixture view;
    view.frame.screenWidth = 1920;
    view.frame.screenHeight = 1080;
    FakeHudObjects objects;
    HudElementList& list = HudElementList::instance();
    markBattle(list, objects, view.frame, 16, 64);
    HudGameState game;
    game.player.exists = game.player.inPlay = true;
    game.player.health = 1.0f;
    game.markers = view.frame;
    game.objects = &objects;
    setFrameDelta(1.0f / 60.0f);
    for (auto _ : state) {
        hud.update(game);
        hud.drawContents();
        spriteBatch().flush();
    }
    state.counters["quads"] = benchmark::Counter(static_cast<double>(draw.quads), benchmark::Counter::kAvgIterations);
    list.reset();
}
BENCHMARK(markedHudFrame);

}  // namespace

BENCHMARK_MAIN();
