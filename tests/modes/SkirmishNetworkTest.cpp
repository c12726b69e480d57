#include "entities/aircraft/Airplane.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/WeaponList.h"
#include "modes/kinds/GameModeFFA.h"
#include "modes/progress/MissionStats.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/File.h"
#include "platform/Language.h"
#include "platform/Random.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

struct RecordingOverlays : IModeOverlays {
    std::vector<std::string> calls;
    std::vector<PauseMenu> opened;
    void openPauseScreen(PauseMenu menu) override
    {
        calls.push_back("open");
        opened.push_back(menu);
    }
    void closeOverlay() override { calls.push_back("close"); }
    void setPaused(bool) override { calls.push_back("unpause"); }
};

struct RecordingMessages : IModeMessages {
    std::vector<std::u16string> notices;
    int clears = 0;
    void pushNotice(std::u16string_view text, float, int, int) override { notices.emplace_back(text); }
    bool hasNotice() const override { return !notices.empty(); }
    void clearNotices() override
    {
        ++clears;
        notices.clear();
    }
};

struct NetworkedSkirmish : testing::Test {
    ModeHarness harness;
    RecordingOverlays overlays;
    RecordingMessages messages;
    Settings saved = settings();
    MissionStats savedStats = missionStats();

    void SetUp() override
    {
        seedRandom(91, 3);
        // From the first start's settings, whatever a test before left.
        settings() = Settings{};
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        settings().setSkirmishWord(Settings::kEntryFFA, 2, 3);
        settings().setSkirmishWord(Settings::kEntryTD, 2, 2);
        settings().setSkirmishWord(Settings::kEntryTD, 3, 3);
    }
    void TearDown() override
    {
        harness.finish();
        settings() = saved;
        missionStats() = savedStats;
    }
    GameModeCustom* start(GameType type)
    {
        harness.messages = &messages;
        harness.overlays = &overlays;
        return dynamic_cast<GameModeCustom*>(harness.start(static_cast<int>(type), harness.firstSkirmishMap()));
    }
    static const Weapon* inGroup(const Airplane& a, int group)
    {
        for (int slot = 0; slot < kWeaponSlots; ++slot)
            if (const Weapon* w = a.weapon(slot); w && w->group() == group)
                return w;
        return nullptr;
    }
    Airplane* bot(GameModeCustom& mode) const
    {
        for (Target* t : mode.activeTargets())
            if (t->kind() == TargetKind::Airplane && t != mode.playerAirplane())
                return static_cast<Airplane*>(t);
        return nullptr;
    }
};

TEST_F(NetworkedSkirmish, ThePlayerFliesTheChosenPlaneInOwnPaintAndWeaponsAndComesBack)
{
    const WeaponCfg* chosen = WeaponList::instance().findByName("simple_missile_1");
    ASSERT_NE(chosen, nullptr);
    settings().weaponLoadout = {-1, chosen->weapon_id, -1};
    const PlanePaint paint{120.0f, 0.5f, 0.4f, 240.0f, 0.25f, 0.9f};
    settings().setPaint(settings().localPlaneId, paint);

    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    EXPECT_FALSE(me->aiPilot);
    EXPECT_EQ(me->team(), 0);
    EXPECT_EQ(me->pilotName, u"Pilot");
    EXPECT_TRUE(me->isActive());
    EXPECT_EQ(mode->paintOf(*me), paint);
    const Weapon* special = inGroup(*me, 1);
    ASSERT_NE(special, nullptr);
    EXPECT_EQ(special->record().weapon_id, chosen->weapon_id);
    EXPECT_NE(inGroup(*me, 0), nullptr);  // the plane's own gun stays
    EXPECT_NEAR(me->position().x, 0.0f, 1.0f);
    EXPECT_NEAR(me->position().z, 0.0f, 1.0f);

    // Shot down, the player waits the single-player delay and flies again.
    mode->onAirplaneDestroyed(*me, bot(*mode), CrashCause::Collision);
    EXPECT_FALSE(me->isActive());
    harness.run(4.5f);
    EXPECT_FALSE(me->isActive());
    harness.run(1.0f);
    EXPECT_TRUE(me->isActive());
    EXPECT_EQ(mode->playerAirplane(), me);
}

