#include "modes/Match.h"

#include "modes/GameMode.h"
#include "modes/MatchConnections.h"
#include "modes/progress/IGameModeInfo.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Log lines written while it lives.
struct CapturedLog {
    std::vector<std::string> lines;
    CapturedLog()
    {
        setLogCapture([this](LogLevel, const std::string&, const std::string& message) { lines.push_back(message); });
    }
    ~CapturedLog() { setLogCapture({}); }
    bool has(const std::string& part) const
    {
        for (const std::string& line : lines)
            if (line.find(part) != std::string::npos)
                return true;
        return false;
    }
};

std::unique_ptr<GameMode> aMode(GameType type = GameType::FreeForAll) { return std::make_unique<GameMode>(type); }

// A mode that notes, as it goes, whether the running match still reached it.
class WatchedMode : public GameMode {
public:
    explicit WatchedMode(bool& reachedWhileDying) : GameMode(GameType::FreeFlight), m_reached(reachedWhileDying) {}
    ~WatchedMode() override { m_reached = currentMatch() != nullptr; }

private:
    bool& m_reached;
};

struct MatchLife : testing::Test {
    void TearDown() override { endMatch(); }
};

}  // namespace

TEST(MatchConnectionsCheck, EachEmptyConnectionIsNamedAndRefusedWithALogLine)
{
    struct Slot {
        const char* name;
        void (*clear)(MatchConnections&);
    };
    const Slot slots[] = {
        {"hud", [](MatchConnections& c) { c.hooks.hud = nullptr; }},
        {"camera", [](MatchConnections& c) { c.hooks.camera = nullptr; }},
        {"progress", [](MatchConnections& c) { c.hooks.progress = nullptr; }},
        {"scores", [](MatchConnections& c) { c.hooks.scores = nullptr; }},
        {"tutorial", [](MatchConnections& c) { c.hooks.tutorial = nullptr; }},
        {"scene", [](MatchConnections& c) { c.services.scene = nullptr; }},
        {"messages", [](MatchConnections& c) { c.services.messages = nullptr; }},
        {"overlays", [](MatchConnections& c) { c.services.overlays = nullptr; }},
        {"endPages", [](MatchConnections& c) { c.services.endPages = nullptr; }},
        {"network", [](MatchConnections& c) { c.network = nullptr; }},
    };
    EXPECT_TRUE(MatchConnections::none().missing().empty());
    for (const Slot& slot : slots) {
        MatchConnections c = MatchConnections::none();
        slot.clear(c);
        EXPECT_EQ(c.missing(), std::vector<std::string>{slot.name});
        CapturedLog log;
        EXPECT_EQ(Match::create(aMode(), c), nullptr) << slot.name;
        EXPECT_TRUE(log.has(std::string("the connections ") + slot.name + " are empty")) << slot.name;
    }
    // Several at once are named together; an empty set names all ten.
    EXPECT_EQ(MatchConnections{}.missing().size(), 10u);
    CapturedLog log;
    EXPECT_EQ(Match::create(aMode(), MatchConnections{}), nullptr);
    EXPECT_TRUE(log.has("hud, camera, progress"));
}

TEST(MatchConnectionsCheck, TheStartLogNamesTheClassBehindEveryConnection)
{
    MatchConnections c = MatchConnections::none();
    EXPECT_EQ(c.describe(), "hud=IModeHud camera=IModeCamera progress=IModeProgress scores=IModeScores "
                            "tutorial=ITutorialHud scene=IModeScene messages=IModeMessages overlays=IModeOverlays "
                            "endPages=IModeEndPages network=NoNetwork");
    c.hooks.hud = nullptr;
    EXPECT_NE(c.describe().find("hud=- "), std::string::npos);
    CapturedLog log;
    std::unique_ptr<Match> match = Match::create(aMode(GameType::Survival), MatchConnections::none());
    ASSERT_NE(match, nullptr);
    EXPECT_TRUE(log.has("match of type 6 connected: hud=IModeHud"));
}

TEST_F(MatchLife, AMatchThatCannotBeMadeLeavesTheRunningOneInPlace)
{
    ASSERT_TRUE(startMatch(aMode(GameType::TeamDeathmatch), MatchConnections::none()));
    Match* running = currentMatch();
    MatchConnections broken = MatchConnections::none();
    broken.network = nullptr;
    CapturedLog quiet;
    EXPECT_FALSE(startMatch(aMode(), broken));
    EXPECT_FALSE(startMatch(nullptr, MatchConnections::none()));
    EXPECT_EQ(currentMatch(), running);
    EXPECT_EQ(modeOf(currentMatch())->gameType(), GameType::TeamDeathmatch);
}

