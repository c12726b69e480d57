#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/MatchReport.h"
#include "modes/PlayerRecord.h"
#include "modes/kinds/GameModeCustom.h"
#include "net/match/NetMessage.h"
#include "net/match/NetworkGameHandler.h"
#include "net/match/PlayerRecordCodec.h"
#include "net/match/NetworkPlayer.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include "MatchOverFakeNet.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <vector>

namespace {
// The entity's record as the host sends it.
int writeRecord(const GameMode& mode, const Target& entity, std::span<std::uint8_t> out)
{
    PlayerRecord record;
    mode.fillPlayerRecord(entity, record);
    return encodePlayerRecord(record, out);
}


using matchtest::bytesOf;

// Free-for-all matches of a host or a client.
struct NetworkGames : matchtest::MatchOverFakeNet {
    NetworkGames() : MatchOverFakeNet(52, Role::AfterLevel) {}
    GameModeCustom* startMode(bool hosting) { return MatchOverFakeNet::startMode(2, hosting); }
    // A client joined as player 2 and loaded, its own airplane waiting out of the match.
    GameModeCustom* joinedClient() { return MatchOverFakeNet::joinedClient(2, {}); }
};

TEST_F(NetworkGames, AClientGoesThroughEveryStateAndSaysReadyOnceAfterThreeSeconds)
{
    NetworkGameClient& client = handler->client;
    ASSERT_TRUE(client.connectTo(0x7F000001u, 6026));
    EXPECT_EQ(client.state, NetworkGameClient::Asked);
    client.processMessages();
    EXPECT_EQ(client.state, NetworkGameClient::Asked);  // not yet accepted
    fake->isConnected = true;
    // Before the join only 2 and 6 are read: a chat now changes nothing.
    fake->inbox.push_back({0, {7, 'x', 0, 0, 0}});
    fake->inbox.push_back({0, bytesOf(netmsg::WelcomeMsg{})});
    client.processMessages();
    EXPECT_EQ(client.state, NetworkGameClient::Welcomed);
    EXPECT_EQ(fake->count(netmsg::JoinRequest), 1);

    netmsg::JoinCompleteMsg join;
    join.gameType = 2;
    join.mapIndex = 0;
    join.playerId = 2;
    join.pointsFactor = 9.0f;
    fake->inbox.push_back({0, bytesOf(join)});
    fake->inbox.push_back({0, bytesOf(netmsg::JoinEndMsg{})});
    client.processMessages();
    EXPECT_EQ(client.state, NetworkGameClient::Loading);
    EXPECT_EQ(client.pointsFactor, 4.0f);  // clamped
    EXPECT_EQ(fake->inbox.size(), 1u);     // the reader stopped for the map load

    GameModeCustom* mode = startMode(false);
    ASSERT_NE(mode, nullptr);
    // The own airplane's record, then the end of the join with it out of the match.
    std::vector<std::uint8_t> record(netmsg::kMaxMessage);
    Airplane* own = mode->playerAirplane();
    ASSERT_NE(own, nullptr);
    record.resize(static_cast<std::size_t>(writeRecord(*mode, *own, record)));
    record[1] = 2;  // out for good: waits for the ready message
    netmsg::RecordMsg::frame(record, netmsg::EntityRecord, false, 2);
    fake->inbox.push_front({0, record});
    client.processMessages();
    ASSERT_NE(netGlobals().localPlayer, nullptr);
    EXPECT_EQ(client.state, NetworkGameClient::Waiting);
    client.applyJoinState();
    client.active = 1;
    frames(170);
    EXPECT_EQ(fake->count(netmsg::Ready), 0);
    frames(20);
    EXPECT_EQ(fake->count(netmsg::Ready), 1);
    EXPECT_EQ(client.state, NetworkGameClient::Playing);
    frames(60);
    EXPECT_EQ(fake->count(netmsg::Ready), 1);

    // The host gone: the client falls back to state 0 at its next frame.
    fake->isConnected = false;
    frames(1);
    EXPECT_EQ(client.state, NetworkGameClient::Browsing);
}

TEST_F(NetworkGames, AClientAppliesTheHostsEventsAndDropsWhatNamesNothing)
{
    GameModeCustom* mode = joinedClient();
    ASSERT_NE(mode, nullptr);
    NetworkGameClient& client = handler->client;
    Airplane* own = mode->playerAirplane();
    ASSERT_EQ(client.state, NetworkGameClient::Waiting);
    netGlobals().joinDelay = 1.0f;

    // The host's health for the own airplane, quantised.
    netmsg::HealthMsg health;
    health.health = -0.5f;
    receive(bytesOf(health));
    EXPECT_NEAR(own->health(), -0.496f, 1e-6f);

    // A team switch of the own airplane while waiting: in play, a fresh join delay.
    netmsg::TeamSwitchMsg sw;
    sw.airplaneId = own->id();
    sw.team = 1;
    sw.value = -1.0f;
    receive(bytesOf(sw));
    EXPECT_EQ(own->team(), 1);
    EXPECT_EQ(client.state, NetworkGameClient::Playing);
    EXPECT_EQ(netGlobals().joinDelay, NetworkGameClient::kJoinDelay);

    // An airplane the host announces, then removes quietly and loudly.
    const std::size_t before = mode->entities().size();
    std::vector<std::uint8_t> record(netmsg::kMaxMessage);
    record.resize(static_cast<std::size_t>(writeRecord(*mode, *own, record)));
    record[6] = 77;  // another entity id
    record[7] = 0;
    netmsg::RecordMsg::frame(record, netmsg::PlayerInfo, true, 3);
    receive(record);
    ASSERT_EQ(mode->entities().size(), before + 1);
    ASSERT_NE(mode->findPlayerAirplane(77), nullptr);
    netmsg::PlayerLeftMsg left;
    left.airplaneId = 78;  // never received: nothing happens
    receive(bytesOf(left));
    EXPECT_EQ(mode->entities().size(), before + 1);
    left.airplaneId = 77;
    receive(bytesOf(left));
    EXPECT_EQ(mode->findPlayerAirplane(77), nullptr);
    left.airplaneId = own->id();  // this machine's own airplane stays
    receive(bytesOf(left));
    EXPECT_EQ(mode->playerAirplane(), own);

    // A flight state for nobody, a flag event outside capture the flag and a
    // score event of kind 2 change nothing and fault nothing.
    netmsg::FlightStateMsg fs;
    fs.airplaneId = 99;
    fs.state = 4;
    receive(bytesOf(fs));
    netmsg::FlagEventMsg flag;
    flag.flagId = own->id();
    receive(bytesOf(flag));
    netmsg::ScoreEventMsg score;
    score.airplaneId = own->id();
    score.kind = 2;
    const auto scoresBefore = own->scores;
    receive(bytesOf(score));
    EXPECT_EQ(own->scores, scoresBefore);
    // The flight state of a known airplane is set.
    fs.airplaneId = own->id();
    receive(bytesOf(fs));
    EXPECT_EQ(own->flightState(), FlightState::EngineDead);
}

// Role 0 is never sent: a record claiming it for someone else's airplane
// would make this side fly it as its own. The client refuses it; the same
// record with a sent role builds an airplane this side does not fly.
TEST_F(NetworkGames, AClientRefusesARecordThatWouldMakeAForeignAirplaneLocal)
{
    GameModeCustom* mode = joinedClient();
    ASSERT_NE(mode, nullptr);
    Airplane* own = mode->playerAirplane();
    const std::size_t before = mode->entities().size();
    std::vector<std::uint8_t> record(netmsg::kMaxMessage);
    record.resize(static_cast<std::size_t>(writeRecord(*mode, *own, record)));
    record[6] = 77;  // another entity id
    record[7] = 0;
    std::vector<std::uint8_t> local = record;
    local[4] = 0;
    netmsg::RecordMsg::frame(local, netmsg::PlayerInfo, true, 3);
    receive(local);
    EXPECT_EQ(mode->entities().size(), before);
    EXPECT_EQ(mode->findPlayerAirplane(77), nullptr);
    netmsg::RecordMsg::frame(record, netmsg::PlayerInfo, true, 3);
    receive(record);
    Target* other = mode->findPlayerAirplane(77);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->networkRole, NetworkRole::RemoteClient);
    EXPECT_EQ(own->networkRole, NetworkRole::Local);
}

