#include "ModeTestKit.h"
#include "modes/Match.h"
#include "modes/progress/AchievementPopup.h"
#include "modes/progress/GameProgress.h"
#include "modes/progress/AchievementTable.h"
#include "modes/progress/Achievements.h"
#include "modes/progress/IGameModeInfo.h"
#include "modes/progress/UnlocksMgr.h"
#include "gamedata/records/PlaneList.h"
#include "platform/File.h"
#include "platform/Pak.h"
#include "platform/StringTable.h"
#include "platform/Settings.h"
#include "platform/Steam.h"

#include "support/TempDir.h"
#include "support/modes/TestConnections.h"
#include "support/TestPak.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
constexpr int kRookie = 0, kTenKills = 5, kDemolisher = 19, kAirDominator = 24, kRankUp = 29;
constexpr int kSurvival10 = 32, kPacificVillage = 59;

struct FakeMode final : IGameModeInfo {
    bool client = false, server = false;
    bool isNetworkClient() const override { return client; }
    bool isNetworkServer() const override { return server; }
    bool isSinglePlayer() const override { return !client && !server; }
    int difficulty() const override { return 1; }
};

struct AchievementsFixture : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    Settings profile;
    Steam account;
    AchievementPopup popup;
    Achievements table{profile, account, nullptr, popup};
    float clock = 0.0f;

    void SetUp() override
    {
        table.setClock([this] { return clock; });
        table.buildTable();
    }
    void TearDown() override { setCurrentMatchInfo(nullptr); }

    void send(std::initializer_list<int> ids)
    {
        for (int id : ids)
            table.notifyEvent(id);
    }
    bool earned(int index) const { return table.find(index)->done; }
    int matched(int index) const { return static_cast<KTA_Event_Match*>(table.find(index))->position; }
};
}  // namespace

TEST_F(AchievementsFixture, TableHasNoObjectForFlyingSchool)
{
    EXPECT_EQ(table.list().size(), 99u);
    EXPECT_EQ(table.find(40), nullptr);
    EXPECT_EQ(achievementNameText(40), -1);
    EXPECT_EQ(table.find(99)->index, 99);
    EXPECT_EQ(table.stats().size(), 8u);
}

TEST_F(AchievementsFixture, RookieNeedsTheLevelStartThenThreeKills)
{
    send({2, 15, 7, 15, 15});
    EXPECT_TRUE(earned(kRookie));
    EXPECT_TRUE(account.isAchieved("rookie"));
    EXPECT_EQ(profile.achievementDoneAt(kRookie), 1);
    EXPECT_EQ(matched(kRookie), 0);
}

TEST_F(AchievementsFixture, DeathInSinglePlayerBeforeTheStartWaitsForIt)
{
    send({11});
    EXPECT_EQ(matched(kRookie), 0);
    send({15, 15, 15});
    EXPECT_FALSE(earned(kRookie));
    // Mid-streak a death keeps the start: the streak counts again from there.
    send({2, 15, 11});
    EXPECT_EQ(matched(kRookie), 1);
    send({1});
    EXPECT_EQ(matched(kRookie), 0);
}

TEST_F(AchievementsFixture, DeathOnTheNetworkReturnsToJustAfterTheStart)
{
    FakeMode mode;
    mode.client = true;
    setCurrentMatchInfo(&mode);
    send({11});
    EXPECT_EQ(matched(kRookie), 1);
    send({15, 15, 15});
    EXPECT_TRUE(earned(kRookie));
    EXPECT_EQ(profile.eventTallyAt(true, 15), 3);
    EXPECT_EQ(profile.eventTallyAt(false, 15), 0);
}

