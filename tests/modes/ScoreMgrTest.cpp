#include "ModeTestKit.h"

#include "modes/progress/ScoreMgr.h"

namespace {

struct FakeMatch : IScoreMatch {
    int freezes = 0;
    int bonus = 0;
    bool mutedFlag = false;
    void freezeMatch() override { ++freezes; }
    int matchBonusPercent() const override { return bonus; }
    bool messagesMuted() const override { return mutedFlag; }
};

struct CountingListener : IScoreMgrListener {
    int calls = 0;
    void onScoreChanged() override { ++calls; }
};

struct ScoreKit : ModeKit {
    FakeMatch match;
    ScoreMgr& sm = ScoreMgr::instance();

    void start(GameType type, bool teams)
    {
        makeMode(type);
        sm.attach(mode, &match);
        sm.setListener(nullptr);
        sm.reset(teams);
    }
    void SetUp() override
    {
        ModeKit::SetUp();
        start(GameType::FreeForAll, false);
    }
    void TearDown() override
    {
        sm.attach(nullptr, nullptr);
        sm.reset(false);
        ModeKit::TearDown();
    }
    Airplane* player(int team)
    {
        Airplane* a = airplane(team);
        sm.addPlayer(*a);
        return a;
    }
    std::vector<int> strings() const
    {
        std::vector<int> out;
        for (const auto& p : hud.pushed)
            out.push_back(p.stringId);
        return out;
    }
};

constexpr auto kDamage = CrashCause::KilledByDamage;

TEST_F(ScoreKit, FfaRanksByScoreThenFewerDeathsAndTiesMakeADraw)
{
    Airplane* a = player(0);
    Airplane* b = player(1);
    sm.startMatch();
    a->scores[Airplane::kScorePoints] = b->scores[Airplane::kScorePoints] = 4;
    a->scores[Airplane::kScoreDeaths] = 2;
    b->scores[Airplane::kScoreDeaths] = 1;
    EXPECT_EQ(sm.placeOf(*b), 0);
    EXPECT_EQ(sm.placeOf(*a), 1);
    EXPECT_FALSE(sm.isDraw());
    b->scores[Airplane::kScoreDeaths] = 2;
    EXPECT_EQ(sm.leaders(0).size(), 2u);
    EXPECT_TRUE(sm.isDraw());
    sm.endMatch();
    EXPECT_TRUE(sm.isWinner(*a));
    EXPECT_TRUE(sm.isWinner(*b));
    EXPECT_EQ(match.freezes, 1);
}

TEST_F(ScoreKit, PlaceIsDenseAndUnfiledAirplaneHasNone)
{
    Airplane* a = player(0);
    Airplane* b = player(0);
    Airplane* c = player(0);
    Airplane* loose = airplane(0);
    a->scores[Airplane::kScorePoints] = 5;
    b->scores[Airplane::kScorePoints] = 5;
    c->scores[Airplane::kScorePoints] = 1;
    EXPECT_EQ(sm.placeOf(*a), 0);
    EXPECT_EQ(sm.placeOf(*b), 0);
    EXPECT_EQ(sm.placeOf(*c), 1);
    EXPECT_EQ(sm.placeOf(*loose), -1);
}

TEST_F(ScoreKit, SelfKillCostsAPointInEveryTypeButAnotherHandsDamageKillDoesNot)
{
    Airplane* a = player(0);
    Airplane* b = player(1);
    sm.startMatch();
    sm.onKill(a, a, kDamage, false);
    EXPECT_EQ(a->scores[Airplane::kScorePoints], -1);
    EXPECT_EQ(a->scores[Airplane::kScoreDeaths], 1);
    sm.onKill(b, a, kDamage, false);
    EXPECT_EQ(b->scores[Airplane::kScorePoints], 0);
    EXPECT_EQ(a->scores[Airplane::kScorePoints], 0);
    sm.onKill(b, nullptr, CrashCause::Ground, false);
    EXPECT_EQ(b->scores[Airplane::kScorePoints], -1);

    start(GameType::LastManStanding, false);
    a = player(0);
    b = player(1);
    sm.startMatch();
    sm.onKill(b, nullptr, CrashCause::Ground, false);
    EXPECT_EQ(b->scores[Airplane::kScorePoints], 0);
    sm.onKill(a, a, CrashCause::Ground, false);
    EXPECT_EQ(a->scores[Airplane::kScorePoints], -1);
}

TEST_F(ScoreKit, NothingCountsUntilReadyAndSurvivalIsReadyAlone)
{
    Airplane* a = player(0);
    sm.startMatch();
    EXPECT_FALSE(sm.ready());
    sm.onKill(a, nullptr, CrashCause::Ground, false);
    EXPECT_EQ(a->scores[Airplane::kScoreDeaths], 0);
    sm.onKill(a, nullptr, CrashCause::None, false);

    start(GameType::Survival, false);
    Airplane* s = player(0);
    sm.startMatch();
    EXPECT_TRUE(sm.ready());
    sm.onKill(s, nullptr, CrashCause::Ground, false);
    EXPECT_EQ(s->scores[Airplane::kScoreDeaths], 1);

    start(GameType::TeamDeathmatch, true);
    player(0);
    player(5);  // no group for a third team
    sm.startMatch();
    EXPECT_FALSE(sm.ready());
    player(1);
    EXPECT_TRUE(sm.ready());
}

TEST_F(ScoreKit, FirstKillShowsTookLeadToKillerAndLostLeadToOthers)
{
    Airplane* a = player(0);
    Airplane* b = player(1);
    Airplane* c = player(1);
    sm.startMatch();
    mode->setPlayerAirplane(a);
    sm.onKill(b, a, kDamage, false);
    ASSERT_EQ(strings(), std::vector<int>{197});
    EXPECT_EQ(hud.pushed[0].kind, 1);

    // Now b is the local player and c ties a for the lead: tied to a non-local
    // shows nothing; b lost nothing it had.
    hud.pushed.clear();
    mode->setPlayerAirplane(c);
    sm.onKill(b, c, kDamage, false);
    EXPECT_EQ(strings(), std::vector<int>{198});

    // A kill by another at the start costs the local player the shared lead.
    start(GameType::FreeForAll, false);
    hud.pushed.clear();
    a = player(0);
    b = player(1);
    c = player(1);
    sm.startMatch();
    mode->setPlayerAirplane(c);
    sm.onKill(b, a, kDamage, false);
    EXPECT_EQ(strings(), std::vector<int>{196});
    EXPECT_EQ(hud.pushed[0].kind, 2);
}

TEST_F(ScoreKit, PointsToWinOnlyForOneToThreeLeft)
{
    Airplane* a = player(0);
    Airplane* b = player(1);
    sm.scoreLimit = 10;
    sm.startMatch();
    mode->setPlayerAirplane(a);
    a->scores[Airplane::kScorePoints] = 6;  // already leading: no lead change
    sm.onKill(b, a, kDamage, false);        // 7 -> 3 left
    ASSERT_EQ(strings(), std::vector<int>{199});
    EXPECT_EQ(hud.pushed[0].kind, 8);
    hud.pushed.clear();
    a->scores[Airplane::kScorePoints] = 3;
    sm.onKill(b, a, kDamage, false);  // 4: 6 left, nothing
    EXPECT_TRUE(hud.pushed.empty());
    a->scores[Airplane::kScorePoints] = 8;
    sm.onKill(b, a, kDamage, false);  // 9 -> 1 left
    ASSERT_EQ(strings(), std::vector<int>{199});
    EXPECT_EQ(hud.pushed[0].kind, 6);
    hud.pushed.clear();
    a->scores[Airplane::kScorePoints] = 20;  // past the limit: no line
    sm.scoreLimit = 30;
    a->scores[Airplane::kScorePoints] = 30;
    sm.onKill(b, a, kDamage, false);
    for (int id : strings())
        EXPECT_NE(id, 199);
}

TEST_F(ScoreKit, StreaksSkipTheGapsAndRepeatFromTen)
{
    Airplane* a = player(0);
    Airplane* b = player(1);
    sm.startMatch();
    mode->setPlayerAirplane(a);
    a->scores[Airplane::kScorePoints] = 100;  // leader throughout
    std::vector<int> seen;
    for (int i = 1; i <= 12; ++i) {
        hud.pushed.clear();
        sm.onKill(b, a, kDamage, false);
        seen.push_back(hud.pushed.empty() ? 0 : hud.pushed.back().stringId);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 201, 202, 203, 0, 0, 204, 0, 205, 205, 205}));

    // Another pilot's streak goes out as a long message with his name.
    mode->setPlayerAirplane(b);
    a->scores[Airplane::kScoreStreak] = 2;
    hud.pushed.clear();
    sm.onKill(b, a, kDamage, false);
    ASSERT_FALSE(hud.pushed.empty());
    EXPECT_TRUE(hud.pushed.back().isLong);
    EXPECT_NE(hud.pushed.back().text.find(u"Pilot"), std::u16string::npos);
}

