// Per-frame cost of the campaign road at 1280 x 720: the campaign map with
// its names and the mission cards with their top lines and texts, drawn; the
// mission cards while their row glides (the dots follow it), the briefing page with
// its map running (planes on their paths, arrows growing) and a comic page at
// twice its fit zoom. Update and the 2-D draw, separately, on whatever GL the
// display offers.
#include "MenuBenchTarget.h"

#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/BriefingMenuFrame.h"
#include "menus/frontend/CampaignListSelectMenuFrame.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "menus/frontend/ComicCfg.h"
#include "menus/frontend/ComicsMenuFrame.h"

#include <benchmark/benchmark.h>

namespace {

struct Bench : MenuBenchFrame {
    bool ready(benchmark::State& state)
    {
        if (!MenuBenchFrame::ready(state))
            return false;
        if (!MapLists::instance().load()) {
            state.SkipWithError("no map lists");
            return false;
        }
        return true;
    }
    // The briefing of the first mission, its map a little way into its steps.
    BriefingMenuFrame* openBriefing(benchmark::State& state)
    {
        BriefingMenuFrame* page = MenuFrameRegistry::briefingMenu();
        page->setMission(MapLists::instance().campaignMission(0, 0));
        goToFrame(page);
        if (!page->map()) {
            state.SkipWithError("the briefing has no map");
            return nullptr;
        }
        for (int i = 0; i < 120; ++i)
            updateMenuFrames();
        return page;
    }
    // The first comic on its first slide, zoomed in about the screen's middle.
    ComicsMenuFrame* openComic(benchmark::State& state)
    {
        ComicsMenuFrame* page = MenuFrameRegistry::comicsMenu();
        if (!page->loadComic("c1_end", ComicCfg::kEndToPlay)) {
            state.SkipWithError("no comic");
            return nullptr;
        }
        goToFrame(page);
        page->currentView().toggleZoom(640.0f, 360.0f, 1280, 720);
        page->onTouchDown(640, 360);   // a finger down holds the zoom
        return page;
    }
    ~Bench()
    {
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        MapLists::instance().clear();
    }
};

void missionsGlideUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    CampaignMenuFrame* page = MenuFrameRegistry::campaignMenu();
    page->setCampaign(0);
    goToFrame(page);
    for (int i = 0; i < 60; ++i)
        updateMenuFrames();
    int frames = 0;
    for (auto _ : state) {
        // Pages right and back again, so the row moves on every frame.
        if (frames++ % 20 == 0)
            (frames / 20) % 2 == 0 ? page->scrollRight() : page->scrollLeft();
        updateMenuFrames();
    }
}
BENCHMARK(missionsGlideUpdate)->Unit(benchmark::kMicrosecond);

// The campaign map (0) or the first campaign's mission cards (1), drawn.
void campaignPagesDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    if (state.range(0) == 0) {
        goToFrame(MenuFrameRegistry::campaignListSelect());
    } else {
        CampaignMenuFrame* page = MenuFrameRegistry::campaignMenu();
        page->setCampaign(0);
        goToFrame(page);
    }
    updateMenuFrames();
    for (auto _ : state) {
        drawMenuFrames();
        bench.sync();   // waits for the frame
    }
}
BENCHMARK(campaignPagesDraw)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void briefingUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    BriefingMenuFrame* page = bench.openBriefing(state);
    if (!page)
        return;
    int frames = 0;
    for (auto _ : state) {
        // The map's clock restarts before it reaches its last step.
        if (++frames % 400 == 0)
            page->map()->steps().t = 100.0f;
        updateMenuFrames();
    }
}
BENCHMARK(briefingUpdate)->Unit(benchmark::kMicrosecond);

void briefingDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    if (!bench.openBriefing(state))
        return;
    for (auto _ : state) {
        drawMenuFrames();
        bench.sync();   // waits for the frame
    }
}
BENCHMARK(briefingDraw)->Unit(benchmark::kMicrosecond);

void zoomedComicUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    if (!bench.openComic(state))
        return;
    timeMenuUpdates(state);
}
BENCHMARK(zoomedComicUpdate)->Unit(benchmark::kMicrosecond);

void zoomedComicDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    if (!bench.openComic(state))
        return;
    for (auto _ : state) {
        drawMenuFrames();
        bench.sync();
    }
}
BENCHMARK(zoomedComicDraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
