// Per-frame cost of the achievements page with its full list of rows and of
// the how-to-play pages at 1280 x 720: update, and update with the 2-D draw.
#include "MenuBenchTarget.h"

#include "menus/frontend/AchievementsMenuFrame.h"
#include "menus/frontend/HowToPlayMenuFrame.h"
#include "modes/progress/Achievements.h"
#include "platform/Settings.h"
#include "ui/widgets/HMenuItemsSlider.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {
struct Bench : MenuBenchFrame {
    std::unique_ptr<MenuFrame> page;

    void openAchievements()
    {
        // Every other achievement earned: rows of both kinds, bars included.
        for (int i = 0; i < Settings::kAchievementCount; i += 2)
            settings().setAchievementDone(i, 1);
        achievements().buildTable();
        auto made = std::make_unique<AchievementsMenuFrame>();
        goToFrame(made.get());
        page = std::move(made);
    }
    void openHelp()
    {
        auto made = std::make_unique<HowToPlayMenuFrame>();
        goToFrame(made.get());
        page = std::move(made);
    }
    ~Bench() { clearFrameHistory(); }   // before the page goes
};

void achievementsUpdate(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openAchievements();
    timeMenuUpdates(state);
}
BENCHMARK(achievementsUpdate)->Unit(benchmark::kMicrosecond);

void achievementsDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openAchievements();
    timeMenuFrames(state, bench);
}
BENCHMARK(achievementsDraw)->Unit(benchmark::kMicrosecond);

void howToPlayDraw(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.openHelp();
    auto& help = static_cast<HowToPlayMenuFrame&>(*bench.page);
    int frame = 0;
    for (auto _ : state) {
        // A new page every second.
        if (++frame % 60 == 0)
            help.pager->scrollToIndex((frame / 60) % (kHelpPageCount + kRankPageCount));
        updateMenuFrames();
        drawMenuFrames();
        bench.sync();
    }
}
BENCHMARK(howToPlayDraw)->Unit(benchmark::kMicrosecond);
}  // namespace
BENCHMARK_MAIN();
