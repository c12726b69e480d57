// Per-frame costs of the HUD's layout lookups and message queue, without a
// window: the staged HUD sheet read as data, the 2-D batch drawing nowhere.
#include "platform/File.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteBatch.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"

#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK_MAIN();
