// The campaign pause at 1280 x 720: filling both lists from 256 HUD markers
// and a 500-notice radio log (the work of one pause), and one frame of the
// page, update and 2-D draw, on whatever GL the display offers.
#include "MenuBenchTarget.h"
#include "GlTestContext.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/ingame/PauseCampaignMenuFrame.h"
#include "platform/Clock.h"
#include "screens/hud/HudMessageQueue.h"
#include "ui/MenuNavigation.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

struct Bench {
    RenderBuffer target;
    std::vector<std::uint8_t> pixel;
    ObjectiveSnapshot snapshot;

    bool ready(benchmark::State& state)
    {
        if (!readyMenuTarget(state, target))
            return false;
        setFrameDelta(1.0f / 60.0f);
        // A quarter waypoints, the rest units of every kind on both sides.
        snapshot.hasPlayer = true;
        snapshot.playerTeam = 0;
        for (int i = 0; i < 256; ++i) {
            ObjectiveSnapshot::Marker m;
            m.objective = i % 7 != 0;
            m.kind = i % 4 == 0 ? PauseCampaignMenuFrame::kWaypointKind : i % 12;
            m.team = i % 3 == 0 ? 255 : i % 2;
            m.position = {static_cast<float>(i * 37), 500.0f, static_cast<float>(-i * 53)};
            m.radius = 50.0f;
            snapshot.markers.push_back(m);
        }
        fillLog();
        return true;
    }
    static void fillLog()
    {
        HudMessageQueue& queue = HudMessageQueue::instance();
        queue.clearAll();
        for (int i = 0; i < 500; ++i)
            queue.pushNotice(u"Convoy " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                                 u" under attack\nnear the northern harbour",
                             3.0f, false, true);
    }
    void sync() { GlTestContext::instance()->device().readPixels(0, 0, 1, 1, pixel); }
    ~Bench()
    {
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        HudMessageQueue::instance().clearAll();
    }
};

void fillObjectives(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
    for (auto _ : state)
        page->fillObjectives(bench.snapshot);
}
BENCHMARK(fillObjectives)->Unit(benchmark::kMicrosecond);

void pauseFrame(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
    goToFrame(page);
    page->fillObjectives(bench.snapshot);
    for (auto _ : state) {
        updateMenuFrames();
        drawMenuFrames();
        bench.sync();   // waits for the frame
    }
}
BENCHMARK(pauseFrame)->Unit(benchmark::kMicrosecond);

void pauseUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
    goToFrame(page);
    page->fillObjectives(bench.snapshot);
    for (auto _ : state)
        updateMenuFrames();
}
BENCHMARK(pauseUpdate)->Unit(benchmark::kMicrosecond);

// The draw's own work on the CPU: the sprite batches handed to GL, no wait.
void pauseDrawSubmit(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
    goToFrame(page);
    page->fillObjectives(bench.snapshot);
    int frames = 0;
    for (auto _ : state) {
        drawMenuFrames();
        if (++frames % 64 == 0)
            bench.sync();   // keeps the driver's queue short
    }
}
BENCHMARK(pauseDrawSubmit)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
