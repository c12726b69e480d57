// The cost of one game event reaching every achievement, and of the pop-up
// queue's per-frame update; no display needed:  build/tests/bench/progress_bench
#include "modes/progress/AchievementPopup.h"
#include "modes/progress/Achievements.h"
#include "platform/Settings.h"
#include "platform/Steam.h"

#include <benchmark/benchmark.h>

namespace {
// Events that earn nothing here and reach no account statistic, so nothing is written.
void BM_NotifyEvent(benchmark::State& state)
{
    Settings profile;
    Steam account;
    AchievementPopup popup;
    Achievements table(profile, account, nullptr, popup);
    table.buildTable();
    const int events[] = {2, 7, 42, 39, 38, 64};
    std::size_t next = 0;
    for (auto _ : state) {
        table.notifyEvent(events[next]);
        next = (next + 1) % std::size(events);
    }
}
BENCHMARK(BM_NotifyEvent);

void BM_PopupUpdate(benchmark::State& state)
{
    AchievementPopup popup;
    for (auto _ : state) {
        if (popup.entries().empty())
            for (int i = 0; i < AchievementPopup::kMaxEntries; ++i)
                popup.push(250 + i, 3 + i);
        popup.update(1.0f / 60.0f);
        benchmark::DoNotOptimize(popup.position());
    }
}
BENCHMARK(BM_PopupUpdate);
}  // namespace

BENCHMARK_MAIN();
