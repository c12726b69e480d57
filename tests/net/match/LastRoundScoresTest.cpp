// The last round of last man standing when both joiners crash in one frame:
// a joiner must not credit a kill that the host never names, and the host's
// final table reaches every joiner before the end of the match. A joiner's
// rounds: one who switches team stays out of the round it left, and one who
// arrives in a running round scores with it.
#include "entities/aircraft/Airplane.h"
#include "modes/kinds/GameModeCustom.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/progress/ScoreMgr.h"
#include "net/match/NetMessage.h"
#include "net/match/ServerDataCodec.h"

#include "MatchOverFakeNet.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using matchtest::bytesOf;

struct LastRoundScores : matchtest::MatchOverFakeNet {
    LastRoundScores() : MatchOverFakeNet(61) {}
};

// A joiner's own crash: the hit, or (over) its word that the death is over.
netmsg::AirplaneDestroyedMsg ownCrash(int victimId, bool over = false)
{
    netmsg::AirplaneDestroyedMsg crash;
    crash.kind = static_cast<int>(CrashCause::Ground);
    crash.flags = over ? 8 : 4;
    crash.victimId = victimId;
    crash.killerId = -1;
    crash.respawnTime = over ? -1.0f : 8.0f;
    return crash;
}

TEST_F(LastRoundScores, AJoinersOwnCrashCreditsNoKillerTheHostNeverHears)
{
    netmsg::JoinCompleteMsg setup;
    GameModeCustom* mode = joinedClient(13, setup, false, {77});
    ASSERT_NE(mode, nullptr);
    Airplane* own = mode->playerAirplane();
    auto* other = dynamic_cast<Airplane*>(mode->findPlayerAirplane(77));
    ASSERT_TRUE(own && other);
    netmsg::ModeValueMsg start;
    start.value = 0.0f;
    receive(bytesOf(start));
    ASSERT_TRUE(ScoreMgr::instance().active());
    // The other one shot it down in an earlier round.
    own->lastAttacker = other;
    fake->sent.clear();

    mode->onAirplaneDestroyed(*own, nullptr, CrashCause::Ground);
    handler->client.sendEvents();

    EXPECT_EQ(own->scores[Airplane::kScoreDeaths], 1);
    EXPECT_EQ(other->scores[Airplane::kScorePoints], 0);
    // What the host hears, and so scores: no killer.
    int reports = 0, hits = 0;
    for (const auto& s : fake->sent) {
        netmsg::AirplaneDestroyedMsg d;
        if (!s.bytes.empty() && s.bytes[0] == netmsg::AirplaneDestroyed && d.decode(s.bytes)) {
            ++reports;
            hits += d.atTheHit() ? 1 : 0;
            EXPECT_EQ(d.killerId, -1);
        }
    }
    // The crash and, the airplane down at once, the end of its death.
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(hits, 1);
}

TEST_F(LastRoundScores, TheHostsTableReachesEveryJoinerBeforeTheEnd)
{
    GameModeCustom* mode = hostWith(13, {{0, u"First"}, {3, u"Second"}}, 2);
    ASSERT_NE(mode, nullptr);
    auto* lms = dynamic_cast<GameModeLMS*>(mode);
    ASSERT_NE(lms, nullptr);
    Airplane* first = joinerOf(*mode, 1);
    Airplane* second = joinerOf(*mode, 4);
    ASSERT_TRUE(first && second);
    lms->setModeValue(0, 0);  // the round runs
    ASSERT_TRUE(lms->roundRunning());
    // Each was shot down by the other before; both now crash in one frame.
    first->lastAttacker = second;
    second->lastAttacker = first;
    for (bool over : {false, true}) {
        fake->inbox.push_back({0, bytesOf(ownCrash(first->id(), over))});
        fake->inbox.push_back({3, bytesOf(ownCrash(second->id(), over))});
    }
    fake->sent.clear();
    frames(3);
    ASSERT_TRUE(mode->playStopped);

    // The host's own table: a death each, no point to anybody.
    for (const Airplane* a : {first, second}) {
        EXPECT_EQ(a->scores[Airplane::kScoreDeaths], 1);
        EXPECT_EQ(a->scores[Airplane::kScorePoints], 0);
    }
    // Each joiner gets every player's full record, as the host has it, before the end.
    for (int peer : {0, 3}) {
        SCOPED_TRACE(peer);
        std::map<int, std::array<std::int32_t, 9>> records;
        bool ended = false;
        for (const auto& s : fake->sent) {
            if (s.peer != peer || s.bytes.empty())
                continue;
            if (s.bytes[0] == netmsg::MatchEnd)
                ended = true;
            netmsg::ScoreEventMsg score;
            if (s.bytes[0] == netmsg::ScoreEvent && score.decode(s.bytes) && score.kind == 0) {
                EXPECT_FALSE(ended) << "a record after the end";
                records[score.airplaneId] = score.record;
            }
        }
        EXPECT_TRUE(ended);
        for (const Airplane* a : std::vector<const Airplane*>{first, second, mode->playerAirplane()}) {
            ASSERT_EQ(records.count(a->id()), 1u) << a->id();
            EXPECT_EQ(records[a->id()], a->scores);
        }
    }
}