TEST_F(AchievementsFixture, CountersEarnOnlyAtExactlyTheTarget)
{
    profile.setEventTally(false, 14, 5);
    profile.setEventTally(true, 14, 4);
    profile.setEventTally(false, 20, 12);
    table.buildTable();
    EXPECT_FALSE(earned(kTenKills)) << "reaching the target at build time earns nothing";
    send({14});
    EXPECT_TRUE(earned(kTenKills));
    EXPECT_FLOAT_EQ(table.find(kTenKills)->progress(), 1.0f);

    // Above the target already: never earned by further events.
    send({20, 20, 21});
    EXPECT_FALSE(earned(kDemolisher));
}

TEST_F(AchievementsFixture, FamilyEventsCountForTheWiderEvent)
{
    profile.setEventTally(false, 20, 9);
    table.buildTable();
    send({21});
    EXPECT_TRUE(earned(kDemolisher));
    EXPECT_EQ(profile.eventTallyAt(false, 21), 1);
    EXPECT_EQ(profile.eventTallyAt(false, 20), 9) << "a family member is tallied under its own id";
}

TEST_F(AchievementsFixture, TimedMatchWithinTheWindow)
{
    for (int i = 0; i < 10; ++i) {
        clock = 100.0f + 12.0f * static_cast<float>(i);  // the tenth at 208 s
        send({15, 7});
    }
    EXPECT_TRUE(earned(kAirDominator));
}

TEST_F(AchievementsFixture, TimedMatchRestartsPastTheWindow)
{
    for (int i = 0; i < 9; ++i) {
        clock = 10.0f * static_cast<float>(i);
        send({15});
    }
    clock = 120.5f;
    send({15});
    EXPECT_FALSE(earned(kAirDominator));
    EXPECT_EQ(matched(kAirDominator), 0);
    // A death restarts it whatever the game.
    send({15, 15, 11});
    EXPECT_EQ(matched(kAirDominator), 0);
}

TEST_F(AchievementsFixture, SurvivalCountersEarnableAfterLargeLifetimeTallies)
{
    profile.setEventTally(false, 51, 500);
    profile.setEventTally(true, 51, 40);
    table.buildTable();
    for (int i = 0; i < 10; ++i)
        send({51});
    send({50});  // a new game starts the count over
    for (int i = 0; i < 10; ++i)
        send({51});
    EXPECT_FALSE(earned(kSurvival10));
    send({51});
    EXPECT_TRUE(earned(kSurvival10));
}

TEST_F(AchievementsFixture, EventIdsPastTheTablesAreNotTallied)
{
    const std::vector<std::uint8_t> before = profile.encode();
    send({149});
    EXPECT_EQ(profile.eventTallyAt(false, 149), 1);
    Settings expected;
    expected.decode(before);
    expected.setEventTally(false, 149, 1);
    send({150, -1, 100000});
    EXPECT_EQ(profile.encode(), expected.encode());
}

TEST_F(AchievementsFixture, HugeSavedTalliesNeitherOverflowNorEarn)
{
    const std::int32_t most = std::numeric_limits<std::int32_t>::max();
    profile.setEventTally(false, 14, most);
    profile.setEventTally(true, 14, most);
    table.buildTable();
    send({14});
    EXPECT_EQ(profile.eventTallyAt(false, 14), most);
    EXPECT_FALSE(earned(kTenKills));
    EXPECT_FLOAT_EQ(table.find(kTenKills)->progress(), 1.0f);
}

TEST_F(AchievementsFixture, StatisticsMirrorTheirEvents)
{
    send({14, 14, 18, 12});
    std::int32_t value = 0;
    ASSERT_TRUE(account.getStat("enemy_kills", value));
    EXPECT_EQ(value, 2);
    ASSERT_TRUE(account.getStat("carrier_kills", value));
    EXPECT_EQ(value, 1);
    ASSERT_TRUE(account.getStat("eject_count", value));
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(account.getStat("crash_count", value));

    // A new build goes on from the account's values.
    table.buildTable();
    send({14});
    ASSERT_TRUE(account.getStat("enemy_kills", value));
    EXPECT_EQ(value, 3);
}