// Another pilot's streak line names him in the colour his kill lines use:
// a team-mate in the own team's, a foe in the other.
TEST_F(ScoreKit, AStreakLineColoursTheNameAsTheEventLinesDo)
{
    start(GameType::TeamDeathmatch, true);
    Airplane* me = player(0);
    Airplane* mate = player(0);
    Airplane* foe = player(1);
    Airplane* victim = player(1);
    sm.startMatch();
    mode->setPlayerAirplane(me);
    sm.onKill(victim, mate, kDamage, false);  // team 0 takes the lead: that message, no streak line
    for (Airplane* shooter : {mate, foe}) {
        shooter->scores[Airplane::kScoreStreak] = 3;
        hud.pushed.clear();
        sm.onKill(shooter == mate ? victim : me, shooter, kDamage, false);
        ASSERT_FALSE(hud.pushed.empty());
        const std::u16string& line = hud.pushed.back().text;
        ASSERT_TRUE(hud.pushed.back().isLong);
        EXPECT_EQ(line.substr(0, 2), mode->colouredName(*shooter, 10).substr(0, 2));
        EXPECT_EQ(line[0], shooter == mate ? u'\x07' : u'\x08');
    }
}

TEST_F(ScoreKit, ScoreLimitEndsTheMatchAndDecidesTeams)
{
    start(GameType::TeamDeathmatch, true);
    Airplane* a = player(0);
    Airplane* b = player(1);
    sm.scoreLimit = 2;
    sm.startMatch();
    sm.onKill(b, a, kDamage, false);
    EXPECT_TRUE(sm.active());
    sm.onKill(b, a, kDamage, false);
    EXPECT_FALSE(sm.active());
    EXPECT_EQ(sm.winningTeam(), 0);
    EXPECT_TRUE(sm.isWinner(*a));
    EXPECT_FALSE(sm.isWinner(*b));
    EXPECT_FALSE(sm.isDraw());
    EXPECT_EQ(match.freezes, 1);
    sm.onKill(b, a, kDamage, false);  // after the end nothing counts
    EXPECT_EQ(a->scores[Airplane::kScorePoints], 2);
}