// Another player switches team while it waits out a death: in last man
// standing it stays out of the round, whatever wait the switch names, and
// leaves the respawn queue. Else this joiner would wait for a respawn the host
// never sends and take the host for lost about 5 s later.
TEST_F(LastRoundScores, ATeamSwitchKeepsTheSwitcherOutOfTheRoundOnAJoiner)
{
    netmsg::JoinCompleteMsg setup;
    GameModeCustom* mode = joinedClient(13, setup, false, {77});
    ASSERT_NE(mode, nullptr);
    auto* other = dynamic_cast<Airplane*>(mode->findPlayerAirplane(77));
    ASSERT_NE(other, nullptr);
    netmsg::ModeValueMsg start;
    start.value = 0.0f;
    receive(bytesOf(start));
    for (const float value : {-1.0f, 4.0f}) {
        SCOPED_TRACE(value);
        // Shot down, then, the fall over, out with a respawn wait.
        receive(bytesOf(ownCrash(other->id())));
        netmsg::AirplaneDestroyedMsg over = ownCrash(other->id(), true);
        over.respawnTime = 3.0f;
        receive(bytesOf(over));
        ASSERT_FALSE(other->isActive());
        netmsg::TeamSwitchMsg change;
        change.airplaneId = other->id();
        change.team = other->team() == 0 ? 1 : 0;
        change.value = value;
        change.position = other->position();
        receive(bytesOf(change));
        frames(static_cast<int>(7.0f / ModeHarness::kFrame));
        EXPECT_FALSE(other->isActive()) << "back in the round it left";
        EXPECT_EQ(std::count(mode->respawnQueue().begin(), mode->respawnQueue().end(), other), 0);
        ASSERT_FALSE(mode->respawnStalled) << "the host taken for lost";
        other->setLifeState(LifeState::Alive);
    }
}

// Another's airplane whose wreck is down here before the host's word that its
// death is over stays in the match, to wait for its respawn.
TEST_F(LastRoundScores, AnothersWreckDownBeforeTheHostsWordStaysInTheMatch)
{
    netmsg::JoinCompleteMsg setup;
    GameModeCustom* mode = joinedClient(2, setup, false, {77});
    ASSERT_NE(mode, nullptr);
    auto* other = dynamic_cast<Airplane*>(mode->findPlayerAirplane(77));
    ASSERT_NE(other, nullptr);
    netmsg::AirplaneDestroyedMsg hit = ownCrash(other->id());
    hit.kind = static_cast<int>(CrashCause::CollisionPair);
    receive(bytesOf(hit));
    frames(static_cast<int>(10.0f / ModeHarness::kFrame));
    ASSERT_EQ(mode->findPlayerAirplane(77), other) << "gone from the match";
    netmsg::AirplaneDestroyedMsg over = ownCrash(other->id(), true);
    over.respawnTime = 1.0f;
    receive(bytesOf(over));
    frames(static_cast<int>(2.0f / ModeHarness::kFrame));
    EXPECT_EQ(mode->findPlayerAirplane(77), other);
    EXPECT_EQ(std::count(mode->respawnQueue().begin(), mode->respawnQueue().end(), other), 1);
}

// One who joins while the host's round runs scores with it, though its own
// mode holds the scores until a round starts.
TEST_F(LastRoundScores, AJoinerArrivingInARunningRoundScoresWithIt)
{
    netmsg::JoinCompleteMsg setup;
    GameModeCustom* mode = joinedClient(13, setup, false, {77});
    ASSERT_NE(mode, nullptr);
    ScoreMgr::instance().setScoring(false);
    ServerData data;
    mode->fillServerData(data);
    data.timer = 0.0f;
    data.playStopped = false;
    netmsg::ServerDataMsg state;
    state.data.resize(static_cast<std::size_t>(serverDataSize(data.layout)));
    ASSERT_GT(encodeServerData(data, state.data), 0);
    receive(bytesOf(state));
    EXPECT_TRUE(ScoreMgr::instance().active());
}

}  // namespace
