#include "MenusTestSupport.h"
#include "StagedMenuData.h"
#include "support/sound/FakeAudioDevice.h"
#include "support/sound/RecordingSound.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/PlaneList.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "menus/frontend/DogFightsMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/ingame/GameResultMenuFrame.h"
#include "menus/ingame/ScoreEntry.h"
#include "menus/ingame/SkirmishEndMenuFrame.h"
#include "menus/ingame/TeamSkirmishEndMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/kinds/GameModeDF.h"
#include "modes/kinds/GameModeFFA.h"
#include "modes/progress/ScoreMgr.h"
#include "modes/progress/UnlocksMgr.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "screens/Screens.h"
#include "sound/SoundData.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"
#include "support/modes/ModeHarness.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {
void mountStagedData() { mountStagedMenuData(); }

std::string narrow(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text)
        out += static_cast<char>(c);
    return out;
}

// A page that only records being shown, standing in for pages built elsewhere.
struct StandInPage : MenuFrame {
    int shown = 0;
    void onShow() override { ++shown; }
};

// The result page over the staged data, with the game's booking state fresh.
struct ResultPage : PageTest {
    void SetUp() override
    {
        PageTest::SetUp();
        mountStagedData();
        settings().pointsSP = settings().pointsMP = 0;
        settings().playerRank = 0;
        settings().dogfightMedals.fill(0);
        settings().campaignResults.fill(0);
        gameResultBooked() = false;
        UnlocksMgr::instance().clearRecent();
        GameResultMenuFrame::routes() = {};
        GameResultMenuFrame::routes().leaveGame = [this] { ++leaves; };
        page = MenuFrameRegistry::gameResultMenu();
        ASSERT_NE(page, nullptr);
    }
    void TearDown() override
    {
        GameResultMenuFrame::routes() = {};
        gameResultBooked() = false;
        resetScreens();
        PageTest::TearDown();
    }
    GameResultInput single(int kill, int death = 0, int result = 0) const
    {
        GameResultInput in;
        in.type = GameType::FreeForAll;
        in.killPoints = kill;
        in.deathPoints = death;
        in.resultPoints = result;
        return in;
    }
    // Frames at 1/60 s until the state is reached (or the limit runs out).
    int runUntil(int state, int limit = 20000)
    {
        int frames = 0;
        while (page->resultState != state && frames < limit) {
            page->update();
            ++frames;
        }
        return frames;
    }
    GameResultMenuFrame* page = nullptr;
    int leaves = 0;
};

TEST(PointRowsTest, WorkedExamplesOfFactorsAndBonus)
{
    // A local-network free-for-all: kill 10, deaths -2, result 5, factor 3.
    GameResultInput lan;
    lan.singlePlayer = false;
    lan.network = true;
    lan.killPoints = 10;
    lan.deathPoints = -2;
    lan.resultPoints = 5;
    PointRows r = PointRows::build(lan);
    EXPECT_FLOAT_EQ(r.scoreFactor, 3.0f);
    ASSERT_EQ(r.count, 2);
    EXPECT_EQ(r.kinds[0], PointRows::Kills);
    EXPECT_EQ(narrow(r.values[0]), "30/-6");
    EXPECT_EQ(r.kinds[1], PointRows::Result);
    EXPECT_EQ(narrow(r.values[1]), "15");
    EXPECT_EQ(r.pointsEarned, 39);

    // Online with the plane bonus 1.5: 40 points become 60 (survival keeps factor 1).
    GameResultInput online;
    online.type = GameType::Survival;
    online.singlePlayer = false;
    online.network = online.online = true;
    online.pointsFactor = 1.5f;
    online.killPoints = 40;
    r = PointRows::build(online);
    EXPECT_FLOAT_EQ(r.scoreFactor, 1.0f);
    EXPECT_EQ(r.bonus, 20);
    EXPECT_EQ(r.pointsEarned, 60);
    EXPECT_EQ(r.kinds[static_cast<std::size_t>(r.count - 1)], PointRows::Bonus);

    // A plane bonus of 4.0 or more counts only online: no bonus row here.
    PlaneCfg plane;
    plane.ap_bonus = 4.0f;
    GameResultInput sp;
    sp.killPoints = 100;
    sp.plane = &plane;
    r = PointRows::build(sp);
    EXPECT_EQ(r.count, 2);
    EXPECT_EQ(r.pointsEarned, 100);
    plane.ap_bonus = 1.25f;
    EXPECT_EQ(PointRows::build(sp).pointsEarned, 125);
    // No bonus on a loss.
    sp.killPoints = 0;
    sp.deathPoints = -10;
    EXPECT_EQ(PointRows::build(sp).bonus, 0);
}