TEST_F(NetworkedSkirmish, TheTeamDeathmatchPlayerStartsAtItsPointAndLeadsTheOwnSquadron)
{
    GameModeCustom* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    EXPECT_EQ(me->team(), 0);
    EXPECT_NEAR(me->position().x, GameModeTD::kPlayerStart.x, 1.0f);
    EXPECT_NEAR(me->position().z, GameModeTD::kPlayerStart.z, 1.0f);
    ASSERT_NE(mode->squadronA, nullptr);
    EXPECT_EQ(mode->squadronA->leader(), me);
    EXPECT_NE(mode->squadronB->leader(), nullptr);
    EXPECT_EQ(ScoreMgr::instance().group(0).players.size(), 3u);
    EXPECT_EQ(ScoreMgr::instance().group(1).players.size(), 3u);
}

TEST_F(NetworkedSkirmish, APlaneWithoutPaintsGetsRowZero)
{
    PlaneCfg bare;
    bare.paints.clear();
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(GameModeCustom::paintRowFor(bare), 0);
    PlaneCfg painted;
    painted.paints.resize(3);
    bool seen[3] = {};
    for (int i = 0; i < 200; ++i) {
        const int row = GameModeCustom::paintRowFor(painted);
        ASSERT_GE(row, 0);
        ASSERT_LT(row, 3);
        seen[row] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
}

TEST_F(NetworkedSkirmish, EachKindOpensItsOwnEndTableAfterClosingOverlays)
{
    GameModeCustom* td = start(GameType::TeamDeathmatch);
    ASSERT_NE(td, nullptr);
    ScoreMgr::instance().endMatch();
    harness.run(2.0f * ModeHarness::kFrame);
    ASSERT_EQ(overlays.opened, std::vector<PauseMenu>{PauseMenu::TeamMatch});
    EXPECT_EQ(overlays.calls, (std::vector<std::string>{"close", "open"}));
    harness.finish();

    overlays = {};
    GameModeCustom* ffa = start(GameType::FreeForAll);
    ASSERT_NE(ffa, nullptr);
    ScoreMgr::instance().endMatch();
    harness.run(2.0f * ModeHarness::kFrame);
    EXPECT_EQ(overlays.opened, std::vector<PauseMenu>{PauseMenu::Match});
}

TEST_F(NetworkedSkirmish, EventFlagsAndScoringBySide)
{
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    // Single player: only the kind bits.
    EXPECT_EQ(mode->eventFlags(*me, true, 4), 4);
    EXPECT_EQ(mode->eventFlags(*me, true, 8), 8);
    EXPECT_EQ(mode->eventFlags(*me, true, 3), 0);
    mode->setNetwork(true, true, true);
    EXPECT_EQ(mode->eventFlags(*me, true, 4), 1 | 2 | 4);
    me->networkRole = NetworkRole::RemoteClient;
    EXPECT_EQ(mode->eventFlags(*me, false, 8), 8);
    mode->setNetwork(true, false, true);
    EXPECT_EQ(mode->eventFlags(*me, true, 4), 4);

    EXPECT_FALSE(mode->countsForScore(nullptr, nullptr));
    const std::uint8_t counted = 5, notCounted = 4;
    EXPECT_TRUE(mode->countsForScore(me, &counted));
    EXPECT_FALSE(mode->countsForScore(me, &notCounted));
    EXPECT_TRUE(mode->countsForScore(me, nullptr));
    mode->setNetwork(true, true, true);
    EXPECT_TRUE(mode->countsForScore(me, &notCounted));  // the host keeps its own rule
}

TEST_F(NetworkedSkirmish, TheHostRelaysADeathWithItsFlagsAndDelay)
{
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, true, false);
    mode->respawnDelaySetting = 8.0f;
    Airplane* victim = bot(*mode);
    ASSERT_NE(victim, nullptr);
    mode->outbox().clear();
    harness.listener.calls.clear();
    mode->onAirplaneDestroyed(*victim, mode->playerAirplane(), CrashCause::KilledByDamage);
    ASSERT_EQ(harness.posted().destroyed.size(), 1u);
    EXPECT_EQ(harness.posted().destroyed[0].flags, 1 | 4);
    EXPECT_FLOAT_EQ(harness.posted().destroyed[0].respawnTime, 8.0f);
    EXPECT_TRUE(victim->isActive());
    EXPECT_TRUE(harness.hud.kills.empty());
    // It falls; once down a second message starts its wait, the camera's
    // kill event with it.
    for (int frame = 0; frame < 480; ++frame)
        mode->update(ModeHarness::kFrame);
    ASSERT_EQ(harness.posted().destroyed.size(), 2u);
    EXPECT_EQ(harness.posted().destroyed[1].flags, 1 | 8);
    EXPECT_FLOAT_EQ(harness.posted().destroyed[1].respawnTime, 8.0f);
    EXPECT_EQ(harness.posted().count("respawned"), 0);
    ASSERT_EQ(harness.hud.kills.size(), 1u);
    EXPECT_EQ(harness.hud.kills[0].second, mode->playerAirplane());
}

