// The campaign mission's own frame work (its triggers and objectives, the
// ground targets' refresh, the sun and fog) on the largest generated mission,
// and the whole mode frame beside it. No display; the staged pak is mounted.
#include "entities/TimedPoints.h"
#include "entities/weapons/BulletPool.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/kinds/GameModeCampaign.h"
#include "platform/File.h"
#include "platform/Pak.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

struct LargestMission {
    StringTable texts;
    GameModeCampaign* mode = nullptr;
    std::filesystem::path save = std::filesystem::temp_directory_path() / "skyfront_campaign_bench";

    LargestMission()
    {
        std::filesystem::create_directories(save);
        setSaveFolder(save.string() + "/");
        if (!mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak"))
            return;
        auto table = openFile("data/strings/EN/main.str");
        if (!table || !texts.load(*table))
            return;
        if (!PlaneList::instance().load(PlaneList::kListPath, texts, settings()) ||
            !WeaponList::instance().load(WeaponList::kListPath, texts) ||
            !UnitList::instance().load(UnitList::kListPath, texts) ||
            !MapLists::instance().load(MapLists::kFolder, texts))
            return;
        // The mission with the most objects and triggers.
        const MapInfoCfg* largest = nullptr;
        int most = -1;
        for (int c = 0; c < MapLists::kCampaigns; ++c)
            for (int m = 0; m < MapLists::kSlots; ++m) {
                const MapInfoCfg* record = MapLists::instance().campaignMission(c, m);
                if (!record)
                    continue;
                GameModeCampaign probe;
                probe.setMapRecord(record);
                if (!probe.startLevel())
                    continue;
                const int size = probe.world()->objectCount() + probe.world()->triggerCount();
                if (size > most)
                    most = size, largest = record;
            }
        if (!largest)
            return;
        auto made = std::make_unique<GameModeCampaign>();
        made->setMapRecord(largest);
        mode = made.get();
        startMatch(std::move(made), MatchConnections::none());
        if (!mode->startLevel()) {
            mode = nullptr;
            return;
        }
        mode->damageEnabled = false;  // nobody dies: every frame costs the same
        for (int i = 0; i < 180; ++i)  // past the briefing: the objective runs
            mode->update(kFrame);
        // The mission must not end under the benchmark: no relief fleet comes.
        if (MapTrigger* relief = mode->world()->findTrigger("relief"))
            relief->enabled = false;
    }
    ~LargestMission()
    {
        endMatch();
        std::error_code ignored;
        std::filesystem::remove_all(save, ignored);
    }
};

LargestMission& mission()
{
    static LargestMission m;
    return m;
}

void BM_CampaignOwnFrameWork(benchmark::State& state)
{
    GameModeCampaign* mode = mission().mode;
    if (!mode) {
        state.SkipWithError("the staged missions do not load: build the data target");
        return;
    }
    for (auto _ : state) {
        // No time passes: timers never fire, every condition is still checked.
        mode->world()->applySunAndFog(0.0f);
        mode->drawOverlay();
        benchmark::DoNotOptimize(mode->lightAndFogUpdates());
    }
    state.SetLabel(mode->mapRecord()->name);
}
BENCHMARK(BM_CampaignOwnFrameWork)->Unit(benchmark::kMicrosecond);

void BM_CampaignWholeModeFrame(benchmark::State& state)
{
    GameModeCampaign* mode = mission().mode;
    if (!mode) {
        state.SkipWithError("the staged missions do not load: build the data target");
        return;
    }
    for (auto _ : state)
        mode->update(kFrame);
    state.SetLabel(mode->mapRecord()->name + std::string(mode->playStopped ? " (ended)" : "") + " " +
                   std::to_string(mode->entities().size()) + " entities");
}
BENCHMARK(BM_CampaignWholeModeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
