// The campaign pause at 1280 x 720: filling both lists from 256 HUD markers
// and a 500-notice radio log (the work of one pause), and one frame of the
// page, update and 2-D draw, on whatever GL the display offers.
#include "MenuBenchTarget.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/ingame/PauseCampaignMenuFrame.h"
#include "screens/hud/HudMessageQueue.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

struct Bench : MenuBenchFrame {
    ObjectiveSnapshot snapshot;

    bool ready(benchmark::State& state)
    {
        if (!MenuBenchFrame::ready(state))
            return false;
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
    void showPause()
    {
        PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
        goToFrame(page);
        page->fillObjectives(snapshot);
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
    bench.showPause();
    timeMenuFrames(state, bench);
}
BENCHMARK(pauseFrame)->Unit(benchmark::kMicrosecond);

void pauseUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.showPause();
    timeMenuUpdates(state);
}
BENCHMARK(pauseUpdate)->Unit(benchmark::kMicrosecond);

// The draw's own work on the CPU: the sprite batches handed to GL, no wait.
void pauseDrawSubmit(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.showPause();
    timeMenuDrawSubmit(state, bench);
}
BENCHMARK(pauseDrawSubmit)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
