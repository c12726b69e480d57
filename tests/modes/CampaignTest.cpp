#include "CampaignFixture.h"

#include "gamedata/MissionSave.h"
#include "gamedata/records/PlaneCfg.h"
#include "modes/kinds/GameModeCustom.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/File.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kConvoyLostText = 4612;

TEST_F(CampaignMission, TheMissionStartsWithItsObjectsInPlayAndThePlayerInItsPlane)
{
    ASSERT_NE(start(0, 0), nullptr);
    ASSERT_NE(mode->playerAirplane(), nullptr);
    EXPECT_EQ(mode->playerAirplane()->planeRecord->name, mode->mapRecord()->preferedPlane);
    EXPECT_EQ(mode->playerAirplane()->team(), 0);
    EXPECT_EQ(mode->playerAirplane()->aiController(), nullptr);
    for (int k = 0; k < 3; ++k)
        EXPECT_NE(entityOf("red_" + std::to_string(k)), nullptr) << k;
    // The second wave waits for its trigger.
    EXPECT_EQ(entityOf("wave_0"), nullptr);
    frames(150);
    EXPECT_TRUE(trigger("goal").enabled);
    EXPECT_GT(mode->lightAndFogUpdates(), 0);
    // The mission's hour from its record, not the default midday.
    EXPECT_FLOAT_EQ(mode->sunValue(), mode->mapRecord()->sunValue);
    EXPECT_NE(mode->sunValue(), 0.5f);
    EXPECT_FALSE(mode->missionEnded());
    EXPECT_EQ(GameModeCampaign::playerColorCode(255), 2);
    EXPECT_EQ(GameModeCampaign::playerColorCode(0), 0);
    EXPECT_EQ(GameModeCampaign::playerColorCode(1), 1);
}