TEST_F(ScoreKit, TimeLimitEndsOnHostButClientClockHoldsAtTheLimit)
{
    player(0);
    player(1);
    sm.timeLimit = 1.0f;
    sm.startMatch();
    for (int i = 0; i < 70; ++i)
        sm.updateTimer(1.0f / 60.0f);
    EXPECT_FALSE(sm.active());
    EXPECT_EQ(match.freezes, 1);

    mode->setNetwork(true, false, false);
    sm.startMatch();
    for (int i = 0; i < 120; ++i)
        sm.updateTimer(1.0f / 60.0f);
    EXPECT_TRUE(sm.active());
    EXPECT_FLOAT_EQ(sm.elapsed(), 1.0f);
    EXPECT_EQ(match.freezes, 1);
}

TEST_F(ScoreKit, DeathPenaltyByRankAndKillPointsOfTheLocalPlayer)
{
    Airplane* me = player(0);
    Airplane* other = player(1);
    mode->setPlayerAirplane(me);
    sm.startMatch();
    me->setRank(9);
    other->setRank(0);
    sm.onKill(me, other, kDamage, false);  // (9 - 0) / 3 + 2 = 5, held at 3
    EXPECT_EQ(sm.matchPoints().death, -3);
    other->setRank(9);
    sm.onKill(me, other, kDamage, false);  // 0 / 3 + 2 = 2
    EXPECT_EQ(sm.matchPoints().death, -5);
    other->setRank(17);
    me->setRank(0);
    sm.onKill(me, other, kDamage, false);  // -17 / 3 + 2 = -3, held at 0
    EXPECT_EQ(sm.matchPoints().death, -5);
    sm.onKill(me, nullptr, CrashCause::Ground, false);
    EXPECT_EQ(sm.matchPoints().death, -8);
    EXPECT_EQ(sm.deathTally(), -8);
    sm.onKill(other, me, kDamage, false);
    EXPECT_EQ(sm.matchPoints().kill, mode->killPoints(*other));
    EXPECT_EQ(sm.killTally(), 2);
}