TEST_F(NetworkGames, AJoinForAMapOrKindThisSideCannotPlayIsEnded)
{
    NetworkGameClient& client = handler->client;
    ASSERT_TRUE(client.connectTo(0x7F000001u, 6026));
    fake->isConnected = true;
    fake->inbox.push_back({0, bytesOf(netmsg::WelcomeMsg{})});
    netmsg::JoinCompleteMsg join;
    join.gameType = 7;  // no such match
    fake->inbox.push_back({0, bytesOf(join)});
    client.processMessages();
    EXPECT_FALSE(NetworkGame::running());
    EXPECT_EQ(client.state, NetworkGameClient::Browsing);
}

TEST_F(NetworkGames, TheHostWelcomesOnceAndSendsStatesOnlyWithPlayers)
{
    NetworkGameServer& server = handler->server;
    netGlobals().serverInfo.clear();
    ASSERT_TRUE(server.start(7));
    GameModeCustom* mode = startMode(true);
    ASSERT_NE(mode, nullptr);
    NetworkGame::openToPlayers();
    EXPECT_TRUE(fake->accepting);
    frames(60);
    EXPECT_TRUE(fake->sent.empty());  // a lone host sends nothing

    server.onClientConnected(0, nullptr);
    server.onClientConnected(0, nullptr);
    server.onClientDisconnected(4);  // a slot that never joined
    frames(1);
    EXPECT_EQ(fake->count(netmsg::Welcome), 2);  // no player yet: both connects are answered
    fake->sent.clear();

    // A join request makes the player; a second connect is then not welcomed.
    JoinRequest request;
    request.planeId = settings().localPlaneId;
    request.name = u"Joiner";
    std::vector<std::uint8_t> bytes(JoinRequest::kSize);
    ASSERT_EQ(encodeJoinRequest(request, bytes), JoinRequest::kSize);
    fake->inbox.push_back({0, bytes});
    frames(1);
    ASSERT_NE(NetworkPlayer::findById(1), nullptr);
    EXPECT_EQ(fake->count(netmsg::JoinComplete), 1);
    EXPECT_EQ(fake->count(netmsg::JoinEnd), 1);
    EXPECT_GE(fake->count(netmsg::EntityRecord), 2);
    server.onClientConnected(0, nullptr);
    frames(1);
    EXPECT_EQ(fake->count(netmsg::Welcome), 0);

    // Everything but a join request from a slot without a player is dropped.
    fake->inbox.push_back({3, bytesOf(netmsg::ReadyMsg{})});
    fake->inbox.push_back({0, bytesOf(netmsg::ReadyMsg{})});
    frames(1);
    Target* joiner = mode->findPlayerAirplane(static_cast<int>(NetworkPlayer::findById(1)->airplaneId));
    ASSERT_NE(joiner, nullptr);
    EXPECT_TRUE(joiner->isActive());

    // Three airplanes in play at 60 frames a second: about 30 states a
    // second, ten of each; the joiner never gets its own airplane's back.
    Airplane* third = mode->createAirplane(nullptr, settings().localPlaneId, 2, 0.0f, nullptr, false);
    ASSERT_NE(third, nullptr);
    fake->sent.clear();
    const int before = server.statesSent;
    frames(120);
    int states = 0;
    for (const auto& s : fake->sent)
        states += !s.reliable && s.bytes[0] == netmsg::AirplaneState;
    EXPECT_NEAR(server.statesSent - before, 60, 4);
    EXPECT_NEAR(states, 40, 4);
    for (const auto& s : fake->sent) {
        if (!s.reliable && s.bytes[0] == netmsg::AirplaneState) {
            EXPECT_NE(s.bytes[1] | (s.bytes[2] << 8), joiner->id());
        }
    }

    // A second joiner; a relay from the first goes to it alone, unchanged.
    request.name = u"Second";
    ASSERT_EQ(encodeJoinRequest(request, bytes), JoinRequest::kSize);
    fake->inbox.push_back({3, bytes});
    frames(1);
    ASSERT_NE(NetworkPlayer::findById(4), nullptr);
    fake->sent.clear();
    netmsg::RelayMsg relay;
    relay.payload = {1, 2, 3};
    fake->inbox.push_back({0, bytesOf(relay)});
    frames(1);
    int relayed = 0;
    for (const auto& s : fake->sent)
        if (s.reliable && s.bytes[0] == netmsg::Relay) {
            ++relayed;
            EXPECT_EQ(s.peer, 3);
            EXPECT_EQ(s.bytes, bytesOf(relay));
        }
    EXPECT_EQ(relayed, 1);

    // The first joiner leaves: the score keeper forgets the airplane before it goes.
    const int joinerId = joiner->id();
    server.onClientDisconnected(0);
    frames(1);
    EXPECT_EQ(NetworkPlayer::findById(1), nullptr);
    EXPECT_EQ(mode->findPlayerAirplane(joinerId), nullptr);
    // The second's airplane is gone already when it leaves: its player still goes.
    Target* second = mode->findPlayerAirplane(static_cast<int>(NetworkPlayer::findById(4)->airplaneId));
    ASSERT_NE(second, nullptr);
    mode->removeEntity(*second);
    frames(1);
    server.onClientDisconnected(3);
    frames(1);
    EXPECT_EQ(NetworkPlayer::findById(4), nullptr);
    EXPECT_EQ(NetworkPlayer::count(), 1u);
}

