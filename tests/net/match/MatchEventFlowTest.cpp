#include "entities/aircraft/Airplane.h"
#include "modes/GameModeGlobals.h"
#include "modes/PlayerRecord.h"
#include "modes/kinds/GameModeCustom.h"
#include "net/match/NetMessage.h"
#include "net/match/NetworkGameHandler.h"
#include "net/match/NetworkPlayer.h"
#include "net/match/ServerDataCodec.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include "MatchOverFakeNet.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Check = std::function<bool(const Bytes&)>;

// A network game of each side over the scripted transport, with the mode's
// events posted straight into its outbox.
struct MatchEventFlow : matchtest::MatchOverFakeNet {
    MatchEventFlow() : MatchOverFakeNet(61, Role::AfterLevel) {}
    GameModeCustom* mode = nullptr;

    bool startMode(bool hosting)
    {
        mode = MatchOverFakeNet::startMode(2, hosting);
        return mode != nullptr;
    }
    Airplane* airplane(NetworkRole role)
    {
        Airplane* a = mode->createAirplane(nullptr, settings().localPlaneId, 1, 0.0f, nullptr, false);
        if (a)
            a->networkRole = role;
        return a;
    }
};

// One event and what goes out for it: the message type, the peer it reaches
// (-1: none goes out) and a check of its decoded fields.
struct Row {
    std::string name;
    MatchEvent event;
    int type;
    int peer;
    Check check;
};