TEST(PointRowsTest, RowsFollowTheGameKind)
{
    GameResultInput in;
    in.type = GameType::DestroyTheBase;
    in.killPoints = 3;
    in.basePoints = 4;
    in.objectivePoints = 20;
    in.resultPoints = 100;
    PointRows r = PointRows::build(in);
    ASSERT_EQ(r.count, 4);
    EXPECT_EQ(r.kinds[1], PointRows::BaseDamage);
    EXPECT_EQ(r.kinds[2], PointRows::Objectives);
    EXPECT_EQ(r.pointsEarned, 127);
    in.type = GameType::CaptureTheFlag;
    r = PointRows::build(in);
    ASSERT_EQ(r.count, 3);
    EXPECT_EQ(r.kinds[1], PointRows::Objectives);
    EXPECT_EQ(r.pointsEarned, 123);
    // A campaign mission: kill points alone on the first row, deaths left out.
    in.type = GameType::Campaign;
    in.deathPoints = -50;
    r = PointRows::build(in);
    EXPECT_EQ(r.labels[0], getStringByIndex(GameResultMenuFrame::kKillsText));
    EXPECT_EQ(narrow(r.values[0]), "3");
    EXPECT_EQ(r.pointsEarned, 103);
}

// The first row of a match shows kill and death points beside the table's
// kill and death counts: its label must say they are points.
TEST(PointRowsTest, TheMatchRowIsLabelledAsThePointsItShows)
{
    mountStagedData();
    GameResultInput in;
    in.type = GameType::FreeForAll;
    in.singlePlayer = true;
    in.killPoints = 6;
    in.deathPoints = -4;
    const PointRows r = PointRows::build(in);
    EXPECT_EQ(narrow(r.values[0]), "6/-4");
    EXPECT_NE(narrow(r.labels[0]).find("points"), std::string::npos) << narrow(r.labels[0]);
}

TEST(PointRowsTest, BadFactorsAndHugeSumsNeverCorruptTheTotal)
{
    GameResultInput in;
    in.singlePlayer = false;
    in.network = in.online = true;
    in.type = GameType::Survival;
    in.killPoints = 100;
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -5.0f, 0.5f})
    {
        in.pointsFactor = bad;
        EXPECT_EQ(PointRows::build(in).pointsEarned, 100) << bad;
    }
    in.pointsFactor = 1e9f;
    EXPECT_EQ(PointRows::build(in).pointsEarned, 400);   // held to 4
    in.type = GameType::FreeForAll;
    in.pointsFactor = 4.0f;
    in.killPoints = std::numeric_limits<int>::max();
    in.resultPoints = std::numeric_limits<int>::max();
    EXPECT_EQ(PointRows::build(in).pointsEarned, std::numeric_limits<std::int32_t>::max());
    in.killPoints = 0;
    in.resultPoints = 0;
    in.deathPoints = std::numeric_limits<int>::min();
    EXPECT_EQ(PointRows::build(in).pointsEarned, std::numeric_limits<std::int32_t>::min());
}

TEST_F(ResultPage, ANetworkGameNamesItsMapAndServerUnderTheRows)
{
    ASSERT_TRUE(MapLists::instance().load());
    const MapInfoCfg* map = MapLists::instance().skirmishMap(0);
    ASSERT_NE(map, nullptr);
    GameResultInput in = single(40);
    in.singlePlayer = false;
    in.network = true;
    in.serverName = u"Harbourmaster";
    in.networkMap = 0;
    page->showResult(in);
    EXPECT_EQ(narrow(page->mapLine), "Map: " + narrow(getStringById(map->title)));
    EXPECT_FALSE(getStringById(map->title).empty());
    EXPECT_EQ(narrow(page->serverLine), "Server: Harbourmaster");
    // A slot out of range names no map; a game alone has no such lines.
    gameResultBooked() = false;
    in.networkMap = 200;
    page->showResult(in);
    EXPECT_EQ(narrow(page->mapLine), "Map: ");
    gameResultBooked() = false;
    page->showResult(single(40));
    EXPECT_TRUE(page->mapLine.empty());
    EXPECT_TRUE(page->serverLine.empty());
}

TEST_F(ResultPage, BackLeavesTheFirstResultPageOfARun)
{
    // A page that was never hidden before: back leaves it at once.
    auto* fresh = new GameResultMenuFrame();
    fresh->showResult(single(10));
    EXPECT_TRUE(fresh->onEscape());
    EXPECT_EQ(leaves, 1);
    delete fresh;
}

TEST_F(ResultPage, BookingClampsOnlyTheOwnTotalAndMovesTheRankDown)
{
    settings().pointsSP = 100;
    settings().pointsMP = 1000;
    page->showResult(single(0, -300));
    EXPECT_EQ(settings().pointsSP, 0);      // not -200
    EXPECT_EQ(settings().pointsMP, 1000);   // the other kind's total is not touched
    EXPECT_EQ(page->oldTotal, 1100);
    EXPECT_EQ(page->oldRank, 2);
    EXPECT_EQ(page->newRank, 1);            // 800 points
    EXPECT_EQ(settings().playerRank, 1);
    EXPECT_EQ(page->countTarget, 1000 - 1100);
    // The negative count steps down, one rank step, then the fanfare.
    runUntil(GameResultMenuFrame::Final);
    EXPECT_EQ(page->countedPoints, -300);
    EXPECT_EQ(page->displayRank, 1);
    EXPECT_TRUE(page->rankReached);
    EXPECT_TRUE(saved_file_exists(Settings::kFileName));
}