TEST_F(NetworkedSkirmish, AClientScoresTheHostsEventsAsTheFlagsSay)
{
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, false, false);
    Airplane* me = mode->playerAirplane();
    Airplane* victim = bot(*mode);
    ASSERT_TRUE(me && victim);
    ASSERT_TRUE(ScoreMgr::instance().active() && ScoreMgr::instance().ready());
    const Vec3 at{100.0f, 3000.0f, 100.0f};
    mode->onAirplaneEvent(*victim, me, CrashCause::Collision, 1 | 4, 5.0f, at, Quat{});
    EXPECT_EQ(victim->scores[Airplane::kScoreDeaths], 1);
    EXPECT_EQ(me->scores[Airplane::kScorePoints], 1);
    EXPECT_EQ(harness.posted().count("destroyed"), 0);  // clients do not relay

    // A death the host does not count costs no death.
    Airplane* other = nullptr;
    for (Target* t : mode->activeTargets())
        if (t->kind() == TargetKind::Airplane && t != me && t != victim)
            other = static_cast<Airplane*>(t);
    ASSERT_NE(other, nullptr);
    mode->onAirplaneEvent(*other, me, CrashCause::Collision, 4, 5.0f, at, Quat{});
    EXPECT_EQ(other->scores[Airplane::kScoreDeaths], 0);

    // The host's camera event reaches the camera.
    mode->onAirplaneEvent(*other, me, CrashCause::None, 8, 5.0f, at, Quat{});
    ASSERT_EQ(harness.hud.kills.size(), 1u);
    EXPECT_EQ(harness.hud.kills[0].first, other);
    EXPECT_EQ(harness.hud.kills[0].second, me);

    // Without the destroyed bit: out for good at the position, or back later there.
    Airplane* third = victim;
    mode->onAirplaneEvent(*third, nullptr, CrashCause::None, 0, -1.0f, at, Quat{});
    EXPECT_FALSE(mode->playStopped);
    EXPECT_FALSE(third->isActive());
    EXPECT_NEAR(third->position().y, at.y, 0.01f);
}

TEST_F(NetworkedSkirmish, AClientLosingTheHostEndsTheMatchAndShowsTheNotice)
{
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, false, false);
    harness.listener.active = false;
    mode->update(ModeHarness::kFrame);
    EXPECT_TRUE(mode->playStopped);
    EXPECT_EQ(mode->serverLostNotices(), 1);
    EXPECT_EQ(overlays.opened, std::vector<PauseMenu>{PauseMenu::ServerLost});
    EXPECT_EQ(harness.listener.count("stopNetwork"), 1);
    EXPECT_EQ(mode->listener(), nullptr);
    EXPECT_EQ(matchOutcome(), MatchOutcome::NoResult);
    EXPECT_FALSE(ScoreMgr::instance().active());
    // Nothing else opens afterwards.
    harness.run(1.0f);
    EXPECT_EQ(overlays.opened.size(), 1u);
}

TEST_F(NetworkedSkirmish, AClientWaitingForTheRestartNoticesTheHostLeaving)
{
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, false, false);
    mode->onMatchEnded(10.0f);
    mode->update(ModeHarness::kFrame);  // the end table; the listener stays for the restart
    EXPECT_EQ(mode->listener(), &harness.listener);
    mode->update(ModeHarness::kFrame);
    EXPECT_EQ(mode->serverLostNotices(), 0);
    harness.listener.connected = false;
    mode->update(ModeHarness::kFrame);
    EXPECT_EQ(mode->serverLostNotices(), 1);
    EXPECT_EQ(harness.listener.count("disconnect"), 1);
    EXPECT_EQ(mode->listener(), nullptr);
}