TEST_F(NetworkGames, JoinsAreGivenUpAfterTenSecondsAndUnarmedOrSecondJoinsIgnored)
{
    handler->onJoinServer(0x0100007Fu, 6026, 0);
    EXPECT_EQ(handler->roomJoinState, -1);  // not armed
    EXPECT_FALSE(NetworkGame::running());

    handler->joinArmed = true;
    handler->onJoinServer(0x0100007Fu, 6026, 0);
    EXPECT_EQ(handler->roomJoinState, 3);
    EXPECT_FALSE(handler->joinArmed);
    for (int i = 0; i < 599; ++i)
        handler->update(1.0f / 60.0f);
    EXPECT_EQ(handler->roomJoinState, 3);
    for (int i = 0; i < 3; ++i)
        handler->update(1.0f / 60.0f);
    EXPECT_EQ(handler->roomJoinState, 0);

    handler->autoJoin = true;
    handler->roomJoinState = 2;
    std::array<std::uint8_t, 307> entry{};
    handler->onRoomEntry(entry.data());
    EXPECT_EQ(handler->roomJoinState, 2);
}

TEST_F(NetworkGames, TheLastLoadStepOpensTheHostAndGivesAClientFiveSeconds)
{
    netGlobals().serverInfo.clear();
    ASSERT_TRUE(handler->server.start(3));
    GameModeCustom* host = startMode(true);
    ASSERT_NE(host, nullptr);
    EXPECT_FALSE(fake->accepting);
    EXPECT_TRUE(handler->loadStep(*host, ModeHarness::kFrame));
    EXPECT_TRUE(fake->accepting);
    harness.finish();

    // A client whose host never ends the join plays alone after 5 s.
    ASSERT_TRUE(handler->client.connectTo(0x7F000001u, 6026));
    fake->isConnected = true;
    GameModeCustom* client = startMode(false);
    ASSERT_NE(client, nullptr);
    int frames = 0;
    while (!handler->loadStep(*client, 0.1f) && frames < 100)
        ++frames;
    EXPECT_EQ(frames, 50);
    EXPECT_FALSE(NetworkGame::running());

    // Leaving the game screen ends a running network game.
    ASSERT_TRUE(handler->client.connectTo(0x7F000001u, 6026));
    handler->gameLeft();
    EXPECT_FALSE(NetworkGame::running());
}