TEST_F(ResultPage, ShowingAgainOrEscapingBooksTheGameOnce)
{
    page->showResult(single(250));
    EXPECT_EQ(settings().pointsSP, 250);
    page->showResult(single(250));
    EXPECT_EQ(settings().pointsSP, 250);
    page->onHide();
    EXPECT_TRUE(page->onEscape());   // leaves at once
    EXPECT_EQ(leaves, 1);
    EXPECT_TRUE(page->onEscape());   // disarmed: handled, nothing more
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(settings().pointsSP, 250);
    // A new game clears the flag.
    startMatch(std::make_unique<GameMode>(GameType::FreeForAll), MatchConnections::none());
    endMatch();
    page->showResult(single(50));
    EXPECT_EQ(settings().pointsSP, 300);
    // A total near its top saturates instead of wrapping to a negative.
    gameResultBooked() = false;
    settings().pointsSP = std::numeric_limits<std::int32_t>::max() - 10;
    page->showResult(single(100));
    EXPECT_EQ(settings().pointsSP, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(page->newRank, 17);
}

TEST_F(ResultPage, ThreeThresholdsGiveThreeStepsAndOneFanfare)
{
    RecordingSound sound({"score", "medal", "unlock1"});
    ASSERT_TRUE(sound.started());
    page->showResult(single(2100));
    EXPECT_EQ(page->oldRank, 0);
    EXPECT_EQ(page->newRank, 3);
    EXPECT_EQ(page->countTarget, 300);
    int steps = 0, stepFrames = 0, state = page->resultState;
    for (int frame = 0; frame < 20000 && page->resultState != GameResultMenuFrame::Final; ++frame) {
        page->update();
        sound.device().update();
        if (page->resultState == GameResultMenuFrame::RankStep) {
            ++stepFrames;
            if (state != GameResultMenuFrame::RankStep)
                ++steps;
        }
        state = page->resultState;
    }
    EXPECT_EQ(steps, 3);
    // Each step lasts just over half a second at 60 frames a second.
    EXPECT_NEAR(stepFrames / 3.0, 31.0, 2.0);
    EXPECT_EQ(page->displayRank, 3);
    EXPECT_EQ(page->countedPoints, 2100);
    EXPECT_EQ(sound.playCount("medal"), 1);
    EXPECT_EQ(page->insigniaFrame(), 3);
}

TEST_F(ResultPage, NothingEarnedEndsTheCountOnItsFirstFrame)
{
    page->showResult(single(0));
    runUntil(GameResultMenuFrame::Count);
    page->update();
    EXPECT_EQ(page->resultState, GameResultMenuFrame::Final);
    EXPECT_EQ(page->countedPoints, 0);
    EXPECT_FALSE(page->rankReached);
}

TEST_F(ResultPage, CountStepsGrowWithTheDistanceAndPitchTheSound)
{
    RecordingSound sound({"score", "medal", "unlock1"});
    ASSERT_TRUE(sound.started());
    GameResultInput lan = single(0);
    lan.singlePlayer = false;
    lan.network = true;
    lan.killPoints = 1000;   // 3000 points at factor 3
    page->showResult(lan);
    runUntil(GameResultMenuFrame::Count);
    page->countTarget = page->rows.pointsEarned;   // one segment, no rank steps
    const std::pair<int, int> cases[] = {{0, 300}, {2100, 30}, {2920, 15}, {2960, 6}, {2985, 3}};
    for (auto [from, step] : cases) {
        page->resultState = GameResultMenuFrame::Count;
        page->countedPoints = from;
        page->update();
        EXPECT_EQ(page->countedPoints - from, step) << from;
    }
    SoundSourceBuffered* score = globalSources().score;
    ASSERT_NE(score, nullptr);
    EXPECT_TRUE(score->isPlaying());
    EXPECT_FLOAT_EQ(score->pitch(), page->countPitch());
    // The playing channel runs at the sound's own rate times the pitch.
    const FakeAudioDevice::ChannelState* channel = sound.device().state(score->channel());
    ASSERT_NE(channel, nullptr);
    ASSERT_NE(score->sound(), nullptr);
    EXPECT_NEAR(channel->frequency, score->sound()->defaultFrequency() * page->countPitch(), 1.0f);
    EXPECT_GT(page->countPitch(), 1.0f);
    // Rank 0 spans 0..300: 2988 counted of an old total of 0 is far past it.
    page->displayRank = 0;
    page->countedPoints = 150;
    EXPECT_FLOAT_EQ(page->countPitch(), 1.125f);
    // At rank 17 the pitch runs to the old total + 1000.
    page->oldTotal = 5000000;
    page->displayRank = 17;
    page->countedPoints = 500;
    EXPECT_FLOAT_EQ(page->countPitch(), 1.125f);
}

TEST_F(ResultPage, MedalBestsAreKeptWhenHigher)
{
    GameResultInput df = single(0);
    df.type = GameType::Dogfight;
    df.dogfight = 4;
    df.medal = 3;
    page->showResult(df);
    EXPECT_EQ(settings().dogfightMedalAt(4), 3);
    EXPECT_TRUE(page->medalMode);
    EXPECT_EQ(page->insigniaFrame(), 20);
    gameResultBooked() = false;
    df.medal = 1;
    page->showResult(df);
    EXPECT_EQ(settings().dogfightMedalAt(4), 3);

    GameResultInput mission = single(10);
    mission.type = GameType::Campaign;
    mission.campaign = 1;
    mission.mission = 2;
    mission.difficulty = 2;   // hard: lane 1
    mission.medal = 2;
    gameResultBooked() = false;
    page->showResult(mission);
    EXPECT_EQ((settings().campaignResultAt(1, 2) >> 8) & 0xFFu, 2u);
    EXPECT_EQ(page->titleLabel->stringId, GameResultMenuFrame::kCampaignTitleText);
    mission.medal = 1;
    gameResultBooked() = false;
    page->showResult(mission);
    EXPECT_EQ((settings().campaignResultAt(1, 2) >> 8) & 0xFFu, 2u);
}

// A dogfight of the last eight played in the game and shown on its result
// page: the first win pays the gap to the next rank, and the page marks it
// done, so winning it again pays the table's 3000.
struct DogfightResults : ResultPage {
    ModeHarness harness;
    void SetUp() override
    {
        ResultPage::SetUp();
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
    }
    void TearDown() override
    {
        harness.finish();
        ResultPage::TearDown();
    }
    // Plays dogfight 12 to its win and shows its result; the points it paid.
    int winAndShow()
    {
        auto* mode = dynamic_cast<GameModeDF*>(harness.start(static_cast<int>(GameType::Dogfight),
                                                             harness.firstSkirmishMap()));
        if (!mode)
            return -1;
        for (const auto& e : mode->entities())
            if (e->kind() == TargetKind::Airplane && e->team() == 1)
                mode->onAirplaneDestroyed(*e, mode->playerAirplane(), CrashCause::KilledByDamage);
        harness.run(10.0f);  // the win is decided once the enemy has fallen
        if (!mode->won())
            return -1;
        const GameResultInput in = GameResultInput::fromCurrentGame();
        gameResultBooked() = false;
        page->showResult(in);
        harness.finish();
        return in.resultPoints;
    }
};

TEST_F(DogfightResults, WonAgainItPaysTheTableNotTheRankGap)
{
    Settings& s = settings();
    s.dogfightIndex = 12;
    s.dogfightsUnlocked = 12;
    s.dogfightEnemyCount = 1;
    s.dogfightMissileEnemies = 0;
    s.dogfightDone.fill(0);
    s.pointsSP = kRankThresholds[4] - 120;
    s.playerRank = 3;
    EXPECT_EQ(winAndShow(), 120);
    EXPECT_EQ(s.dogfightDoneAt(12), 1) << "the page marks the paid dogfight";
    EXPECT_EQ(s.dogfightDoneAt(11), 0);
    const std::int32_t before = s.pointsSP;
    EXPECT_EQ(winAndShow(), 3000);
    EXPECT_GE(s.pointsSP - before, 3000);
    EXPECT_EQ(s.dogfightDoneAt(12), 1);
}

TEST_F(ResultPage, UnlockedPlanesTakeTurnsEveryTwoSeconds)
{
    page->showResult(single(0));
    page->unlockedPlanes = {3, 5, 7};
    page->resultState = GameResultMenuFrame::Unlock;
    page->stateTimer = 0.0f;
    runUntil(GameResultMenuFrame::Final);
    EXPECT_TRUE(page->unlocksShown);
    std::vector<int> seen;
    for (int frame = 0; frame < 60 * 7; ++frame) {
        page->update();
        if (seen.empty() || seen.back() != page->unlockIndex)
            seen.push_back(page->unlockIndex);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 0}));

    page->showResult(single(0));
    page->unlockedPlanes = {3};
    page->resultState = GameResultMenuFrame::Unlock;
    runUntil(GameResultMenuFrame::Final);
    for (int frame = 0; frame < 60 * 5; ++frame)
        page->update();
    EXPECT_EQ(page->unlockIndex, 0);
    EXPECT_FLOAT_EQ(page->unlockScale, 1.0f);
}