TEST_F(NetworkedSkirmish, WithoutARestartEveryoneDropsTheNetworkAtTheEndTable)
{
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, false, false);
    ScoreMgr::instance().endMatch();
    mode->update(ModeHarness::kFrame);
    EXPECT_EQ(harness.listener.count("disconnect"), 1);
    EXPECT_EQ(harness.posted().count("matchEnded"), 1);
    EXPECT_EQ(mode->listener(), nullptr);
    EXPECT_EQ(mode->serverLostNotices(), 0);
}

TEST_F(NetworkedSkirmish, TheHostClosesJoinsAndTeamChangesAsTheMatchRunsOut)
{
    settings().setSkirmishWord(Settings::kEntryHost, GameModeCustom::kTeamChangeWord, 1);
    GameModeCustom* mode = start(GameType::TeamDeathmatch);
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, true, false);
    mode->closeJoinsNearEnd = true;
    mode->closeJoinsAfterMatch = true;
    ScoreMgr& sm = ScoreMgr::instance();
    sm.timeLimit = 240.0f;
    harness.listener.calls.clear();
    mode->outbox().clear();
    mode->resetMatch(false, false);
    EXPECT_TRUE(mode->teamChangeAllowed);
    EXPECT_EQ(harness.posted().count("teamFlag"), 1);

    sm.setElapsed(30.0f);
    mode->update(ModeHarness::kFrame);
    EXPECT_TRUE(mode->teamChangeAllowed);
    EXPECT_TRUE(harness.listener.acceptingJoins.empty());
    sm.setElapsed(130.0f);
    mode->update(ModeHarness::kFrame);
    mode->update(ModeHarness::kFrame);
    EXPECT_FALSE(mode->teamChangeAllowed);
    EXPECT_EQ(harness.posted().count("teamFlag"), 2);  // told once
    EXPECT_TRUE(harness.listener.acceptingJoins.empty());
    sm.setElapsed(190.0f);
    mode->update(ModeHarness::kFrame);
    ASSERT_FALSE(harness.listener.acceptingJoins.empty());
    EXPECT_FALSE(harness.listener.acceptingJoins.back());

    // The next match opens the doors again.
    mode->startNextMatch();
    EXPECT_TRUE(harness.listener.acceptingJoins.back());
    EXPECT_EQ(harness.posted().count("restart"), 1);
}

TEST_F(NetworkedSkirmish, ANetworkGameWaitsForPlayersWithANotice)
{
    settings().setSkirmishWord(Settings::kEntryFFA, 2, 0);
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, true, false);
    mode->resetMatch(false, false);
    ASSERT_FALSE(ScoreMgr::instance().ready());  // the player alone
    mode->update(ModeHarness::kFrame);
    mode->update(ModeHarness::kFrame);
    ASSERT_EQ(messages.notices.size(), 1u);
    EXPECT_EQ(messages.notices[0], getStringByIndex(GameModeCustom::kNotReadyText));
    // A second player makes the match ready and the notice goes.
    ASSERT_NE(mode->spawnBot(1, 0.5f, nullptr, true, -1), nullptr);
    const int clears = messages.clears;
    mode->update(ModeHarness::kFrame);
    EXPECT_TRUE(ScoreMgr::instance().ready());
    EXPECT_EQ(messages.clears, clears + 1);
    EXPECT_TRUE(messages.notices.empty());
}

TEST_F(NetworkedSkirmish, RespawnTextsWhileThePlayerIsOut)
{
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    std::u16string text;
    EXPECT_FALSE(mode->respawnText(text));  // flying

    // Out and not waiting to come back: single player shows nothing, a client
    // waits for the next round.
    mode->takeOutAirplane(*me);
    EXPECT_FALSE(mode->respawnText(text));
    mode->setNetwork(true, false, false);
    ASSERT_TRUE(mode->respawnText(text));
    EXPECT_EQ(text, getStringByIndex(GameModeCustom::kOutText));

    // Coming back: the countdown, rounded up.
    mode->respawnAirplane(*me, 3.2f, nullptr);
    ASSERT_TRUE(mode->respawnText(text));
    char16_t expected[128];
    wideFormatW(expected, 128, getStringByIndex(GameModeCustom::kRespawnCountdownText).c_str(), 4);
    EXPECT_EQ(text, expected);
    // Its time is up but the host has not sent it back yet.
    me->respawnTimer = 0.0f;
    ASSERT_TRUE(mode->respawnText(text));
    EXPECT_EQ(text, getStringByIndex(GameModeCustom::kWaitingText));
}

