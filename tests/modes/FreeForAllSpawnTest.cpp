#include "entities/aircraft/Airplane.h"
#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/MapLists.h"
#include "modes/GameModeGlobals.h"
#include "modes/kinds/GameModeFFA.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

struct FreeForAllSpawns : testing::Test {
    ModeHarness harness;
    Settings saved = settings();

    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
    }
    void TearDown() override
    {
        harness.finish();
        settings() = saved;
    }
    // Five minutes, no score limit, seven bots.
    static void fiveMinutesWithSevenBots()
    {
        settings().setSkirmishWord(Settings::kEntryFFA, 0, 5);
        settings().setSkirmishWord(Settings::kEntryFFA, 1, 0);
        settings().setSkirmishWord(Settings::kEntryFFA, 2, 7);
    }
};

// Airplanes that die in the same frame must not come back at one point and
// collide there again and again: a fair five minutes at the game's coarse
// 0.05 s step leaves nobody with more deaths than a bad pilot earns, and no
// bot without a kill or a death (seed 4 had two circle each other for good).
TEST_F(FreeForAllSpawns, NoAirplaneDiesMoreThanFifteenTimesInFiveMinutesOnAnyMap)
{
    constexpr float kStep = 0.05f;
    constexpr int kMostDeaths = 15;
    int maps = 0;
    for (int run = 0; run < 2 * MapLists::kSlots; ++run) {
        const int slot = run % MapLists::kSlots;
        const int seed = run < MapLists::kSlots ? 4 : 77;
        const MapInfoCfg* map = MapLists::instance().skirmishMap(slot);
        if (!map)
            continue;
        ++maps;
        seedRandom(seed, 5);
        fiveMinutesWithSevenBots();
        auto* mode = dynamic_cast<GameModeCustom*>(harness.start(static_cast<int>(GameType::FreeForAll), map));
        ASSERT_NE(mode, nullptr) << "slot " << slot;
        float t = 0.0f;
        while (t < 330.0f && !mode->playStopped) {
            mode->update(kStep);
            t += kStep;
        }
        EXPECT_TRUE(mode->playStopped) << "slot " << slot << ": the time limit did not end the match";
        EXPECT_GE(ScoreMgr::instance().elapsed(), 299.0f) << "slot " << slot;
        int airplanes = 0;
        for (const auto& e : mode->entities()) {
            if (e->kind() != TargetKind::Airplane)
                continue;
            ++airplanes;
            const auto& a = static_cast<const Airplane&>(*e);
            EXPECT_LE(a.scores[Airplane::kScoreDeaths], kMostDeaths)
                << "slot " << slot << " airplane " << a.id();
            EXPECT_TRUE(!a.aiPilot || a.scores[Airplane::kScorePoints] != 0 || a.scores[Airplane::kScoreDeaths] > 0)
                << "seed " << seed << " slot " << slot << ": bot " << a.id() << " sat the match out";
        }
        EXPECT_EQ(airplanes, 8) << "slot " << slot;
        harness.finish();
    }
    EXPECT_GE(maps, 2);
}

struct Bots {
    std::vector<Airplane*> all;
    explicit Bots(GameMode& mode)
    {
        for (const auto& e : mode.entities())
            if (e->kind() == TargetKind::Airplane && e.get() != mode.playerAirplane())
                all.push_back(static_cast<Airplane*>(e.get()));
    }
};

// Steps until every given airplane is back in play (at most ten seconds).
void waitForRespawn(GameMode& mode, std::initializer_list<const Airplane*> airplanes)
{
    const auto back = [&] {
        for (const Airplane* a : airplanes)
            if (!a->isActive())
                return false;
        return true;
    };
    for (float t = 0.0f; t < 10.0f && !back(); t += ModeHarness::kFrame)
        mode.update(ModeHarness::kFrame);
}

// A crashed airplane waits out its respawn at the spawn point it was given,
// high above the ground, and not where it hit the ground.
TEST_F(FreeForAllSpawns, ACrashedAirplaneComesBackAtItsSpawnPointNotItsWreck)
{
    seedRandom(77, 5);
    settings().setSkirmishWord(Settings::kEntryFFA, 2, 3);
    auto* mode = dynamic_cast<GameModeCustom*>(
        harness.start(static_cast<int>(GameType::FreeForAll), harness.firstSkirmishMap()));
    ASSERT_NE(mode, nullptr);
    Bots bots(*mode);
    ASSERT_EQ(bots.all.size(), 3u);
    Airplane& bot = *bots.all[0];
    const Vec3 crash{1500.0f, mode->groundHeightAt(1500.0f, 1500.0f) + 5.0f, 1500.0f};
    bot.setPositionAndStop(crash);
    mode->onAirplaneDestroyed(bot, nullptr, CrashCause::Ground);
    waitForRespawn(*mode, {&bot});
    ASSERT_TRUE(bot.isActive());
    const Vec3 p = bot.position();
    EXPECT_GE(p.y - mode->groundHeightAt(p.x, p.z), GameMode::kSpawnHeight - 50.0f);
    EXPECT_GT(std::sqrt(vec3DistanceSq(p, crash)), 100.0f);
}

// Two airplanes that collided come back apart, or they collide again at once.
TEST_F(FreeForAllSpawns, AirplanesDownInOneFrameComeBackApart)
{
    seedRandom(77, 5);
    settings().setSkirmishWord(Settings::kEntryFFA, 2, 3);
    auto* mode = dynamic_cast<GameModeCustom*>(
        harness.start(static_cast<int>(GameType::FreeForAll), harness.firstSkirmishMap()));
    ASSERT_NE(mode, nullptr);
    Bots bots(*mode);
    ASSERT_EQ(bots.all.size(), 3u);
    const Vec3 collision{-800.0f, mode->groundHeightAt(-800.0f, 400.0f) + 900.0f, 400.0f};
    bots.all[0]->setPositionAndStop(collision);
    bots.all[1]->setPositionAndStop(collision + Vec3{3.0f, 0.0f, 0.0f});
    mode->onAirplaneDestroyed(*bots.all[0], bots.all[1], CrashCause::Collision);
    mode->onAirplaneDestroyed(*bots.all[1], bots.all[0], CrashCause::Collision);
    waitForRespawn(*mode, {bots.all[0], bots.all[1]});
    ASSERT_TRUE(bots.all[0]->isActive() && bots.all[1]->isActive());
    const float apart = std::sqrt(vec3DistanceSq(bots.all[0]->position(), bots.all[1]->position()));
    EXPECT_GE(apart, GameModeCustom::kSpawnClearance * 0.9f);
}

}  // namespace