TEST_F(ResultPage, ContinueLeadsBackByTheGameKind)
{
    StandInPage hub, lan, rooms;
    GameResultMenuFrame::Routes& r = GameResultMenuFrame::routes();
    r.multiPlayer = [&] { return static_cast<MenuFrame*>(&hub); };
    r.lanGames = [&] { return static_cast<MenuFrame*>(&lan); };
    r.onlineRooms = [&] { return static_cast<MenuFrame*>(&rooms); };
    bool quick = false;
    r.quickMatch = [&] { return quick; };
    struct Case {
        GameType type;
        bool network, online, quick;
        MenuFrame* last;
        int history;
    };
    const Case cases[] = {
        {GameType::FreeForAll, false, false, false, MenuFrameRegistry::playMenu(), 1},
        {GameType::Dogfight, false, false, false, MenuFrameRegistry::dogFightsMenu(), 2},
        {GameType::Campaign, false, false, false, MenuFrameRegistry::campaignMenu(), 2},
        {GameType::FreeForAll, true, false, false, &lan, 2},
        {GameType::TeamDeathmatch, true, true, false, &rooms, 2},
        {GameType::TeamDeathmatch, true, true, true, &hub, 1},
    };
    for (const Case& c : cases) {
        GameResultInput in = single(0);
        in.type = c.type;
        in.singlePlayer = !c.network;
        in.network = c.network;
        in.online = c.online;
        in.campaign = c.type == GameType::Campaign ? 1 : -1;
        quick = c.quick;
        gameResultBooked() = false;
        page->showResult(in);
        page->onContinue();
        EXPECT_EQ(currentFrame(), c.last) << static_cast<int>(c.type);
        EXPECT_EQ(frameHistoryCount(), c.history) << static_cast<int>(c.type);
    }
    EXPECT_EQ(leaves, 6);
}

