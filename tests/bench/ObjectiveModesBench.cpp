// Each objective and round mode's own frame work with 16 airplanes on the
// first generated skirmish map: flag touches, captures, bounds and squad
// orders; round and wave countdowns and checks. The shared match frame is
// left out (mode_bench measures it). No display; the staged pak is mounted.
#include "entities/aircraft/Airplane.h"
#include "modes/GameModeGlobals.h"
#include "modes/kinds/GameModeCustom.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include "support/modes/ModeHarness.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {
constexpr int kAirplanes = 16;

int airplaneCount(const GameMode& mode)
{
    int n = 0;
    for (const auto& e : mode.entities())
        n += e->kind() == TargetKind::Airplane ? 1 : 0;
    return n;
}

void setSides(int entry, int team0, int team1)
{
    settings().setSkirmishWord(entry, 0, 0);  // no time limit: the match never ends here
    settings().setSkirmishWord(entry, 1, 0);
    settings().setSkirmishWord(entry, 2, static_cast<std::uint32_t>(team0));
    settings().setSkirmishWord(entry, 3, static_cast<std::uint32_t>(team1));
}

void modeRules(benchmark::State& state, GameType type)
{
    const Settings saved = settings();
    seedRandom(17, 19);
    ModeHarness harness;
    std::string error;
    if (!harness.mountData(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    // Seven and eight bots beside the player in the team kinds.
    setSides(Settings::kEntryCTF, 7, 8);
    setSides(Settings::kEntryDTB, 7, 8);
    auto* mode = dynamic_cast<GameModeCustom*>(harness.start(static_cast<int>(type), harness.firstSkirmishMap()));
    if (!mode) {
        settings() = saved;
        state.SkipWithError("the mode does not start on the first skirmish map");
        return;
    }
    // The round kinds make fewer: bots of the other side fill up to 16.
    for (int n = airplaneCount(*mode); n < kAirplanes; ++n)
        mode->spawnBot(1, 0.5f, nullptr, true, settings().localPlaneId);
    mode->damageEnabled = false;  // nobody dies: every frame costs the same
    harness.run(0.5f);
    for (auto _ : state)
        mode->updateRules(ModeHarness::kFrame);
    state.counters["airplanes"] = airplaneCount(*mode);
    harness.finish();
    settings() = saved;
}

void BM_CaptureTheFlagRules(benchmark::State& state) { modeRules(state, GameType::CaptureTheFlag); }
void BM_DestroyTheBaseRules(benchmark::State& state) { modeRules(state, GameType::DestroyTheBase); }
void BM_LastManStandingRules(benchmark::State& state) { modeRules(state, GameType::LastManStanding); }
void BM_SurvivalRules(benchmark::State& state) { modeRules(state, GameType::Survival); }
BENCHMARK(BM_CaptureTheFlagRules)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DestroyTheBaseRules)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LastManStandingRules)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SurvivalRules)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