TEST_F(AchievementsFixture, LandmarkCountsItsGroupsAndPopsUp)
{
    send({104});
    EXPECT_TRUE(earned(kPacificVillage));
    EXPECT_EQ(profile.eventTallyAt(false, 130), 1);
    EXPECT_EQ(profile.eventTallyAt(false, 124), 1);
    EXPECT_EQ(profile.eventTallyAt(false, 125), 0);
    ASSERT_EQ(popup.entries().size(), 1u);
    EXPECT_EQ(popup.entries()[0].nameText, 311);
    EXPECT_EQ(popup.entries()[0].frame, kPacificVillage + 3);
}

TEST_F(AchievementsFixture, FullQueueDropsThePopupButStillEarns)
{
    for (int i = 0; i < AchievementPopup::kMaxEntries; ++i)
        EXPECT_TRUE(popup.push(250, 3));
    EXPECT_FALSE(popup.push(251, 4));
    EXPECT_EQ(popup.entries().size(), 15u);
    send({104});
    EXPECT_TRUE(earned(kPacificVillage));
    EXPECT_TRUE(account.isAchieved("pacificvillage"));
    EXPECT_EQ(popup.entries().size(), 15u);
    EXPECT_EQ(profile.eventTallyAt(false, 130), 0) << "a dropped landmark pop-up counts no landmark events";
}

TEST_F(AchievementsFixture, DaredevilNameFollowsTheVariantSetting)
{
    profile.achievementNameVariant = 1;
    send({47});
    ASSERT_EQ(popup.entries().size(), 1u);
    EXPECT_EQ(popup.entries()[0].nameText, 278);
}

TEST(AchievementPopupTiming, SlidesInRestsAndLeaves)
{
    AchievementPopup popup;
    popup.push(250, 3);
    popup.push(251, 4);
    const float dt = 1.0f / 60.0f;
    float t = 0.0f, firstLeft = -1.0f;
    auto runUntil = [&](float end) {
        while (t + dt * 0.5f < end) {
            popup.update(dt);
            t += dt;
            if (firstLeft < 0.0f && popup.entries().size() == 1)
                firstLeft = t;
        }
    };
    runUntil(0.5f);
    EXPECT_NEAR(popup.position(), 1.0f, 0.02f) << "in after half a second";
    runUntil(3.5f);
    EXPECT_NEAR(popup.position(), 4.0f, 0.02f) << "resting three seconds";
    EXPECT_EQ(popup.entries().size(), 2u);
    runUntil(3.9f);
    EXPECT_GT(popup.position(), 4.0f) << "sliding out";
    runUntil(5.0f);
    EXPECT_NEAR(firstLeft, 4.0f, 1.5f * dt) << "half a second out";
    ASSERT_EQ(popup.entries().size(), 1u);
    EXPECT_EQ(popup.entries()[0].nameText, 251);
    EXPECT_GT(popup.position(), 1.0f) << "the next one is in";
    EXPECT_LT(popup.position(), 2.0f);

    // Placement: off the right edge, resting against it, 2.4 heights above the bottom.
    const auto resting = popup.panel(1280.0f, 720.0f, 1.0f);
    EXPECT_FLOAT_EQ(resting.x + resting.w, 1280.0f);
    EXPECT_FLOAT_EQ(resting.y, 720.0f - 2.4f * 80.0f);
    AchievementPopup fresh;
    fresh.push(250, 3);
    EXPECT_FLOAT_EQ(fresh.panel(1280.0f, 720.0f, 2.0f).x, 1280.0f);
    EXPECT_FLOAT_EQ(fresh.panel(1280.0f, 720.0f, 2.0f).w, 960.0f);
}

TEST(AchievementPopupTiming, LongFrameStepsNeverStall)
{
    AchievementPopup popup;
    popup.push(250, 3);
    for (int i = 0; i < 40 && !popup.entries().empty(); ++i)
        popup.update(0.25f);
    EXPECT_TRUE(popup.entries().empty());
    popup.update(-1.0f);
    popup.update(std::numeric_limits<float>::quiet_NaN());
}