TEST_F(MatchLife, TheModeIsGivenTheMatchsConnectionsAndNetwork)
{
    NoNetwork network;
    IModeHud hud;
    MatchConnections c = MatchConnections::none();
    c.network = &network;
    c.hooks.hud = &hud;
    ASSERT_TRUE(startMatch(aMode(), c));
    const GameMode& mode = *modeOf(currentMatch());
    EXPECT_EQ(mode.listener(), &network);
    EXPECT_EQ(mode.hooks().hud, &hud);
    EXPECT_EQ(mode.services().endPages, c.services.endPages);
    EXPECT_EQ(&currentMatch()->mode(), &mode);
    EXPECT_EQ(currentMatch()->connections().network, &network);
}

TEST_F(MatchLife, EachMatchKeepsItsOwnStateAndTheSpareServesBetweenGames)
{
    ASSERT_TRUE(startMatch(aMode(), MatchConnections::none()));
    teamCounters().add(1, 3);
    setGameClock(42.0f);
    distanceTable().set(2, 5, 9.0f);
    EXPECT_EQ(currentMatch()->state().teams.team1, 3);
    ASSERT_TRUE(startMatch(aMode(), MatchConnections::none()));
    EXPECT_EQ(teamCounters().team1, 0) << "a new match starts afresh";
    EXPECT_FLOAT_EQ(gameClock(), 0.0f);
    EXPECT_FLOAT_EQ(distanceTable().at(5, 2), 0.0f);
    endMatch();
    EXPECT_EQ(currentMatch(), nullptr);
    EXPECT_EQ(&matchState(), &matchState()) << "between games every accessor reads one spare state";
    setGameClock(3.0f);
    EXPECT_FLOAT_EQ(matchState().clock, 3.0f);
    setGameClock(0.0f);
}

TEST_F(MatchLife, TheMissionStatisticsAndTheOutcomeBelongToTheirMatch)
{
    endMatch();
    missionStats().shotsHit = 7;  // the spare's, between games
    ASSERT_TRUE(startMatch(aMode(), MatchConnections::none()));
    missionStats().shotsFired = 12;
    missionStats().gameTime = 30.0f;
    matchOutcome() = MatchOutcome::Won;
    EXPECT_EQ(currentMatch()->state().stats.shotsFired, 12);
    EXPECT_EQ(currentMatch()->state().outcome, MatchOutcome::Won);
    ASSERT_TRUE(startMatch(aMode(), MatchConnections::none()));
    EXPECT_EQ(missionStats(), MissionStats{}) << "a new match counts from nothing";
    EXPECT_EQ(matchOutcome(), MatchOutcome::NoResult);
    missionStats().shotsHit = 4;
    endMatch();
    EXPECT_EQ(missionStats().shotsHit, 7) << "between games the spare counts, not the ended match";
    missionStats() = MissionStats{};
}

TEST_F(MatchLife, TheBookedResultOutlivesItsMatchAndTheNextMatchClearsIt)
{
    ASSERT_TRUE(startMatch(aMode(), MatchConnections::none()));
    gameResultBooked() = true;
    endMatch();
    EXPECT_TRUE(gameResultBooked()) << "the result page may be left after the game screen";
    ASSERT_TRUE(startMatch(aMode(), MatchConnections::none()));
    EXPECT_FALSE(gameResultBooked());
}

TEST_F(MatchLife, NobodyReachesAMatchThroughTheAccessorWhileItTearsDown)
{
    bool reachedByFirst = true, reachedBySecond = true;
    ASSERT_TRUE(startMatch(std::make_unique<WatchedMode>(reachedByFirst), MatchConnections::none()));
    ASSERT_NE(currentMatchInfo(), nullptr);
    // Replaced by the next one: the old one goes before the new one is current.
    ASSERT_TRUE(startMatch(std::make_unique<WatchedMode>(reachedBySecond), MatchConnections::none()));
    EXPECT_FALSE(reachedByFirst);
    endMatch();
    EXPECT_FALSE(reachedBySecond);
    EXPECT_EQ(currentMatchInfo(), nullptr);
    endMatch();  // none running: nothing happens
}