// ---- the score tables ----

struct ScoreTables : PageTest {
    PlaneCfg plane;
    void SetUp() override
    {
        PageTest::SetUp();
        mountStagedData();
        plane.name = "kitplane";
        plane.shortname = "KIT";
    }
    void TearDown() override
    {
        ScoreMgr::instance().setListener(nullptr);
        ScoreMgr::instance().attach(nullptr, nullptr);
        scorePeek() = false;
        MenuFrameRegistry::deleteAll();
        endMatch();
        ScoreMgr::instance().reset(false);
        resetScreens();
        PageTest::TearDown();
    }
    GameMode& start(std::unique_ptr<GameMode> made, bool teams)
    {
        GameMode* m = made.get();
        startMatch(std::move(made), MatchConnections::none());
        ScoreMgr::instance().attach(m, nullptr);
        ScoreMgr::instance().reset(teams);
        ScoreMgr::instance().startMatch();
        return *m;
    }
    GameMode& start(GameType type, bool teams) { return start(std::make_unique<GameMode>(type), teams); }
    Airplane* pilot(int team, const char16_t* name, int points, bool own = false)
    {
        GameMode* m = modeOf(currentMatch());
        auto a = Target::create<Airplane>(*m, plane, team, std::u16string(name));
        Airplane* raw = a.get();
        m->addPlayerAirplane(std::move(a), false);
        raw->networkRole = own ? NetworkRole::Local : NetworkRole::Remote;
        raw->planeRecord = &plane;
        raw->scores[Airplane::kScorePoints] = points;
        if (own)
            m->setPlayerAirplane(raw);
        ScoreMgr::instance().addPlayer(*raw);
        return raw;
    }
    static std::vector<std::u16string> names(const EndTableFrame& page)
    {
        std::vector<std::u16string> out;
        for (ScoreEntry* row : page.rows())
            out.push_back(row->target() ? row->target()->pilotName : u"-");
        return out;
    }
};

TEST_F(ScoreTables, RowsFollowTheScoreKeeperAndTheTimeLabelItsLimit)
{
    start(GameType::FreeForAll, false);
    SkirmishEndMenuFrame* page = MenuFrameRegistry::skirmishEndMenu();
    ASSERT_NE(page, nullptr);
    page->onShow();
    EXPECT_EQ(names(*page), (std::vector<std::u16string>{u"-"}));   // only the closing row
    EXPECT_FALSE(page->timeLabel->visible);
    page->onHide();

    ScoreMgr::instance().timeLimit = 600.0f;
    ScoreMgr::instance().setElapsed(61.5f);
    pilot(0, u"Ann", 2, true);
    Airplane* bob = pilot(1, u"Bob", 1);
    page->onShow();
    EXPECT_TRUE(page->timeLabel->visible);
    EXPECT_EQ(narrow(page->timeLabel->shownText()), "8:58");
    EXPECT_EQ(narrow(EndTableFrame::timeLeftText(600.0f, 595.0f)), "0:05");
    EXPECT_EQ(names(*page), (std::vector<std::u16string>{u"Ann", u"Bob", u"-"}));
    EXPECT_EQ(page->rows()[1]->position, 2);
    EXPECT_EQ(page->rows()[1]->alternate, 1);
    // A kill while the table is shown (or peeked) rebuilds it in the new order.
    scorePeek() = true;
    bob->scores[Airplane::kScorePoints] = 5;
    ScoreMgr::instance().notifyPlayerChanged(*bob);
    EXPECT_EQ(names(*page), (std::vector<std::u16string>{u"Bob", u"Ann", u"-"}));
    page->update();
    EXPECT_FALSE(page->buttonRow->visible);
    scorePeek() = false;
    // A pilot leaving takes his row before the airplane goes.
    ScoreMgr::instance().forget(*bob);
    EXPECT_EQ(names(*page), (std::vector<std::u16string>{u"Ann", u"-"}));
    page->onHide();
    EXPECT_EQ(ScoreMgr::instance().listener(), nullptr);
    EXPECT_TRUE(page->rows().empty());
}