// Earning saves the done flag and reports to the account; both files are
// read back by a new start of the game, and the unlock rule of the
// achievement applies.
TEST(AchievementsRestart, EarnedAchievementSurvivesARestart)
{
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak"));
    PlaneList planes;
    StringTable none;
    Settings listSettings;
    ASSERT_TRUE(planes.load(PlaneList::kListPath, none, listSettings));
    {
        Settings profile;
        Steam account;
        AchievementPopup popup;
        UnlocksMgr unlocks{profile, planes};
        const std::string text = "UnlockMgr { events [ UnlockEvent { eventType ET_ACHIEVEMENT parameterInt1 29 "
                                 "items [ UnlockItem { itemType IT_ACROBATIC_SMOKE } ] } ] }";
        FileBuffer file(std::vector<std::uint8_t>(text.begin(), text.end()));
        ASSERT_TRUE(unlocks.load(file));
        Achievements table{profile, account, &unlocks, popup};
        table.buildTable();
        table.notifyEvent(48);
        ASSERT_TRUE(table.find(kRankUp)->done);
        EXPECT_EQ(profile.unlockAcrobaticSmoke, 1);
    }
    Settings profile;
    ASSERT_TRUE(profile.load());
    EXPECT_EQ(profile.achievementDoneAt(kRankUp), 1);
    EXPECT_EQ(profile.unlockAcrobaticSmoke, 1);
    EXPECT_EQ(profile.eventTallyAt(false, 48), 1);
    Steam account;
    account.loadStats();
    EXPECT_TRUE(account.isAchieved("rankup"));

    AchievementPopup popup;
    Achievements table{profile, account, nullptr, popup};
    table.buildTable();
    EXPECT_TRUE(table.find(kRankUp)->done);
    table.notifyEvent(48);
    EXPECT_TRUE(popup.entries().empty()) << "an earned achievement is not earned twice";
}

// The game's progress connection: what a match counts for the player's
// airplane reaches the achievements and their tallies; others' events do not.
TEST_F(AchievementsFixture, AMatchCountsThePlayersEventsIntoTheAchievementsThroughItsProgress)
{
    constexpr int kEjectEvent = 12;
    GameProgress progress(table);
    ModeHooks hooks;
    hooks.progress = &progress;
    std::unique_ptr<Match> match =
        Match::create(std::make_unique<GameMode>(GameType::FreeForAll), testConnections(hooks));
    ASSERT_NE(match, nullptr);
    GameMode& mode = match->mode();
    PlaneCfg cfg;
    kitPlane(cfg);
    auto made = Target::create<Airplane>(mode, cfg, 0, std::u16string(u"Me"));
    auto other = Target::create<Airplane>(mode, cfg, 1, std::u16string(u"Bot"));
    Airplane* player = made.get();
    Airplane* bot = other.get();
    ASSERT_NE(mode.addPlayerAirplane(std::move(made), false), nullptr);
    ASSERT_NE(mode.addPlayerAirplane(std::move(other), false), nullptr);
    mode.setPlayerAirplane(player);

    mode.countEvent(*player, kEjectEvent);
    mode.countEvent(*bot, kEjectEvent);
    EXPECT_EQ(profile.eventTallyAt(false, kEjectEvent), 1);
    EXPECT_EQ(profile.eventTallyAt(true, kEjectEvent), 0);

    // The statistics service's values wait for their event.
    EXPECT_EQ(progress.eventParams().medal, -1);
    mode.hooks().progressOrNone().setMedalEventParams(4, 3);
    EXPECT_EQ(progress.eventParams().medalPlane, 4);
    EXPECT_EQ(progress.eventParams().medal, 3);
    mode.clearLevel();
}
