// The match's event messages by kind: which side sends each, to whom, and
// what the other side makes of it (team changes, mode values, the team
// flag, state changes, quiet removals, a client's reported death).
#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/PlayerRecord.h"
#include "modes/kinds/GameModeCustom.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/kinds/GameModeSRV.h"
#include "modes/progress/ScoreMgr.h"
#include "net/match/NetMessage.h"
#include "net/match/PlayerRecordCodec.h"
#include "net/match/NetworkGameHandler.h"
#include "net/match/NetworkPlayer.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include "MatchOverFakeNet.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using matchtest::bytesOf;
using matchtest::recordBytes;

struct MessageTable : matchtest::MatchOverFakeNet {
    MessageTable() : MatchOverFakeNet(61) {}

    // A host of the kind with two joined players in play (slots 0 and 3).
    GameModeCustom* hostWithTwo(int type) { return hostWith(type, {{0, u"First"}, {3, u"Second"}}, 1); }
    // A client of the kind joined as player 2 with the host's set-up, in play.
    GameModeCustom* joinedClient(int type, const netmsg::JoinCompleteMsg& setup)
    {
        GameModeCustom* mode = MatchOverFakeNet::joinedClient(type, setup);
        fake->sent.clear();
        return mode;
    }
    // A second airplane the host announced to the client, by its id.
    Airplane* announced(GameMode& mode, int id)
    {
        std::vector<std::uint8_t> record = recordBytes(mode, *mode.playerAirplane());
        record[6] = static_cast<std::uint8_t>(id);
        record[7] = 0;
        netmsg::RecordMsg::frame(record, netmsg::PlayerInfo, true, 3);
        receive(record);
        Target* t = mode.findPlayerAirplane(id);
        return t && t->kind() == TargetKind::Airplane ? static_cast<Airplane*>(t) : nullptr;
    }
};

// Host to all: a team switch (39) after the host's own switch and in answer
// to a client's request (40), a quiet leave (1) for an airplane the host
// removed, and a state change (72) after a death a client reported (8).
TEST_F(MessageTable, TheHostSendsTeamSwitchesQuietLeavesAndStateChanges)
{
    GameModeCustom* mode = hostWithTwo(3);
    ASSERT_NE(mode, nullptr);
    Airplane* first = joinerOf(*mode, 1);
    Airplane* second = joinerOf(*mode, 4);
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(first->isActive());

    // The host's own switch from the score table.
    Airplane* me = mode->playerAirplane();
    const int myTeam = me->team();
    mode->removeAirplaneForGood(*me, 1 - myTeam);
    frames(1);
    EXPECT_EQ(me->team(), 1 - myTeam);
    EXPECT_FALSE(me->isActive());
    EXPECT_NEAR(me->respawnTimer, 5.0f, 0.05f);
    ASSERT_EQ(fake->peersOf(netmsg::TeamSwitch), (std::vector<int>{0, 3}));
    netmsg::TeamSwitchMsg sw;
    for (const auto& s : fake->sent)
        if (s.bytes[0] == netmsg::TeamSwitch) {
            ASSERT_TRUE(sw.decode(s.bytes));
        }
    EXPECT_EQ(sw.airplaneId, me->id());
    EXPECT_EQ(sw.team, 1 - myTeam);
    EXPECT_FLOAT_EQ(sw.value, 5.0f);
    fake->sent.clear();

    // The first joiner asks; the host moves it and tells everybody, the asker too.
    const int firstTeam = first->team();
    netmsg::TeamRequestMsg ask;
    ask.value = 1 - firstTeam;
    fake->inbox.push_back({0, bytesOf(ask)});
    frames(1);
    EXPECT_EQ(first->team(), 1 - firstTeam);
    EXPECT_FALSE(first->isActive());
    EXPECT_EQ(fake->peersOf(netmsg::TeamSwitch), (std::vector<int>{0, 3}));
    // A request for a team that does not exist changes nothing and sends nothing.
    fake->sent.clear();
    ask.value = 7;
    fake->inbox.push_back({0, bytesOf(ask)});
    frames(1);
    EXPECT_EQ(first->team(), 1 - firstTeam);
    EXPECT_EQ(fake->count(netmsg::TeamSwitch), 0);

    // The second joiner reports its own crash: the others learn its state.
    fake->sent.clear();
    netmsg::AirplaneDestroyedMsg crash;
    crash.kind = static_cast<int>(CrashCause::Ground);
    crash.flags = 4;
    crash.victimId = second->id();
    crash.respawnTime = 5.0f;
    crash.position = second->position();
    fake->inbox.push_back({3, bytesOf(crash)});
    frames(1);
    EXPECT_EQ(fake->peersOf(netmsg::AirplaneStateChange), (std::vector<int>{0}));
    netmsg::AirplaneStateChangeMsg change;
    for (const auto& s : fake->sent)
        if (s.bytes[0] == netmsg::AirplaneStateChange) {
            ASSERT_TRUE(change.decode(s.bytes));
        }
    EXPECT_EQ(change.airplaneId, second->id());
    EXPECT_EQ(change.state, static_cast<int>(LifeState::Destroyed));

    // An airplane the host removes leaves every other machine without a line.
    fake->sent.clear();
    Airplane* bot = mode->createAirplane(nullptr, settings().localPlaneId, 1, 0.5f, nullptr, false);
    ASSERT_NE(bot, nullptr);
    const int botId = bot->id();
    mode->removeEntity(*bot);
    frames(1);
    EXPECT_EQ(fake->peersOf(netmsg::PlayerLeft), (std::vector<int>{0, 3}));
    netmsg::PlayerLeftMsg left;
    for (const auto& s : fake->sent)
        if (s.bytes[0] == netmsg::PlayerLeft) {
            ASSERT_TRUE(left.decode(s.bytes));
        }
    EXPECT_TRUE(left.quiet);
    EXPECT_EQ(left.airplaneId, botId);
}