TEST_F(CampaignMission, TheIntroMarksTheGoalsAndTheFrontLineWaypointUntilTheLevelEnds)
{
    ASSERT_NE(start(0, 0), nullptr);
    EXPECT_TRUE(mode->waypoints().empty());
    EXPECT_TRUE(harness.hud.goals.empty());
    frames(150);   // the intro fires after two seconds and starts the objective
    // Every object the objective lists that is in play is marked once.
    std::vector<const IGameEntity*> expected;
    for (const MapObject* object : trigger("goal").objectList)
        for (const auto& e : mode->entities())
            if (mode->objectOf(*e) == object)
                expected.push_back(e.get());
    ASSERT_FALSE(expected.empty());
    std::vector<const IGameEntity*> goals = harness.hud.goals;
    std::sort(goals.begin(), goals.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(goals, expected);

    ASSERT_EQ(mode->waypoints().size(), 1u);
    const IGameEntity* waypoint = mode->waypoints()[0];
    const MapTrigger& front = trigger("front_line");
    EXPECT_EQ(waypoint->position().x, front.pos.x);
    EXPECT_EQ(waypoint->position().z, front.pos.z);
    EXPECT_EQ(waypoint->radius(), front.radius);
    EXPECT_EQ(std::count(harness.hud.markers.begin(), harness.hud.markers.end(), waypoint), 1);

    // Asking again for the same trigger adds no second marker.
    mode->addWaypointMarker(trigger("front_line"));
    EXPECT_EQ(mode->waypoints().size(), 1u);
    EXPECT_EQ(std::count(harness.hud.markers.begin(), harness.hud.markers.end(), waypoint), 1);

    mode->clearLevel();
    EXPECT_TRUE(mode->waypoints().empty());
    EXPECT_EQ(std::count(harness.hud.markers.begin(), harness.hud.markers.end(), waypoint), 0);
}

// A mission's clock and its timers run with the game: once a frame.
TEST_F(CampaignMission, TheMissionsScriptRunsOnceAFrame)
{
    ASSERT_NE(start(1, 1), nullptr);
    const float before = mode->world()->clock();
    frames(120);
    EXPECT_NEAR(mode->world()->clock() - before, 120 * ModeHarness::kFrame, 1e-3f);
    EXPECT_NEAR(trigger("relief").elapsed, mode->world()->clock(), 0.05f);
}

TEST_F(CampaignMission, AFailureShowsItsReasonOnceAndWritesNoProgress)
{
    for (const int reason : {0, -1, kConvoyLostText}) {
        pages = CampaignPages{};
        ASSERT_NE(start(0, 1), nullptr);
        mode->endMission(false, reason);
        mode->endMission(true, 0);  // the mission has ended: nothing more happens
        mode->endMission(false, 7);
        ASSERT_EQ(pages.failures.size(), 1u) << reason;
        EXPECT_EQ(pages.failures[0], reason >= 1 ? reason : GameModeCampaign::kDefaultFailureText);
        EXPECT_EQ(campaignStats().failureReason, reason);
        EXPECT_EQ(matchOutcome(), MatchOutcome::Lost);
        EXPECT_TRUE(pages.counted(GameModeCampaign::kMissionEndedEvent));
        EXPECT_TRUE(pages.counted(GameModeCampaign::kMissionFailedEvent));
        EXPECT_FALSE(pages.counted(GameModeCampaign::kMissionWonEvent));
        EXPECT_EQ(pages.results, 0);
        // The statistics service names the plane of the failed mission, once.
        ASSERT_EQ(pages.missionParams.size(), 1u) << reason;
        EXPECT_EQ(pages.missionParams[0].first, mode->playerAirplane()->record().plane_id);
        EXPECT_TRUE(pages.medalParams.empty());
        EXPECT_EQ(settings().campaignProgressAt(0, 1), 0);
        EXPECT_EQ(pages.log.back(), "pause " + std::to_string(static_cast<int>(PauseMenu::MissionEnd)));
        EXPECT_TRUE(mode->playStopped);
    }
}

TEST_F(CampaignMission, AWinRecordsProgressAndRemovesTheCheckpointInOrder)
{
    ASSERT_NE(start(0, 2), nullptr);
    mode->saveCheckpoint();
    ASSERT_TRUE(mode->lastSaveWritten());
    const std::string file = MissionSave::fileName(mode->missionKey());
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(readSaveFile(file, MissionSave::kMaxFileBytes, bytes));
    frames(60);
    mode->endMission(true, 0);
    mode->endMission(false, 0);

    EXPECT_EQ(matchOutcome(), MatchOutcome::Won);
    EXPECT_TRUE(pages.failures.empty());
    EXPECT_EQ(settings().campaignProgressAt(0, 2), 1);
    // The win opens the next mission on the mission list.
    EXPECT_EQ(settings().campaignProgressAt(0, 3), 1);
    EXPECT_EQ(settings().campaignProgressAt(0, 4), 0);
    EXPECT_FALSE(readSaveFile(file, MissionSave::kMaxFileBytes, bytes));
    // Fast and without a restart: gold.
    EXPECT_EQ(ScoreMgr::instance().medal, 3);
    EXPECT_FALSE(ScoreMgr::instance().active());
    // The settings file in the save folder holds the progress.
    Settings readBack;
    ASSERT_TRUE(readBack.load());
    EXPECT_EQ(readBack.campaignProgressAt(0, 2), 1);
    // The airplane flies on under an AI behind the pages.
    ASSERT_NE(mode->playerAirplane(), nullptr);
    EXPECT_NE(mode->playerAirplane()->aiController(), nullptr);

    // The level start's two events, then the end's.
    const std::vector<std::string> expected = {
        "event 1", "event 2", "event 4", "event 5", "event 134", "result", "close",
        "pause " + std::to_string(static_cast<int>(PauseMenu::MissionEnd))};
    EXPECT_EQ(pages.log, expected);
    // The medal event names the plane and the medal won; no mission failure.
    ASSERT_EQ(pages.medalParams.size(), 1u);
    EXPECT_EQ(pages.medalParams[0], std::make_pair(mode->playerAirplane()->record().plane_id, 3));
    EXPECT_TRUE(pages.missionParams.empty());
}

TEST_F(CampaignMission, AMissingOrFailingComicLeadsToTheResultPage)
{
    ASSERT_NE(start(0, 0), nullptr);
    ASSERT_TRUE(mode->mapRecord()->comicEnd.empty());
    mode->endMission(true, 0);
    EXPECT_TRUE(pages.comics.empty());
    EXPECT_EQ(pages.results, 1);

    // A mission naming its end comic: shown when it loads, else the result page.
    MapInfoCfg withComic = *MapLists::instance().campaignMission(0, 0);
    withComic.comicEnd = "c1_end";
    for (const bool loads : {false, true}) {
        pages = CampaignPages{};
        pages.comicLoads = loads;
        ASSERT_NE(start(0, 0), nullptr);
        mode->setMapRecord(&withComic);
        mode->endMission(true, 0);
        ASSERT_EQ(pages.comics.size(), 1u);
        EXPECT_EQ(pages.comics[0], "data/comics/c1_end.cfg");
        EXPECT_EQ(pages.results, loads ? 0 : 1) << loads;
        mode->setMapRecord(MapLists::instance().campaignMission(0, 0));
    }
}

TEST_F(CampaignMission, MissionPointsPayOnlyForABetterMedal)
{
    // P = 90: medal 1 pays 30, 2 pays 60, 3 pays 90; easy x 0.3, hard x 2.
    struct Case {
        int newMedal, stored, level, points;
    };
    const Case cases[] = {
        {3, 0, 1, 90}, {2, 0, 1, 60}, {1, 0, 1, 30}, {3, 1, 1, 60}, {3, 3, 1, 0}, {1, 2, 1, 0},
        {3, 0, 0, 27}, {2, 1, 0, 9},  {2, 2, 0, 0},  {1, 3, 0, 0},  {3, 0, 2, 180}, {3, 2, 2, 60},
        {2, 2, 2, 0},  {1, 2, 2, 0},  {0, 0, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GameModeCampaign::missionPoints(90, c.newMedal, c.stored, c.level), c.points)
            << c.newMedal << " over " << c.stored << " on " << c.level;

    // The stored medal is read by difficulty: byte 0 normal, 1 hard, 2 easy.
    ASSERT_NE(start(0, 0, 2), nullptr);
    settings().campaignResults[0] = 0x00010203u;  // easy 1, hard 2, normal 3
    EXPECT_EQ(mode->storedMedal(), 2);
    mode->difficulty = 0;
    EXPECT_EQ(mode->storedMedal(), 1);
    mode->difficulty = 1;
    EXPECT_EQ(mode->storedMedal(), 3);
    ScoreMgr::instance().medal = 3;
    EXPECT_EQ(mode->missionPoints(), 0);
    EXPECT_EQ(mode->matchBonusPercent(), 0);
    settings().campaignResults[0] = 0;
    EXPECT_EQ(mode->missionPoints(), mode->mapRecord()->missionPoints);
}

TEST_F(CampaignMission, LosingThePlayersAirplaneFailsUnlessLossIsAllowed)
{
    // Without loss allowed the crash fails the mission with the general text.
    ASSERT_NE(start(0, 0), nullptr);
    const int planeId = mode->playerAirplane()->record().plane_id;
    mode->onAirplaneDestroyed(*mode->playerAirplane(), nullptr, CrashCause::Ground);
    frames(1);
    EXPECT_EQ(mode->playerAirplane(), nullptr);
    ASSERT_EQ(pages.failures.size(), 1u);
    EXPECT_EQ(pages.failures[0], GameModeCampaign::kDefaultFailureText);
    // The lost airplane's plane goes with the checkpoint and the mission events.
    ASSERT_EQ(pages.checkpointParams.size(), 1u);
    EXPECT_EQ(pages.checkpointParams[0].first, planeId);
    ASSERT_EQ(pages.missionParams.size(), 1u);
    EXPECT_EQ(pages.missionParams[0].first, planeId);

    // Allowed: the airplane goes, the pointer with it, and the mission is won later.
    pages = CampaignPages{};
    ASSERT_NE(start(0, 0), nullptr);
    mode->setPlayerLossAllowed(true);
    const Target* player = mode->playerAirplane();
    mode->onAirplaneDestroyed(*mode->playerAirplane(), nullptr, CrashCause::Ground);
    frames(2);
    EXPECT_EQ(mode->playerAirplane(), nullptr);
    for (const auto& e : mode->entities())
        EXPECT_NE(e.get(), player);
    EXPECT_TRUE(pages.failures.empty());
    frames(120);
    mode->endMission(true, 0);
    EXPECT_EQ(matchOutcome(), MatchOutcome::Won);
    // No flawless-win event without the airplane.
    EXPECT_FALSE(pages.counted(GameModeCampaign::kFlawlessEventBase));
    // A new round clears the allowance.
    mode->resetRound();
    EXPECT_FALSE(mode->playerLossAllowed);
}

TEST_F(CampaignMission, AParachuteLandingFailsOnlyWithoutLossAllowed)
{
    // The airplane the pilot left crashes, or flies on without him: either way
    // the mission is decided when he lands, not before and not never.
    for (const bool crashes : {true, false})
        for (const bool allowed : {false, true}) {
            SCOPED_TRACE(std::string(crashes ? "crashes" : "flies on") + (allowed ? ", loss allowed" : ""));
            pages = CampaignPages{};
            ASSERT_NE(start(0, 0), nullptr);
            mode->setPlayerLossAllowed(allowed);
            Airplane& player = *mode->playerAirplane();
            mode->ejectPilot(player, 0.0f, true);
            ASSERT_NE(player.parachute, nullptr);
            if (crashes)
                mode->onAirplaneDestroyed(player, nullptr, CrashCause::Ground);
            frames(60);
            // The pilot is still coming down: nothing is decided.
            EXPECT_TRUE(pages.failures.empty());
            ASSERT_EQ(mode->playerAirplane(), &player);
            for (int i = 0; i < 10 * 60 && mode->playerAirplane(); ++i)
                frames(1);
            EXPECT_EQ(mode->playerAirplane(), nullptr) << "the parachute landed";
            EXPECT_EQ(mode->parachuteCount(), 0);
            EXPECT_EQ(pages.failures.size(), allowed ? 0u : 1u);
        }
}

TEST_F(CampaignMission, ARemovedAirplaneIsForgottenByScoresAttackersAndItsObject)
{
    ASSERT_NE(start(0, 0), nullptr);
    Target* red = entityOf("red_0");
    Target* red1 = entityOf("red_1");
    ASSERT_TRUE(red && red1);
    Airplane& player = *mode->playerAirplane();
    player.lastAttacker = red;
    player.rememberedTarget = red;
    red1->lastAttacker = red;
    destroy(*red, &player);
    frames(1);
    EXPECT_EQ(mode->world()->findObject("red_0")->state, MapObject::kStateGone);
    // The wreck falls until it hits the ground, then leaves the world.
    for (int i = 0; i < 120 * 60 && entityOf("red_0"); ++i)
        frames(1);
    ASSERT_EQ(entityOf("red_0"), nullptr);
    frames(1);
    EXPECT_EQ(player.lastAttacker, nullptr);
    EXPECT_EQ(player.rememberedTarget, nullptr);
    EXPECT_EQ(red1->lastAttacker, nullptr);
    for (int g = 0; g < 2; ++g)
        for (const Airplane* a : ScoreMgr::instance().group(g).players)
            EXPECT_NE(a, red);
    for (const Airplane* a : ScoreMgr::instance().winners())
        EXPECT_NE(a, red);
    EXPECT_EQ(missionStats().enemiesKilled, 1);
}

TEST_F(CampaignMission, ACheckpointAtHalfwayIsResumedAfterAFailure)
{
    ASSERT_NE(start(0, 1), nullptr);
    frames(150);
    Airplane* player = mode->playerAirplane();
    destroy(*entityOf("bombers_0"), player);
    destroy(*entityOf("bombers_1"), player);
    frames(2);
    ASSERT_TRUE(trigger("halfway").fired);
    ASSERT_TRUE(mode->lastSaveWritten());
    ASSERT_NE(entityOf("wave_0"), nullptr);
    const std::optional<CheckpointData> saved0 = MissionSave::load(*mode);
    ASSERT_TRUE(saved0);
    const float clock = saved0->gameClock;
    const int score = player->scores[Airplane::kScorePoints];
    EXPECT_EQ(missionStats().enemiesKilled, 2);
    EXPECT_GT(score, 0);

    // A later save that crashes mid-write leaves the halfway checkpoint whole.
    const std::string file = MissionSave::fileName(mode->missionKey());
    std::vector<std::uint8_t> saved;
    ASSERT_TRUE(readSaveFile(file, MissionSave::kMaxFileBytes, saved));
    const std::filesystem::path blocker = harness.saveFolder() / (file + ".new");
    std::filesystem::create_directory(blocker);
    frames(60);
    mode->saveCheckpoint();
    EXPECT_FALSE(mode->lastSaveWritten());
    std::filesystem::remove(blocker);
    std::vector<std::uint8_t> after;
    ASSERT_TRUE(readSaveFile(file, MissionSave::kMaxFileBytes, after));
    EXPECT_EQ(after, saved);

    mode->endMission(false, -1);
    ASSERT_TRUE(readSaveFile(file, MissionSave::kMaxFileBytes, after));  // a failure keeps it

    // The retry with resume 1: the objects, triggers, clock and statistics of the checkpoint.
    missionStats() = MissionStats{};
    ASSERT_NE(start(0, 1, 1, 1), nullptr);
    EXPECT_EQ(entityOf("bombers_0"), nullptr);
    EXPECT_EQ(entityOf("bombers_1"), nullptr);
    EXPECT_NE(entityOf("bombers_2"), nullptr);
    EXPECT_NE(entityOf("wave_0"), nullptr);
    EXPECT_TRUE(trigger("halfway").fired);
    EXPECT_TRUE(trigger("goal").enabled);
    EXPECT_FLOAT_EQ(mode->world()->clock(), clock);
    EXPECT_EQ(missionStats().enemiesKilled, 2);
    EXPECT_EQ(missionStats().checkpointRestarts, 1);
    ASSERT_NE(mode->playerAirplane(), nullptr);
    EXPECT_EQ(mode->playerAirplane()->scores[Airplane::kScorePoints], score);
    // The rest of the goal wins it.
    destroy(*entityOf("bombers_2"), mode->playerAirplane());
    destroy(*entityOf("bombers_3"), mode->playerAirplane());
    frames(2);
    EXPECT_EQ(matchOutcome(), MatchOutcome::Won);
    EXPECT_EQ(missionStats().enemiesKilled, 4);

    // Resume 0 starts fresh even with a checkpoint on disk.
    ASSERT_NE(start(0, 1), nullptr);
    mode->saveCheckpoint();
    missionStats() = MissionStats{};
    ASSERT_NE(start(0, 1, 1, 0), nullptr);
    for (int k = 0; k < 4; ++k)
        EXPECT_NE(entityOf("bombers_" + std::to_string(k)), nullptr);
    EXPECT_FALSE(trigger("halfway").fired);
    EXPECT_EQ(missionStats().checkpointRestarts, 0);
}

TEST_F(CampaignMission, ADamagedCheckpointIsIgnoredAndTheMissionStartsFresh)
{
    ASSERT_NE(start(0, 3), nullptr);
    mode->saveCheckpoint();
    const std::string file = MissionSave::fileName(mode->missionKey());
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(readSaveFile(file, MissionSave::kMaxFileBytes, bytes));
    for (const std::size_t cut : {bytes.size() / 2, std::size_t{3}}) {
        std::vector<std::uint8_t> damaged(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        damaged.push_back(0xA5);
        ASSERT_TRUE(writeSaveFileAtomic(file, damaged));
        ASSERT_NE(start(0, 3, 1, 1), nullptr);
        EXPECT_NE(mode->playerAirplane(), nullptr);
        EXPECT_EQ(missionStats().checkpointRestarts, 0);
        EXPECT_FALSE(trigger("halfway").fired);
    }

    // No kept name free (or a full disk): the damaged checkpoint stays whole
    // through the fresh start, the checkpoints reached and the won mission.
    const std::vector<std::uint8_t> damaged = {'S', 'K', 'C', 'P', 0xA5, 0x5A};
    for (int number = 0; number < kMaxKeptSaveCopies; ++number)
        std::ofstream(harness.saveFolder() / (file + ".bad" + (number ? std::to_string(number) : ""))) << "older";
    ASSERT_TRUE(writeSaveFileAtomic(file, damaged));
    ASSERT_NE(start(0, 3, 1, 1), nullptr);
    EXPECT_EQ(missionStats().checkpointRestarts, 0);
    mode->saveCheckpoint();
    EXPECT_FALSE(mode->lastSaveWritten());
    mode->endMission(true, -1);
    EXPECT_EQ(matchOutcome(), MatchOutcome::Won);
    ASSERT_TRUE(readSaveFile(file, MissionSave::kMaxFileBytes, bytes)) << "deleted";
    EXPECT_EQ(bytes, damaged) << "written over";
    EXPECT_FALSE(std::filesystem::exists(harness.saveFolder() / (file + ".bad100")));
}

}  // namespace

TEST(ModeEndPages, ModesReachTheEndPagesTheirMatchGivesAndNoneWithout)
{
    struct Pages : IModeEndPages {
        int results = 0;
        void showMissionResult() override { ++results; }
    };
    Pages own;
    ModeServices none;
    none.endPagesOrNone().showMissionResult();   // none given: nothing happens
    ModeServices withOwn;
    withOwn.endPages = &own;
    withOwn.endPagesOrNone().showMissionResult();
    EXPECT_EQ(own.results, 1);
}