// The pages and the result name the match as the report says.
TEST_F(NetworkGames, TheHostsMatchGoesByItsOwnNameFromItsLastLoadStep)
{
    netGlobals().serverInfo.clear();
    netGlobals().serverInfo.setName(u"Skyhall");
    ASSERT_TRUE(handler->server.start(3));
    GameModeCustom* host = startMode(true);
    ASSERT_NE(host, nullptr);
    EXPECT_TRUE(host->report().serverName.empty());
    EXPECT_TRUE(handler->loadStep(*host, ModeHarness::kFrame));
    const MatchReport report = host->report();
    EXPECT_EQ(report.role, MatchRole::Host);
    EXPECT_EQ(report.serverName, u"Skyhall");
}

// The HUD with one muted pilot.
struct MutingHud : IModeHud {
    const Target* muted = nullptr;
    std::vector<std::u16string> lines;
    void pushLong(int, std::u16string_view text) override { lines.emplace_back(text); }
    bool isMuted(const Target& airplane) const override { return &airplane == muted; }
};

TEST_F(NetworkGames, ChatLinesShowTheSendersColourAndAShortNameUnlessMuted)
{
    netGlobals().serverInfo.clear();
    ASSERT_TRUE(handler->server.start(3));
    MutingHud hud;
    harness.ownHud = &hud;
    GameModeCustom* mode = startMode(true);
    ASSERT_NE(mode, nullptr);
    Airplane* own = mode->playerAirplane();
    ASSERT_NE(own, nullptr);
    Airplane* friendly = mode->createAirplane(nullptr, settings().localPlaneId, own->team(), 0.0f, nullptr, false);
    Airplane* enemy = mode->createAirplane(nullptr, settings().localPlaneId, own->team() + 1, 0.0f, nullptr, false);
    ASSERT_TRUE(friendly && enemy);
    friendly->networkRole = enemy->networkRole = NetworkRole::RemoteClient;
    own->pilotName = u"Me";
    friendly->pilotName = u"Wingmate";
    enemy->pilotName = u"Bandit of the north";

    NetworkGame::addChatLine(own, u"hi");
    NetworkGame::addChatLine(friendly, u"cover me");
    NetworkGame::addChatLine(enemy, u"incoming");
    NetworkGame::addChatLine(nullptr, u"from nobody");  // a sender the mode does not have: nothing
    hud.muted = friendly;
    NetworkGame::addChatLine(friendly, u"muted");
    // Ended before the checks: the match must not outlive this HUD.
    harness.finish();
    ASSERT_EQ(hud.lines.size(), 3u);
    EXPECT_EQ(hud.lines[0], std::u16string(u"\x04;Me\x01;: hi"));
    EXPECT_EQ(hud.lines[1], std::u16string(u"\x02;Wingmate\x01;: cover me"));
    EXPECT_EQ(hud.lines[2], std::u16string(u"\x03;Bandit of ...\x01;: incoming"));
}

TEST(NetworkGameRestart, StartingAgainEndsTheRunningGameFirst)
{
    netGlobals().makeTransport = nullptr;
    netGlobals().lanConfig = LanTransport::Config{};
    netGlobals().lanConfig.bindPort = 0;
    netGlobals().lanConfig.announceAddress = 0;
    netGlobals().serverInfo.clear();
    NetworkGameServer server;
    ASSERT_TRUE(server.start(3));
    NetworkPlayer* first = netGlobals().localPlayer;
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(server.start(3));  // the old thread is joined, its players deleted
    EXPECT_EQ(NetworkPlayer::count(), 1u);
    EXPECT_TRUE(NetworkGame::running());
    NetworkGame::stop();
    EXPECT_FALSE(NetworkGame::running());
    EXPECT_EQ(NetworkPlayer::count(), 0u);
    netGlobals().lanConfig = LanTransport::Config{};
}

}  // namespace
