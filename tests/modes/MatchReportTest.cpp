#include "entities/ground/Flag.h"
#include "entities/ground/GroundTarget.h"
#include "modes/MatchReport.h"
#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/GameModeDF.h"
#include "modes/kinds/GameModeDTB.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/kinds/GameModeSRV.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/Language.h"
#include "platform/Text.h"

#include "support/AllocationProbe.h"

#include "CampaignFixture.h"
#include "ObjectiveModeKit.h"

#include <array>

namespace {

using MatchReports = ObjectiveModeTest;
using CampaignReport = CampaignMission;

struct KindCase {
    GameType type;
    bool flags, waves, rounds;
};

// The pages tell the kinds apart only by these sections: a section of
// another kind would put a flag column, a wave line or a dogfight headline
// on the wrong table.
TEST_F(MatchReports, EachKindFillsItsOwnSectionAndNoOther)
{
    settings().dogfightEnemyCount = 1;
    constexpr std::array<KindCase, 8> kCases = {{
        {GameType::FreeForAll, false, false, false},
        {GameType::TeamDeathmatch, false, false, false},
        {GameType::CaptureTheFlag, true, false, false},
        {GameType::DestroyTheBase, false, false, true},
        {GameType::Survival, false, true, false},
        {GameType::Dogfight, false, false, true},
        {GameType::LastManStanding, false, false, true},
        {GameType::FreeFlight, false, false, false},
    }};
    for (const KindCase& c : kCases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        GameMode* mode = harness.start(static_cast<int>(c.type), harness.firstSkirmishMap());
        ASSERT_NE(mode, nullptr);
        const MatchReport r = mode->report();
        EXPECT_EQ(r.type, c.type);
        EXPECT_EQ(r.role, MatchRole::Alone);
        EXPECT_TRUE(r.serverName.empty());
        EXPECT_FALSE(r.playStopped);
        EXPECT_EQ(r.flags.has_value(), c.flags);
        EXPECT_EQ(r.waves.has_value(), c.waves);
        EXPECT_EQ(r.rounds.has_value(), c.rounds);
        EXPECT_FALSE(r.campaign.has_value());
        // Every skirmish kind gives the local player an airplane on a team.
        ASSERT_NE(mode->playerAirplane(), nullptr);
        EXPECT_EQ(r.playerTeam, mode->playerAirplane()->team());
        // Nobody is down yet: no countdown, no notice under the HUD.
        EXPECT_FLOAT_EQ(r.restartCountdown, -1.0f);
        EXPECT_TRUE(r.respawnText.empty());
        harness.finish();
    }
    // A tutorial and the menu flight carry no section either.
    GameMode* tutorial = harness.startTutorial(0);
    ASSERT_NE(tutorial, nullptr);
    MatchReport r = tutorial->report();
    EXPECT_EQ(r.type, GameType::Tutorial);
    EXPECT_FALSE(r.flags || r.waves || r.rounds || r.campaign);
    harness.finish();
    GameMode* menu = harness.start(static_cast<int>(GameType::MenuBackground), harness.firstSkirmishMap());
    ASSERT_NE(menu, nullptr);
    menu->fillReport(r);
    EXPECT_EQ(r.type, GameType::MenuBackground);
    EXPECT_FALSE(r.flags || r.waves || r.rounds || r.campaign);
}

TEST_F(MatchReports, CaptureTheFlagNamesEachCarrierUntilTheFlagIsHome)
{
    auto* mode = start<GameModeCTF>(GameType::CaptureTheFlag);
    ASSERT_NE(mode, nullptr);
    Flag* enemyFlag = mode->flagOfTeam(1);
    ASSERT_NE(enemyFlag, nullptr);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    mode->onFlagTaken(*enemyFlag, *me);
    MatchReport r = mode->report();
    ASSERT_TRUE(r.flags);
    EXPECT_EQ(r.flags->carrierId[1], me->id());
    EXPECT_FALSE(r.flags->home[1]);
    EXPECT_EQ(r.flags->carrierId[0], -1);
    EXPECT_TRUE(r.flags->home[0]);
    mode->onFlagReturned(*enemyFlag, nullptr);
    mode->fillReport(r);
    EXPECT_EQ(r.flags->carrierId[1], -1);
    EXPECT_TRUE(r.flags->home[1]);
}

TEST_F(MatchReports, RoundAndWaveKindsReportTheirStateAsItRuns)
{
    // Last man standing: the 5 s countdown, then the round.
    auto* lms = start<GameModeLMS>(GameType::LastManStanding);
    ASSERT_NE(lms, nullptr);
    MatchReport r = lms->report();
    ASSERT_TRUE(r.rounds);
    EXPECT_FALSE(r.rounds->running);
    EXPECT_EQ(r.rounds->dogfight, -1);
    step(*lms, 5.1f);
    lms->fillReport(r);
    EXPECT_TRUE(r.rounds->running);
    harness.finish();

    // Survival is no round kind: its first wave counts down from 10 s.
    auto* srv = start<GameModeSRV>(GameType::Survival);
    ASSERT_NE(srv, nullptr);
    srv->fillReport(r);
    EXPECT_FALSE(r.rounds);
    ASSERT_TRUE(r.waves);
    EXPECT_EQ(r.waves->wave, 0);
    EXPECT_FLOAT_EQ(r.waves->countdown, GameModeSRV::kFirstCountdown);
    harness.finish();

    // Destroy the base: a team without live bases ends the round.
    auto* dtb = start<GameModeDTB>(GameType::DestroyTheBase);
    ASSERT_NE(dtb, nullptr);
    dtb->fillReport(r);
    ASSERT_TRUE(r.rounds);
    EXPECT_EQ(r.rounds->basesLeft[1], static_cast<int>(dtb->bases(1).size()));
    for (GroundTarget* b : std::vector<GroundTarget*>(dtb->bases(1)))
        dtb->onAirplaneDestroyed(*b, dtb->playerAirplane(), CrashCause::KilledByDamage);
    dtb->fillReport(r);
    EXPECT_EQ(r.rounds->basesLeft[1], 0);
    EXPECT_FALSE(r.rounds->running);
    harness.finish();

    // Dogfight 4 (index 3) won against its one enemy pays 75.
    settings().dogfightIndex = 3;
    settings().dogfightEnemyCount = 1;
    auto* df = start<GameModeDF>(GameType::Dogfight);
    ASSERT_NE(df, nullptr);
    df->fillReport(r);
    ASSERT_TRUE(r.rounds);
    EXPECT_EQ(r.rounds->dogfight, 3);
    EXPECT_FALSE(r.rounds->won);
    df->onAirplaneDestroyed(*airplanes(*df, 1).front(), df->playerAirplane(), CrashCause::KilledByDamage);
    df->update(ModeHarness::kFrame);
    df->fillReport(r);
    EXPECT_FALSE(r.rounds->won) << "the enemy still falls";
    step(*df, 8.0f);
    df->fillReport(r);
    EXPECT_TRUE(r.rounds->won);
    EXPECT_EQ(r.rounds->reward, 75);
    EXPECT_TRUE(r.playStopped);
}

// The HUD refills the report every frame: once its texts have their length,
// a refill asks for no memory.
TEST_F(MatchReports, TheCountdownToTheRespawnShowsAndRefillsAllocateNothing)
{
    auto* mode = start<GameModeCustom>(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    mode->takeOutAirplane(*me);
    mode->respawnAirplane(*me, 3.2f, nullptr);
    MatchReport r;
    mode->fillReport(r);
    // 3.2 s left show as 4.
    char16_t expected[128];
    wideFormatW(expected, 128, getStringByIndex(GameModeCustom::kRespawnCountdownText).c_str(), 4);
    EXPECT_EQ(r.respawnText, expected);
    allocprobe::reset();
    for (int i = 0; i < 30; ++i)
        mode->fillReport(r);
    EXPECT_EQ(allocprobe::largest(), 0u);
    // Back in play, the line goes.
    step(*mode, 4.0f);
    ASSERT_TRUE(me->isActive());
    mode->fillReport(r);
    EXPECT_TRUE(r.respawnText.empty());
}

// What a reader used to reach through the kind now reaches every mode, and
// does nothing where the kind has no such thing.
TEST_F(MatchReports, CommandsReachTheirKindAndNothingElse)
{
    auto* ffa = start<GameModeCustom>(GameType::FreeForAll);
    ASSERT_NE(ffa, nullptr);
    EXPECT_EQ(ffa->menuFlight(), nullptr);
    // No airplane of the player's: one is given, on team 0.
    ffa->setPlayerAirplane(nullptr);
    ffa->ensureLocalPlayer();
    ASSERT_NE(ffa->playerAirplane(), nullptr);
    EXPECT_EQ(ffa->playerAirplane()->team(), 0);
    EXPECT_EQ(ffa->playerAirplane()->pilotName, u"Pilot");
    // A second call keeps that airplane.
    const Airplane* given = ffa->playerAirplane();
    ffa->ensureLocalPlayer();
    EXPECT_EQ(ffa->playerAirplane(), given);
    ffa->endMatch();
    EXPECT_TRUE(ffa->report().playStopped);
    harness.finish();

    // The menu flight shows planes, and has no match to end or player to add.
    GameMode* menu = harness.start(static_cast<int>(GameType::MenuBackground), harness.firstSkirmishMap());
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(menu->menuFlight(), nullptr);
    const std::size_t entities = menu->entities().size();
    menu->endMatch();
    menu->ensureLocalPlayer();
    EXPECT_FALSE(menu->playStopped);
    EXPECT_EQ(menu->entities().size(), entities);
}

TEST_F(CampaignReport, TheMissionItsDifficultyAndItsFailureAreReported)
{
    ASSERT_NE(start(0, 1, 2), nullptr);
    MatchReport r = mode->report();
    EXPECT_EQ(r.type, GameType::Campaign);
    ASSERT_TRUE(r.campaign);
    EXPECT_EQ(r.campaign->campaign, 0);
    EXPECT_EQ(r.campaign->mission, 1);
    EXPECT_EQ(r.difficulty, 2);
    EXPECT_FALSE(r.campaign->ended);
    EXPECT_EQ(r.campaign->failureReason, -1);
    EXPECT_FALSE(r.flags || r.waves || r.rounds);
    EXPECT_FLOAT_EQ(r.restartCountdown, -1.0f);
    mode->endMission(false, 390);
    mode->fillReport(r);
    EXPECT_TRUE(r.campaign->ended);
    EXPECT_EQ(r.campaign->failureReason, 390);
    EXPECT_TRUE(r.playStopped);
    // A lost mission pays nothing.
    EXPECT_EQ(r.campaign->missionPoints, 0);
}

}  // namespace
