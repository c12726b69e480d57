#include "ModeTestKit.h"

#include "modes/progress/ScoreMgr.h"

namespace {

struct CountingMatch : IScoreMatch {
    int freezes = 0;
    void freezeMatch() override { ++freezes; }
    int matchBonusPercent() const override { return 0; }
    bool messagesMuted() const override { return false; }
};

struct ScoreLimits : ModeKit {
    CountingMatch match;
    ScoreMgr& sm = ScoreMgr::instance();

    void SetUp() override
    {
        ModeKit::SetUp();
        makeMode(GameType::FreeForAll);
        sm.attach(mode, &match);
        sm.setListener(nullptr);
        sm.reset(false);
    }
    void TearDown() override
    {
        sm.attach(nullptr, nullptr);
        sm.reset(false);
        ModeKit::TearDown();
    }
    Airplane* player()
    {
        Airplane* a = airplane(0);
        sm.addPlayer(*a);
        return a;
    }
};

}  // namespace

// A free-for-all ends on the kill that reaches the limit, not one later.
TEST_F(ScoreLimits, AFreeForAllEndsOnTheKillThatReachesTheLimit)
{
    Airplane* a = player();
    Airplane* b = player();
    sm.scoreLimit = 3;
    sm.startMatch();
    for (int kill = 1; kill < 3; ++kill) {
        sm.onKill(b, a, CrashCause::KilledByDamage, false);
        EXPECT_TRUE(sm.active()) << kill;
    }
    sm.onKill(b, a, CrashCause::KilledByDamage, false);
    EXPECT_FALSE(sm.active());
    EXPECT_EQ(match.freezes, 1);
    EXPECT_TRUE(sm.isWinner(*a));
}

// A client's table reaching the limit does not end its match: the host's
// end message does, so both sides end on the same table.
TEST_F(ScoreLimits, AClientLeavesTheEndOfTheMatchToItsHost)
{
    mode->setNetwork(true, false, false);
    Airplane* a = player();
    Airplane* b = player();
    sm.scoreLimit = 1;
    sm.startMatch();
    sm.onKill(b, a, CrashCause::KilledByDamage, false);
    EXPECT_TRUE(sm.active());
    EXPECT_EQ(match.freezes, 0);
}