TEST_F(ScoreKit, AccuracyBonusCountsNoShotsAsZeroAndBonusJoinsTheTotals)
{
    Airplane* me = player(0);
    Airplane* other = player(1);
    mode->setPlayerAirplane(me);
    sm.startMatch();
    for (int i = 0; i < 10; ++i)
        sm.onKill(other, me, kDamage, false);
    const int kills = sm.matchPoints().kill;
    match.bonus = 50;
    sm.finishMatchPoints(0, 0, 0, 0);
    EXPECT_EQ(sm.matchPoints().accuracy, 0);
    EXPECT_EQ(sm.matchPoints().matchBonus, 50);
    sm.finishMatchPoints(100, 50, 10, 10);  // 0.6 * 0.5 + 0.4 * 1 = 0.7
    EXPECT_EQ(sm.matchPoints().accuracy, static_cast<int>((kills + 50) * 0.1 * 0.7));
    EXPECT_EQ(sm.totals().matchBonus, 100);
    EXPECT_EQ(sm.totals().kill, 2 * kills);
}

TEST_F(ScoreKit, FlagsAndBasesPayObjectivePointsAndShares)
{
    start(GameType::DestroyTheBase, true);
    Airplane* me = player(0);
    Airplane* mate = player(0);
    player(1);
    mode->setPlayerAirplane(me);
    sm.startMatch();
    sm.onBaseDestroyed(*me, 1, 0.0f);
    EXPECT_EQ(sm.matchPoints().objective, 20);
    sm.onBaseDestroyed(*mate, 1, 0.5f);
    EXPECT_EQ(sm.matchPoints().baseShare, 4);
    sm.onBaseDestroyed(*mate, 1, 7.0f);  // a share past the whole counts as the whole
    EXPECT_EQ(sm.matchPoints().baseShare, 12);
    EXPECT_EQ(sm.group(0).score, 3);
    sm.onFlagReturned(*me);
    EXPECT_EQ(sm.matchPoints().objective, 30);
}

TEST_F(ScoreKit, RefileMovesAPlayerToItsNewTeamAndForgetDropsIt)
{
    start(GameType::TeamDeathmatch, true);
    CountingListener counter;
    sm.setListener(&counter);
    Airplane* a = player(0);
    player(1);
    a->setTeam(1);
    sm.refilePlayer(*a);
    EXPECT_TRUE(sm.group(0).players.empty());
    EXPECT_EQ(sm.group(1).players.size(), 2u);
    EXPECT_GE(counter.calls, 4);
    sm.forget(*a);
    EXPECT_EQ(sm.group(1).players.size(), 1u);
    sm.setListener(nullptr);
}

TEST_F(ScoreKit, RankThresholdsMapPointsToRanks)
{
    EXPECT_EQ(rankForPoints(-5), 0);
    EXPECT_EQ(rankForPoints(299), 0);
    EXPECT_EQ(rankForPoints(300), 1);
    EXPECT_EQ(rankForPoints(4999999), 16);
    EXPECT_EQ(rankForPoints(5000000), 17);
}

TEST_F(ScoreKit, NetworkRecordCopiesTheBlockOrOnlyTheOutOrder)
{
    Airplane* a = player(0);
    std::array<std::int32_t, 9> rec{3, 2, 7, 1, 0, 0, 0, 2, 0};
    sm.applyNetworkRecord(1, a, rec);
    EXPECT_EQ(a->scores[Airplane::kScoreOutOrder], 2);
    EXPECT_EQ(a->scores[Airplane::kScorePoints], 0);
    sm.applyNetworkRecord(0, a, rec);
    EXPECT_EQ(a->scores[Airplane::kScorePoints], 7);
    EXPECT_EQ(sm.group(0).score, 7);
    sm.applyNetworkRecord(0, nullptr, rec);
}

TEST_F(ScoreKit, ForgettingAPlayerTellsTheListenerBeforeTheAirplaneGoes)
{
    CountingListener listener;
    Airplane* a = player(0);
    Airplane* b = player(1);
    sm.setListener(&listener);
    sm.forget(*b);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(sm.group(0).players, (std::vector<Airplane*>{a}));
    sm.forget(*b);   // not filed any more: nobody is told
    EXPECT_EQ(listener.calls, 1);
    sm.setListener(nullptr);
}

}  // namespace