TEST_F(ScoreTables, APageDeletedWhileShownIsNoLongerTheListener)
{
    start(GameType::FreeForAll, false);
    Airplane* a = pilot(0, u"Ann", 1, true);
    MenuFrameRegistry::skirmishEndMenu()->onShow();
    EXPECT_NE(ScoreMgr::instance().listener(), nullptr);
    MenuFrameRegistry::deleteAll();
    EXPECT_EQ(ScoreMgr::instance().listener(), nullptr);
    ScoreMgr::instance().notifyPlayerChanged(*a);   // reaches no deleted page
}

TEST_F(ScoreTables, HeadlinesForWinnersLosersAndADraw)
{
    GameMode& m = start(GameType::FreeForAll, false);
    Airplane* own = pilot(0, u"Ann", 4, true);
    Airplane* other = pilot(1, u"Bob", 4);
    pilot(2, u"Cid", 1);
    SkirmishEndMenuFrame* page = MenuFrameRegistry::skirmishEndMenu();
    page->onShow();
    m.playStopped = true;
    ScoreMgr::instance().decideWinner();
    page->update();
    EXPECT_TRUE(page->headlineLabel->visible);
    EXPECT_EQ(page->headlineLabel->stringId, EndTableFrame::kDrawText);
    EXPECT_EQ(page->resumeButton->labelStringId, EndTableFrame::kLeaveText);
    EXPECT_FALSE(page->continueButton->visible);
    // The one behind sees the loss.
    m.setPlayerAirplane(nullptr);
    page->showHeadline();
    EXPECT_EQ(page->headlineLabel->stringId, EndTableFrame::kLostText);
    other->scores[Airplane::kScorePoints] = 3;
    ScoreMgr::instance().notifyPlayerChanged(*other);
    ScoreMgr::instance().decideWinner();
    m.setPlayerAirplane(own);
    page->showHeadline();
    EXPECT_EQ(page->headlineLabel->stringId, EndTableFrame::kWonText);
    // Escape after the match leads to the result and reports the key handled.
    EXPECT_TRUE(page->onEscape());
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::gameResultMenu());
    page->onHide();
}

// Eight pilots all show without scrolling at every screen size the game
// offers, the Tab peek in flight included, which cannot scroll.
TEST_F(ScoreTables, EightPilotsAllShowWithinTheTable)
{
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{960, 640}, {1280, 720}, {1920, 1080}}) {
        ASSERT_TRUE(setScreenSize(w, h));
        start(GameType::FreeForAll, false);
        pilot(0, u"Ann", 9, true);
        for (int i = 1; i < 8; ++i)
            pilot(i, u"Bot", 8 - i);
        SkirmishEndMenuFrame* page = MenuFrameRegistry::skirmishEndMenu();
        for (bool peek : {false, true}) {
            scorePeek() = peek;
            page->onShow();
            page->update();
            page->layout(0, 0);
            const MenuPanel& table = *page->table;
            int shown = 0;
            for (ScoreEntry* row : page->rows()) {
                if (!row->target())
                    continue;
                EXPECT_GE(row->absY, table.absY) << w << "x" << h;
                EXPECT_LE(row->absY + row->height, table.absY + table.height) << w << "x" << h << " row " << row->position;
                ++shown;
            }
            EXPECT_EQ(shown, 8) << w << "x" << h;
            page->onHide();
        }
        scorePeek() = false;
        MenuFrameRegistry::deleteAll();
        endMatch();
    }
}

TEST_F(ScoreTables, SwatchCyclesAndMuteNeverOnTheOwnRow)
{
    start(GameType::FreeForAll, false);
    Airplane* own = pilot(0, u"Ann", 1, true);
    Airplane* other = pilot(1, u"Bob", 0);
    SkirmishEndMenuFrame* page = MenuFrameRegistry::skirmishEndMenu();
    page->onShow();
    page->layout(0, 0);
    ScoreEntry* row = page->rows()[1];
    ASSERT_EQ(row->target(), other);
    const int x = row->absX + row->swatchLeft() + 5;
    const int y = row->absY + row->height / 4 + static_cast<int>(10 * screenMetrics().uiScale);
    std::vector<int> colours;
    for (int tap = 0; tap < 6; ++tap) {
        EXPECT_TRUE(row->onTouchDown(x, y));
        colours.push_back(other->markerColorIndex);
    }
    EXPECT_EQ(colours, (std::vector<int>{0, 1, 2, 3, 4, -1}));
    // Single player: no mute anywhere; network: only the others' rows.
    EXPECT_FALSE(row->showsMute());
    row->networkGame = true;
    page->rows()[0]->networkGame = true;
    EXPECT_TRUE(row->showsMute());
    EXPECT_FALSE(page->rows()[0]->showsMute());
    EXPECT_EQ(page->rows()[0]->target(), own);
    // A touch outside the swatch band changes nothing.
    EXPECT_FALSE(row->onTouchDown(x, row->absY + 1));
    EXPECT_EQ(other->markerColorIndex, -1);
    page->onHide();
}