TEST_F(MatchEventFlow, TheHostSendsEachEventAsItsMessageToThePlayersItConcerns)
{
    ASSERT_TRUE(handler->server.start(7));
    ASSERT_TRUE(startMode(true));
    Airplane* bot = airplane(NetworkRole::Local);
    Airplane* joiner = airplane(NetworkRole::RemoteClient);
    ASSERT_TRUE(bot && joiner);
    auto* player = new NetworkPlayer(1);  // the joiner's, on transport slot 0
    player->airplaneId = static_cast<std::uint32_t>(joiner->id());
    const EntityHandle b(bot), j(joiner);
    const int botId = bot->id();

    PlayerRecord record;
    mode->fillPlayerRecord(*bot, record);
    ServerData rounds;
    rounds.layout = ServerData::Layout::Rounds;
    rounds.elapsed = 12.5f;
    rounds.timer = 3.0f;
    std::vector<std::uint8_t> serverData(8);
    ASSERT_EQ(encodeServerData(rounds, serverData), 8);
    matchevent::ScoreEvent score{b, 0, 0, {}};
    score.record[3] = 42;

    const std::vector<Row> rows = {
        {"a new airplane's record, quiet", matchevent::AirplaneAdded{b, false, record}, netmsg::PlayerInfo, 0,
         [](const Bytes& m) {
             int owner = 0;
             bool quiet = false;
             std::vector<std::uint8_t> r;
             return netmsg::RecordMsg::decode(m, netmsg::PlayerInfo, owner, quiet, r) && quiet;
         }},
        {"the player's own airplane is not sent", matchevent::AirplaneAdded{b, true, record}, 0, -1, {}},
        {"respawn", matchevent::AirplaneRespawned{b, 2.5f, {1, 2, 3}, {}}, netmsg::Respawn, 0,
         [&](const Bytes& m) {
             netmsg::RespawnMsg r;
             return r.decode(m) && r.airplaneId == botId && r.value == 2.5f && r.position.y == 2.0f;
         }},
        {"death", matchevent::AirplaneDestroyed{b, j, CrashCause::KilledByDamage, 5, 8.0f, NetworkRole::Local, {}, {}},
         netmsg::AirplaneDestroyed, 0,
         [&](const Bytes& m) {
             netmsg::AirplaneDestroyedMsg d;
             return d.decode(m) && d.victimId == botId && d.killerId == joiner->id() && d.flags == 5 &&
                    d.respawnTime == 8.0f;
         }},
        {"a joiner's own crash is its own to tell",
         matchevent::AirplaneDestroyed{j, {}, CrashCause::Ground, 0, 5.0f, NetworkRole::RemoteClient, {}, {}}, 0, -1,
         {}},
        {"flares", matchevent::FlaresLaunched{b, NetworkRole::Local}, netmsg::Flares, 0,
         [&](const Bytes& m) {
             netmsg::FlaresMsg f;
             return f.decodeHost(m) && f.airplaneId == botId;
         }},
        {"a joiner's flares are not echoed to it", matchevent::FlaresLaunched{j, NetworkRole::RemoteClient}, 0, -1, {}},
        {"eject, to everybody", matchevent::PilotEjected{j, NetworkRole::RemoteClient}, netmsg::Eject, 0, {}},
        {"launch", matchevent::WeaponLaunched{7, b, j, NetworkRole::Local}, netmsg::WeaponLaunch, 0,
         [&](const Bytes& m) {
             netmsg::WeaponLaunchMsg l;
             return l.decodeHost(m) && l.weaponId == 7 && l.ownerId == botId && l.targetId == joiner->id();
         }},
        {"a joiner's launch is not echoed to it", matchevent::WeaponLaunched{7, j, b, NetworkRole::RemoteClient}, 0,
         -1, {}},
        {"taken out", matchevent::AirplaneTakenOut{b}, netmsg::TakeOut, 0, {}},
        {"mode value", matchevent::ModeValue{12, 3}, netmsg::ModeValue, 0,
         [](const Bytes& m) {
             netmsg::ModeValueMsg v;
             return v.decode(m) && v.index == 3 && v.value == 12.0f;
         }},
        {"flag", matchevent::FlagChanged{2, b, j}, netmsg::FlagEvent, 0,
         [&](const Bytes& m) {
             netmsg::FlagEventMsg f;
             return f.decode(m) && f.event == 2 && f.flagId == botId;
         }},
        {"match end with the server data", matchevent::MatchEnded{15.0f, rounds}, netmsg::MatchEnd, 0,
         [&](const Bytes& m) {
             netmsg::MatchEndMsg e;
             return e.decode(m) && e.tail.size() >= serverData.size() + 4 &&
                    std::equal(serverData.begin(), serverData.end(), e.tail.begin());
         }},
        {"chat, sequenced", matchevent::Chat{b, u"hi"}, netmsg::Chat, 0,
         [&](const Bytes& m) {
             netmsg::ChatMsg c;
             return c.decodeRelayed(m) && c.text == u"hi" && c.senderId == static_cast<std::uint32_t>(botId);
         }},
        {"weather", matchevent::WeatherChanged{1, 20.0f}, netmsg::Weather, 0, {}},
        {"restart", matchevent::Restarted{}, netmsg::Restart, 0, {}},
        {"team flag", matchevent::TeamFlag{true}, netmsg::TeamFlag, 0, {}},
        {"score to everybody", score, netmsg::ScoreEvent, 0,
         [&](const Bytes& m) {
             netmsg::ScoreEventMsg s;
             return s.decode(m) && s.airplaneId == botId && s.record[3] == 42;
         }},
        {"score to the owner alone", matchevent::ScoreEvent{j, 0, 1, {}}, netmsg::ScoreEvent, 0, {}},
        {"score to all but the owner", matchevent::ScoreEvent{j, 0, 2, {}}, 0, -1, {}},
        {"flight state", matchevent::FlightState{b, 3, 1.5f}, netmsg::FlightState, 0, {}},
        {"the sun has no message", matchevent::SunValue{0.5f}, 0, -1, {}},
        {"a hit is the client's to tell", matchevent::WeaponHit{b, j, 7}, 0, -1, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        handler->server.sendEvents();
        fake->sent.clear();
        mode->outbox().post(row.event);
        handler->server.sendEvents();
        EXPECT_TRUE(mode->outbox().empty());
        if (row.peer < 0) {
            EXPECT_TRUE(fake->sent.empty());
            continue;
        }
        ASSERT_EQ(fake->sent.size(), 1u);
        const FakeMatchTransport::Sent& sent = fake->sent[0];
        EXPECT_EQ(sent.peer, row.peer);
        ASSERT_FALSE(sent.bytes.empty());
        EXPECT_EQ(sent.bytes[0], row.type);
        EXPECT_EQ(sent.reliable, row.type != netmsg::Chat);
        if (row.check) {
            EXPECT_TRUE(row.check(sent.bytes));
        }
    }
}

TEST_F(MatchEventFlow, AClientTellsTheHostOnlyWhatItsOwnAirplaneDid)
{
    ASSERT_TRUE(handler->client.connectTo(0x7F000001u, 6026));
    fake->isConnected = true;
    ASSERT_TRUE(startMode(false));
    Airplane* own = mode->playerAirplane();
    Airplane* other = airplane(NetworkRole::Remote);
    ASSERT_TRUE(own && other);
    auto* local = new NetworkPlayer(2);
    local->airplaneId = static_cast<std::uint32_t>(own->id());
    netGlobals().localPlayer = local;
    const EntityHandle o(own), x(other);

    const std::vector<Row> rows = {
        {"own death", matchevent::AirplaneDestroyed{o, x, CrashCause::Ground, 4, 5.0f, NetworkRole::Local, {}, {}},
         netmsg::AirplaneDestroyed, 0,
         [&](const Bytes& m) {
             netmsg::AirplaneDestroyedMsg d;
             return d.decode(m) && d.victimId == own->id() && d.killerId == -1 && d.respawnTime == 5.0f;
         }},
        {"another's death is the host's", matchevent::AirplaneDestroyed{x, o, CrashCause::Ground, 4, 5.0f,
                                                                        NetworkRole::Remote, {}, {}},
         0, -1, {}},
        {"own flares", matchevent::FlaresLaunched{o, NetworkRole::Local}, netmsg::Flares, 0,
         [](const Bytes& m) { return netmsg::FlaresMsg{}.decodeClient(m); }},
        {"relayed flares", matchevent::FlaresLaunched{x, NetworkRole::Remote}, 0, -1, {}},
        {"own eject", matchevent::PilotEjected{o, NetworkRole::Local}, netmsg::Eject, 0, {}},
        {"relayed eject", matchevent::PilotEjected{x, NetworkRole::Remote}, 0, -1, {}},
        {"own launch", matchevent::WeaponLaunched{7, o, x, NetworkRole::Local}, netmsg::WeaponLaunch, 0,
         [&](const Bytes& m) {
             netmsg::WeaponLaunchMsg l;
             return l.decodeClient(m) && l.weaponId == 7 && l.targetId == other->id();
         }},
        {"a launch whose owner left", matchevent::WeaponLaunched{7, {}, x, NetworkRole::Local}, 0, -1, {}},
        {"chat, unreliable", matchevent::Chat{o, u"gg"}, netmsg::Chat, 0,
         [](const Bytes& m) {
             netmsg::ChatMsg c;
             return c.decodeClient(m) && c.text == u"gg";
         }},
        {"a hit", matchevent::WeaponHit{x, o, 7}, netmsg::WeaponHit, 0,
         [&](const Bytes& m) {
             netmsg::WeaponHitMsg h;
             return h.decode(m) && h.victimId == other->id() && h.attackerId == own->id() && h.weaponId == 7;
         }},
        {"a hit without attacker", matchevent::WeaponHit{x, {}, 7}, 0, -1, {}},
        {"respawns are the host's", matchevent::AirplaneRespawned{o, 0.0f, {}, {}}, 0, -1, {}},
        {"mode values are the host's", matchevent::ModeValue{1, 0}, 0, -1, {}},
        {"restarts are the host's", matchevent::Restarted{}, 0, -1, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        handler->client.sendEvents();
        fake->sent.clear();
        mode->outbox().post(row.event);
        handler->client.sendEvents();
        EXPECT_TRUE(mode->outbox().empty());
        if (row.peer < 0) {
            EXPECT_TRUE(fake->sent.empty());
            continue;
        }
        ASSERT_EQ(fake->sent.size(), 1u);
        EXPECT_EQ(fake->sent[0].bytes[0], row.type);
        EXPECT_EQ(fake->sent[0].reliable, row.type != netmsg::Chat);
        if (row.check) {
            EXPECT_TRUE(row.check(fake->sent[0].bytes));
        }
    }
}

TEST_F(MatchEventFlow, EventsGoOutInTheOrderOfPlayAndBeforeTheHostsOwnMessages)
{
    ASSERT_TRUE(handler->server.start(7));
    ASSERT_TRUE(startMode(true));
    Airplane* bot = airplane(NetworkRole::Local);
    Airplane* joiner = airplane(NetworkRole::RemoteClient);
    ASSERT_TRUE(bot && joiner);
    auto* player = new NetworkPlayer(1);
    player->airplaneId = static_cast<std::uint32_t>(joiner->id());
    handler->server.sendEvents();
    fake->sent.clear();

    // Posted during play, then a message of the host's own: the events lead.
    mode->takeOutAirplane(*bot);
    mode->startWeather(1, 20.0f);
    netmsg::RestartMsg own;
    std::vector<std::uint8_t> bytes(8);
    bytes.resize(static_cast<std::size_t>(own.encode(bytes)));
    handler->server.sendTo(1, bytes);
    ASSERT_EQ(fake->sent.size(), 3u);
    EXPECT_EQ(fake->sent[0].bytes[0], netmsg::TakeOut);
    EXPECT_EQ(fake->sent[1].bytes[0], netmsg::Weather);
    EXPECT_EQ(fake->sent[2].bytes[0], netmsg::Restart);

    // An airplane removed before the drain still goes out as it was when it happened.
    fake->sent.clear();
    const int id = bot->id();
    mode->respawnAirplane(*bot, 0.0f, nullptr);
    std::unique_ptr<Target> gone = mode->removePlayerAirplane(*bot);
    gone.reset();
    mode->runFrame(ModeHarness::kFrame);
    EXPECT_TRUE(mode->outbox().empty());
    ASSERT_FALSE(fake->sent.empty());
    netmsg::RespawnMsg respawn;
    ASSERT_TRUE(respawn.decode(fake->sent[0].bytes));
    EXPECT_EQ(respawn.airplaneId, id);
}

TEST_F(MatchEventFlow, TheOutboxIsEmptyAfterEveryFrameAndStaysEmptyAlone)
{
    // A client whose transport is gone still takes the outbox each frame.
    ASSERT_TRUE(handler->client.connectTo(0x7F000001u, 6026));
    ASSERT_TRUE(startMode(false));
    NetworkGame::stop();
    for (int i = 0; i < 30; ++i) {
        mode->startWeather(i % 2, 1.0f);
        mode->runFrame(ModeHarness::kFrame);
        EXPECT_TRUE(mode->outbox().empty());
    }
    // Without a network game nothing is posted at all.
    mode->leaveNetworkGame();
    mode->setNetwork(false, false, false);
    for (int i = 0; i < 30; ++i) {
        mode->startWeather(i % 2, 1.0f);
        mode->postChat(u"alone");
        mode->runFrame(ModeHarness::kFrame);
    }
    EXPECT_TRUE(mode->outbox().empty());
}

}  // namespace