TEST_F(NetworkedSkirmish, TheDataHasEveryTextAMatchShows)
{
    auto file = openFile("data/strings/EN/main.str");
    ASSERT_TRUE(file);
    StringTable table;
    ASSERT_TRUE(table.load(*file));
    for (int id : {100, 181, 182, 183, 196, 197, 198, 199, 201, 202, 203, 204, 205, 1811, 1812, 1813}) {
        const std::u16string* text = table.text(id);
        ASSERT_NE(text, nullptr) << id;
        EXPECT_FALSE(text->empty()) << id;
    }
    // The countdown and the points line carry their number.
    EXPECT_NE(table.text(100)->find(u"%d"), std::u16string::npos);
    EXPECT_NE(table.text(199)->find(u"%d"), std::u16string::npos);
}

TEST_F(NetworkedSkirmish, TheAccuracyBonusReadsThePlayersShots)
{
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    EXPECT_EQ(missionStats().shotsFired, 0);
    mode->onGunShots(*me, 10, 5);
    mode->onGunShots(*bot(*mode), 7, 7);  // others' shots are not the player's
    EXPECT_EQ(missionStats().shotsFired, 10);
    EXPECT_EQ(missionStats().shotsHit, 5);
    // All tied at 0: first place, a bonus of 100; 100 x 0.1 x 0.6 x 0.5 = 3.
    mode->finishMatch();
    EXPECT_EQ(ScoreMgr::instance().matchPoints().matchBonus, 100);
    EXPECT_EQ(ScoreMgr::instance().matchPoints().accuracy, 3);
    // The next match counts afresh, its missiles too.
    missionStats().missilesFired = 4;
    missionStats().missilesHit = 2;
    mode->resetMatch(false, false);
    EXPECT_EQ(missionStats().shotsFired, 0);
    EXPECT_EQ(missionStats().missilesFired, 0);
    EXPECT_EQ(missionStats().missilesHit, 0);
}

TEST_F(NetworkedSkirmish, TheCheckpointBlockRoundTripsAndRefusesDamage)
{
    GameModeCustom* mode = start(GameType::FreeForAll);
    ASSERT_NE(mode, nullptr);
    Airplane* me = mode->playerAirplane();
    ASSERT_NE(me, nullptr);
    ScoreMgr& sm = ScoreMgr::instance();
    me->scores[Airplane::kScorePoints] = -2;
    missionStats().gameTime = 95.5f;
    missionStats().shotsFired = 40;
    missionStats().checkpointRestarts = 1;
    FileBuffer out;
    sm.writeStats(out);
    ASSERT_EQ(out.bytes().size(), CheckpointStats::kBytes);
    const MissionStats written = missionStats();

    missionStats() = MissionStats{};
    me->scores[Airplane::kScorePoints] = 9;
    FileBuffer in(out.bytes());
    ASSERT_TRUE(sm.readStats(in));
    EXPECT_EQ(missionStats(), written);
    EXPECT_EQ(me->scores[Airplane::kScorePoints], -2);

    // Short, negative counts, a time that is not a number: refused, nothing changed.
    std::vector<std::uint8_t> bytes = out.bytes();
    missionStats() = MissionStats{};
    FileBuffer shortBlock(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 40));
    EXPECT_FALSE(sm.readStats(shortBlock));
    std::vector<std::uint8_t> negative = bytes;
    negative[12 + 4 * 4 + 3] = 0xFF;  // shots fired
    FileBuffer negativeBlock(negative);
    EXPECT_FALSE(sm.readStats(negativeBlock));
    std::vector<std::uint8_t> nan = bytes;
    const float notANumber = std::nanf("");
    std::memcpy(nan.data() + 12, &notANumber, 4);
    FileBuffer nanBlock(nan);
    EXPECT_FALSE(sm.readStats(nanBlock));
    EXPECT_EQ(missionStats(), MissionStats{});
    EXPECT_EQ(me->scores[Airplane::kScorePoints], -2);
}

}  // namespace