// Client: a switch of its own asks the host (40) and waits out of play for
// the answer (39); the host's mode values (64) run a survival client's waves.
TEST_F(MessageTable, AClientAsksForItsSwitchAndFollowsTheHostsWaves)
{
    netmsg::JoinCompleteMsg setup;
    GameModeCustom* mode = joinedClient(6, setup);
    ASSERT_NE(mode, nullptr);
    auto* survival = dynamic_cast<GameModeSRV*>(mode);
    ASSERT_NE(survival, nullptr);
    Airplane* own = mode->playerAirplane();

    netmsg::ModeValueMsg value;
    value.value = 5.0f;
    value.index = 3;
    receive(bytesOf(value));
    EXPECT_EQ(survival->currentWave(), 3);
    EXPECT_FLOAT_EQ(survival->waveTimer(), 5.0f);
    value.value = 0.0f;
    value.index = 4;
    receive(bytesOf(value));
    EXPECT_EQ(survival->currentWave(), 4);
    // Nothing a client does with a mode value goes back to the host.
    EXPECT_EQ(fake->count(netmsg::ModeValue), 0);

    // Asking for the other team: out at once, the request to the host, nothing changed yet.
    const int team = own->team();
    mode->removeAirplaneForGood(*own, 1 - team);
    frames(1);
    EXPECT_FALSE(own->isActive());
    EXPECT_EQ(own->team(), team);
    ASSERT_EQ(fake->count(netmsg::TeamRequest), 1);
    netmsg::TeamRequestMsg ask;
    for (const auto& s : fake->sent)
        if (s.bytes[0] == netmsg::TeamRequest) {
            ASSERT_TRUE(ask.decode(s.bytes));
        }
    EXPECT_EQ(ask.value, 1 - team);
    // The host's answer moves it and brings it back later.
    netmsg::TeamSwitchMsg sw;
    sw.airplaneId = own->id();
    sw.team = 1 - team;
    sw.value = 5.0f;
    sw.position = {100.0f, 2500.0f, 100.0f};
    receive(bytesOf(sw));
    EXPECT_EQ(own->team(), 1 - team);
    EXPECT_TRUE(mode->isWaitingOrOut(*own));
}

// Client: the join's set-up and the team flag (69) make a last-man-standing
// client score as the host does; state changes (72) and quiet leaves (1)
// apply to the airplanes they name and to nothing else.
TEST_F(MessageTable, AClientTakesTheHostsSetUpTeamFlagStatesAndQuietLeaves)
{
    settings().setSkirmishWord(Settings::kEntryFurther, 0, 0);  // this side would play alone
    netmsg::JoinCompleteMsg setup;
    setup.teamMatch = true;
    setup.scoreLimit = 12;
    setup.matchMinutes = 7;
    setup.respawnDelay = 9;
    setup.gameName = u"Host's game";
    GameModeCustom* mode = joinedClient(13, setup);
    ASSERT_NE(mode, nullptr);
    auto* lms = dynamic_cast<GameModeLMS*>(mode);
    ASSERT_NE(lms, nullptr);
    EXPECT_TRUE(lms->teamMode());
    EXPECT_TRUE(ScoreMgr::instance().teamScoring());
    EXPECT_EQ(ScoreMgr::instance().scoreLimit, 12);
    EXPECT_FLOAT_EQ(ScoreMgr::instance().timeLimit, 7.0f * 60.0f);
    EXPECT_FLOAT_EQ(mode->respawnDelaySetting, 9.0f);

    // The flag back off: scored alone again, every player still filed.
    netmsg::TeamFlagMsg flag;
    flag.teamMatch = false;
    receive(bytesOf(flag));
    EXPECT_FALSE(lms->teamMode());
    EXPECT_FALSE(ScoreMgr::instance().teamScoring());
    EXPECT_NE(ScoreMgr::instance().groupOf(*mode->playerAirplane()), nullptr);

    Airplane* other = announced(*mode, 77);
    ASSERT_NE(other, nullptr);
    netmsg::AirplaneStateChangeMsg change;
    change.airplaneId = 77;
    change.state = static_cast<int>(LifeState::Dying);
    receive(bytesOf(change));
    EXPECT_EQ(other->lifeState(), LifeState::Dying);
    change.state = 2;  // no such state
    receive(bytesOf(change));
    EXPECT_EQ(other->lifeState(), LifeState::Dying);
    change.airplaneId = 99;  // nobody
    change.state = 0;
    receive(bytesOf(change));

    // A round countdown from the host, then its start.
    netmsg::ModeValueMsg value;
    value.value = 20.0f;
    receive(bytesOf(value));
    EXPECT_FLOAT_EQ(lms->roundTimer(), 20.0f);
    EXPECT_FALSE(lms->roundRunning());
    value.value = 0.0f;
    receive(bytesOf(value));
    EXPECT_TRUE(lms->roundRunning());

    // Quietly gone: no leave line.
    NetworkGame::chatLine().clear();
    netmsg::PlayerLeftMsg left;
    left.quiet = true;
    left.airplaneId = 77;
    receive(bytesOf(left));
    EXPECT_EQ(mode->findPlayerAirplane(77), nullptr);
    EXPECT_TRUE(NetworkGame::chatLine().empty());
}

}  // namespace