// A row's two lines: the place and the name above, the rank glyph and the
// number columns below, at the given offsets in a table as wide as its
// header strip, and for every narrower or shorter row nothing runs into its
// neighbour, past the row's end or into the mute strip and the swatch.
TEST_F(ScoreTables, RowsStandOnTwoLinesAtTheirOffsetsAndNeverOverlap)
{
    const float u = screenMetrics().uiScale;
    const int full = static_cast<int>(ScoreEntry::kRowHeightUnits * u);
    const auto at = [u](float units) { return units * u; };
    const ScoreEntry::Columns ffa = ScoreEntry::columns(560, full, false, GameType::FreeForAll, true);
    EXPECT_FLOAT_EQ(ffa.placeRight, at(60));
    EXPECT_FLOAT_EQ(ffa.nameLeft, at(60));
    EXPECT_FLOAT_EQ(ffa.firstLine, at(20));
    EXPECT_FLOAT_EQ(ffa.glyph, at(90));
    EXPECT_FLOAT_EQ(ffa.glyphLine, at(screenMetrics().spriteScale >= 4.0f ? 65 : 59));
    EXPECT_FLOAT_EQ(ffa.iconX, at(33));
    EXPECT_FLOAT_EQ(ffa.iconY, at(43));
    EXPECT_EQ(std::vector<float>({ffa.score, ffa.deaths, ffa.extra, ffa.plane, ffa.secondLine}),
              std::vector<float>({at(150), at(240), -1.0f, at(330), at(55)}));
    EXPECT_EQ(ffa.textScale, 1.0f);
    // The team tables: closer, and 30 u further left with a bases or flags column.
    const ScoreEntry::Columns td = ScoreEntry::columns(560, full, true, GameType::TeamDeathmatch, true);
    EXPECT_EQ(std::vector<float>({td.placeRight, td.firstLine, td.glyph, td.score, td.deaths, td.extra, td.plane}),
              std::vector<float>({at(50), at(25), at(87.5f), at(160), at(240), -1.0f, at(320)}));
    for (GameType type : {GameType::CaptureTheFlag, GameType::DestroyTheBase}) {
        const ScoreEntry::Columns c = ScoreEntry::columns(560, full, true, type, true);
        EXPECT_EQ(std::vector<float>({c.score, c.deaths, c.extra, c.plane}),
                  std::vector<float>({at(130), at(210), at(290), at(370)}));
    }

    constexpr float slack = 0.01f;   // the products round
    for (int w = 300; w <= 720; w += 20)
        for (int h : {full, full * 6 / 10})
            for (const auto& [team, type] : {std::pair{false, GameType::FreeForAll},
                                             std::pair{true, GameType::TeamDeathmatch},
                                             std::pair{true, GameType::CaptureTheFlag}})
                for (bool mute : {false, true}) {
                    SCOPED_TRACE(testing::Message() << "width " << w << " height " << h << " team " << team
                                                    << " mute " << mute);
                    const ScoreEntry::Columns c = ScoreEntry::columns(w, h, team, type, mute);
                    // First line: the name has room to be read, clear of the mute strip or the swatch.
                    EXPECT_LE(c.placeRight, c.nameLeft);
                    EXPECT_GE(c.nameRight - c.nameLeft, 60.0f * u);
                    const float swatch = static_cast<float>(w) - 5.0f * h / 4.0f;
                    EXPECT_LE(c.nameRight, mute ? swatch - 10.0f * u - 4.0f * h / 5.0f : swatch);
                    EXPECT_LT(c.firstLine, c.secondLine);
                    // Second line: the icon, the glyph and each column apart, the plane inside the row.
                    EXPECT_LT(c.iconX, c.glyph);
                    EXPECT_GE(c.score - c.glyph + slack, c.columnWidth / 2.0f);
                    EXPECT_GE(c.deaths - c.score + slack, c.columnWidth);
                    const float beforePlane = c.extra >= 0.0f ? c.extra : c.deaths;
                    if (c.extra >= 0.0f) {
                        EXPECT_GE(c.extra - c.deaths + slack, c.columnWidth);
                    }
                    EXPECT_GE(c.plane - beforePlane + slack, (c.columnWidth + c.planeWidth) / 2.0f);
                    EXPECT_LE(c.plane + c.planeWidth / 2.0f, static_cast<float>(w));
                    // Both lines stay within the row's shaded band.
                    EXPECT_LE(c.glyphLine, c.shadeTop + static_cast<float>(h));
                    EXPECT_GE(c.textScale, 0.6f);
                    EXPECT_LE(c.textScale, 1.0f);
                }
}

