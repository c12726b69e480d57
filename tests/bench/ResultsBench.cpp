// Per-frame cost of the result page while it counts and of a score table of
// sixteen pilots at 1280 x 720: update alone, and update with the 2-D draw.
#include "MenuBenchTarget.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/PlaneList.h"
#include "menus/ingame/GameResultMenuFrame.h"
#include "menus/ingame/SkirmishEndMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/Settings.h"
#include "ui/MenuNavigation.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {
struct Bench : MenuBenchFrame {
    std::unique_ptr<MenuFrame> page;
    PlaneCfg plane;

    bool ready(benchmark::State& state)
    {
        if (!MenuBenchFrame::ready(state))
            return false;
        if (!PlaneList::instance().load()) {
            state.SkipWithError("no plane records: build the data target");
            return false;
        }
        setSaveFolder("");
        plane.shortname = "P-51";
        return true;
    }
    // A free-for-all of sixteen pilots with a time limit, the first the player's.
    void match()
    {
        startMatch(std::make_unique<GameMode>(GameType::FreeForAll), MatchConnections::none());
        GameMode* mode = modeOf(currentMatch());
        ScoreMgr& sm = ScoreMgr::instance();
        sm.attach(mode, nullptr);
        sm.reset(false);
        sm.startMatch();
        sm.timeLimit = 600.0f;
        for (int i = 0; i < 16; ++i) {
            auto a = Target::create<Airplane>(*mode, plane, i, u"Pilot " + std::u16string(1, u'A' + i));
            Airplane* raw = a.get();
            mode->addPlayerAirplane(std::move(a), false);
            raw->planeRecord = &plane;
            raw->scores[Airplane::kScorePoints] = 16 - i;
            if (i == 0)
                mode->setPlayerAirplane(raw);
            sm.addPlayer(*raw);
        }
    }
    ~Bench()
    {
        clearFrameHistory();
        ScoreMgr::instance().setListener(nullptr);
        ScoreMgr::instance().attach(nullptr, nullptr);
        page.reset();
        endMatch();
        ScoreMgr::instance().reset(false);
    }
};

// The page restarts its count whenever it reaches the end, so every measured
// frame reveals, counts, steps a rank or pops the insignia.
void resultFrame(benchmark::State& state, bool draw)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    auto made = std::make_unique<GameResultMenuFrame>();
    GameResultMenuFrame& page = *made;
    GameResultMenuFrame::routes().leaveGame = [] {};
    goToFrame(made.get());
    bench.page = std::move(made);
    GameResultInput in;
    in.killPoints = 1500;
    in.deathPoints = -40;
    in.resultPoints = 100;
    page.showResult(in);
    int restarts = 0;
    for (auto _ : state) {
        if (page.resultState == GameResultMenuFrame::Final) {
            ++restarts;
            state.PauseTiming();
            gameResultBooked() = false;
            settings().pointsSP = 0;
            page.showResult(in);
            state.ResumeTiming();
        }
        updateMenuFrames();
        if (draw) {
            drawMenuFrames();
            bench.sync();
        }
    }
    state.counters["restarts"] = restarts;
    GameResultMenuFrame::routes() = {};
}
void resultUpdate(benchmark::State& state) { resultFrame(state, false); }
void resultDraw(benchmark::State& state) { resultFrame(state, true); }
BENCHMARK(resultUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK(resultDraw)->Unit(benchmark::kMicrosecond);

// Sixteen rows; one score change a second rebuilds the table as a kill does.
void tableFrame(benchmark::State& state, bool draw)
{
    Bench bench;
    if (!bench.ready(state))
        return;
    bench.match();
    auto made = std::make_unique<SkirmishEndMenuFrame>();
    goToFrame(made.get());
    bench.page = std::move(made);
    Airplane* last = ScoreMgr::instance().group(0).players.back();
    int frame = 0;
    for (auto _ : state) {
        if (++frame % 60 == 0) {
            last->scores[Airplane::kScorePoints] += 1;
            ScoreMgr::instance().notifyPlayerChanged(*last);
        }
        ScoreMgr::instance().setElapsed(static_cast<float>(frame) / 60.0f);
        updateMenuFrames();
        if (draw) {
            drawMenuFrames();
            bench.sync();
        }
    }
}
void tableUpdate(benchmark::State& state) { tableFrame(state, false); }
void tableDraw(benchmark::State& state) { tableFrame(state, true); }
BENCHMARK(tableUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK(tableDraw)->Unit(benchmark::kMicrosecond);
}  // namespace
BENCHMARK_MAIN();