TEST_F(ScoreTables, TheServerLineFollowsTheNetworkMatch)
{
    GameResultMenuFrame::routes().serverName = [] { return std::u16string(u"Harbourmaster"); };
    GameMode& m = start(GameType::FreeForAll, false);
    pilot(0, u"Ann", 1, true);
    SkirmishEndMenuFrame* page = MenuFrameRegistry::skirmishEndMenu();
    // Alone, the individual table shows no server even with a name at hand.
    page->onShow();
    EXPECT_FALSE(page->serverLabel->visible);
    page->onHide();
    m.setNetwork(true, false, false);
    page->onShow();
    EXPECT_TRUE(page->serverLabel->visible);
    EXPECT_EQ(narrow(page->serverLabel->shownText()), "Server : Harbourmaster");
    page->onHide();
    // No name, no line.
    GameResultMenuFrame::routes().serverName = [] { return std::u16string(); };
    page->onShow();
    EXPECT_FALSE(page->serverLabel->visible);
    page->onHide();
    // The team table shows a known server in single player too.
    GameResultMenuFrame::routes().serverName = [] { return std::u16string(u"Harbourmaster"); };
    m.setNetwork(false, false, false);
    TeamSkirmishEndMenuFrame* team = MenuFrameRegistry::teamSkirmishEndMenu();
    team->onShow();
    EXPECT_TRUE(team->serverLabel->visible);
    team->onHide();
    GameResultMenuFrame::routes() = {};
}

TEST_F(ScoreTables, SwitchTeamHiddenForTheSmallerTeamAndADrawShowsToBoth)
{
    GameMode& m = start(GameType::TeamDeathmatch, true);
    Airplane* own = pilot(1, u"Ann", 0, true);
    pilot(0, u"Bob", 0);
    pilot(0, u"Cid", 0);
    TeamSkirmishEndMenuFrame* page = MenuFrameRegistry::teamSkirmishEndMenu();
    ASSERT_NE(page, nullptr);
    page->onShow();
    EXPECT_FALSE(page->switchButton->visible);   // team 1 has fewer already
    pilot(1, u"Dan", 0);
    page->update();
    EXPECT_TRUE(page->switchButton->visible);    // even teams
    EXPECT_EQ(page->rows().size(), 6u);          // two rows and a closing row per table
    EXPECT_EQ(narrow(page->totals[0]->shownText()), "0");
    // A team draw: both sides see it.
    m.playStopped = true;
    ScoreMgr::instance().decideWinner();
    page->update();
    EXPECT_EQ(page->headlineLabel->stringId, EndTableFrame::kDrawText);
    EXPECT_FALSE(page->switchButton->visible);
    (void)own;
    page->onHide();
}

// Enter on a paused team match resumes it, on both tables; the quit is a deliberate click.
TEST_F(ScoreTables, APausedMatchFocusesResumeNotQuit)
{
    for (GameType type : {GameType::TeamDeathmatch, GameType::FreeForAll}) {
        const bool teams = type != GameType::FreeForAll;
        start(type, teams);
        pilot(0, u"Ann", 0, true);
        pilot(teams ? 1 : 0, u"Bob", 0);
        EndTableFrame* page = type == GameType::FreeForAll ? static_cast<EndTableFrame*>(MenuFrameRegistry::skirmishEndMenu())
                                                           : MenuFrameRegistry::teamSkirmishEndMenu();
        ASSERT_NE(page, nullptr);
        page->onShow();
        EXPECT_EQ(page->focusedItem, page->resumeButton) << static_cast<int>(type);
        page->onHide();
    }
}

TEST_F(ScoreTables, ALastManStandingClientInPlayMayNotSwitch)
{
    GameMode& m = start(GameType::LastManStanding, true);
    Airplane* own = pilot(0, u"Ann", 0, true);
    pilot(1, u"Bob", 0);
    EXPECT_TRUE(TeamSkirmishEndMenuFrame::switchTeamAllowed());
    m.setNetwork(true, false, false);
    m.teamChangeAllowed = true;  // as the host's word with the join leaves it
    EXPECT_FALSE(TeamSkirmishEndMenuFrame::switchTeamAllowed());
    own->inPlay = false;
    EXPECT_TRUE(TeamSkirmishEndMenuFrame::switchTeamAllowed());
    m.teamChangeAllowed = false;  // the host closed team changes
    EXPECT_FALSE(TeamSkirmishEndMenuFrame::switchTeamAllowed());
}

TEST_F(ScoreTables, TheDogfightShowsItsOneBasedMissionWithoutTimeOrTotals)
{
    settings().dogfightIndex = 4;
    auto df = std::make_unique<GameModeDF>();
    GameModeDF* raw = df.get();
    start(std::move(df), false);
    raw->GameModeDF::resetRound();
    ScoreMgr::instance().attach(raw, nullptr);
    pilot(0, u"Ann", 0, true);
    TeamSkirmishEndMenuFrame* page = MenuFrameRegistry::teamSkirmishEndMenu();
    page->onShow();
    EXPECT_TRUE(page->missionLabel->visible);
    EXPECT_EQ(narrow(page->missionLabel->shownText()), "MISSION: 5");
    EXPECT_FALSE(page->timeLabel->visible);
    EXPECT_FALSE(page->totals[0]->visible);
    EXPECT_EQ(page->titleText->stringId, 119);
    page->onHide();
}
}  // namespace
