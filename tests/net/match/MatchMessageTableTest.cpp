// The match's messages by kind: which side sends each, to whom, and what
// the other side makes of it: first the team changes, mode values, team
// flag, state changes, quiet removals and a client's reported death in
// detail, then one table over every message of the protocol.
#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/PlayerRecord.h"
#include "entities/ground/Flag.h"
#include "gamedata/records/WeaponCfg.h"
#include "gamedata/records/WeaponList.h"
#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/GameModeCustom.h"
#include "modes/kinds/GameModeLMS.h"
#include "modes/kinds/GameModeSRV.h"
#include "modes/progress/ScoreMgr.h"
#include "net/match/AirplaneStateCodec.h"
#include "net/match/NetMessage.h"
#include "net/match/PlayerRecordCodec.h"
#include "net/match/ServerDataCodec.h"
#include "net/match/NetworkGameHandler.h"
#include "net/match/NetworkPlayer.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include "MatchOverFakeNet.h"

#include <gtest/gtest.h>

#include <functional>
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

// Client: a switch of its own asks the host (40) and changes nothing until
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

    // Asking for the other team: the request to the host, and the airplane
    // flies on unchanged until the host's answer.
    const int team = own->team();
    const bool flying = own->isActive();
    mode->removeAirplaneForGood(*own, 1 - team);
    frames(1);
    EXPECT_EQ(own->isActive(), flying);
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

// Client: the join's set-up makes a last-man-standing client score as the
// host does, and the team flag (69) only opens or closes team changes; state
// changes (72) and quiet leaves (1) apply to the airplanes they name and to
// nothing else.
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

    // The host closes team changes: still scored by teams, every player filed.
    netmsg::TeamFlagMsg flag;
    flag.teamChange = true;
    receive(bytesOf(flag));
    EXPECT_TRUE(mode->teamChangeAllowed);
    flag.teamChange = false;
    receive(bytesOf(flag));
    EXPECT_FALSE(mode->teamChangeAllowed);
    EXPECT_TRUE(lms->teamMode());
    EXPECT_TRUE(ScoreMgr::instance().teamScoring());
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

// A player joining a team match in progress starts from the host's team
// totals, which count players who have left; in a free-for-all there are none.
TEST_F(MessageTable, AJoinerTakesTheHostsTeamTotals)
{
    netmsg::JoinCompleteMsg setup;
    setup.teamMatch = true;
    setup.team1Total = 7;
    setup.team2Total = 4;
    ASSERT_NE(joinedClient(3, setup), nullptr);
    EXPECT_EQ(ScoreMgr::instance().group(0).score, 7);
    EXPECT_EQ(ScoreMgr::instance().group(1).score, 4);
    EXPECT_EQ(ScoreMgr::instance().group(0).kills, 7);
}

TEST_F(MessageTable, AFreeForAllJoinerHasNoTeamTotals)
{
    netmsg::JoinCompleteMsg setup;
    setup.team1Total = 7;
    setup.team2Total = 4;
    ASSERT_NE(joinedClient(2, setup), nullptr);
    EXPECT_EQ(ScoreMgr::instance().group(0).kills, 0);
    EXPECT_EQ(ScoreMgr::instance().group(1).kills, 0);
}

namespace {

// The whole protocol, one row a message kind: its type byte, the length the
// protocol gives it, the side that sends it, and what the other side does
// with it. The host's rows are read by the game's host, the client's by a
// joined client of capture the flag (the kind with the most messages).
struct KindRow {
    int type;
    const char* name;
    std::size_t length;  // 0: of the record's or the text's length
    std::function<std::vector<std::uint8_t>()> make;
    std::function<void()> applied;  // expectations on the receiving side
};

void checkRows(const std::vector<KindRow>& rows, const std::function<void(const std::vector<std::uint8_t>&)>& deliver)
{
    for (const KindRow& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<std::uint8_t> bytes = row.make();
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes[0], row.type);
        if (row.length) {
            EXPECT_EQ(bytes.size(), row.length);
        }
        deliver(bytes);
        row.applied();
    }
}

// The airplane's state block moved to `at`.
void stateAt(const Airplane& a, const Vec3& at, std::vector<std::uint8_t>& out)
{
    AirplaneNetState state;
    a.netState(state);
    state.position = at;
    out.assign(64, 0);
    out.resize(static_cast<std::size_t>(encodeAirplaneState(state, out)));
}

const WeaponCfg* firstMissile()
{
    const WeaponList& weapons = WeaponList::instance();
    for (int i = 0; i < weapons.count(); ++i)
        if (weapons.at(i)->type == 2 && weapons.at(i)->damage > 0.0f)
            return weapons.at(i);
    return nullptr;
}

}  // namespace

// Client to host: the join request and the ready message, states, chat,
// deaths, launches, flares, ejections, team requests, relays and hits.
TEST_F(MessageTable, TheHostAppliesEveryMessageAClientSends)
{
    GameModeCustom* mode = hostWithTwo(4);
    ASSERT_NE(mode, nullptr);
    Airplane* first = joinerOf(*mode, 1);
    Airplane* second = joinerOf(*mode, 4);
    ASSERT_TRUE(first && second && first->isActive());
    const WeaponCfg* missile = firstMissile();
    ASSERT_NE(missile, nullptr);
    int from = 0;  // the sending slot
    const auto sentTo = [&](std::uint8_t type) { return fake->peersOf(type); };
    const Vec3 moved = first->position() + Vec3{40.0f, 5.0f, -30.0f};
    const int firstTeam = first->team();
    const float secondHealth = second->health();

    const std::vector<KindRow> rows = {
        {netmsg::JoinRequest, "join request", JoinRequest::kSize,
         [&] {
             from = 5;
             JoinRequest request;
             request.planeId = settings().localPlaneId;
             request.name = u"Third";
             std::vector<std::uint8_t> bytes(JoinRequest::kSize);
             encodeJoinRequest(request, bytes);
             return bytes;
         },
         [&] {
             ASSERT_NE(NetworkPlayer::findById(6), nullptr);
             EXPECT_EQ(sentTo(netmsg::JoinComplete), (std::vector<int>{5}));
             EXPECT_EQ(sentTo(netmsg::JoinEnd), (std::vector<int>{5}));
             EXPECT_FALSE(joinerOf(*mode, 6)->isActive());
         }},
        {netmsg::Ready, "ready", netmsg::ReadyMsg::kSize, [&] { return bytesOf(netmsg::ReadyMsg{}); },
         [&] { EXPECT_TRUE(joinerOf(*mode, 6)->isActive()); }},
        {netmsg::AirplaneState, "state", 0,
         [&] {
             from = 0;
             std::vector<std::uint8_t> bytes;
             stateAt(*first, moved, bytes);
             netmsg::AirplaneStateMsg::frame(bytes, first->id());
             return bytes;
         },
         [&] { EXPECT_LT(vec3DistanceSq(first->position(), moved), 100.0f)  /* one frame flown since */; }},
        {netmsg::Chat, "chat", 0,
         [&] {
             netmsg::ChatMsg chat;
             chat.text = u"on your six";
             std::vector<std::uint8_t> bytes(64);
             bytes.resize(static_cast<std::size_t>(chat.encodeClient(bytes)));
             return bytes;
         },
         [&] { EXPECT_EQ(sentTo(netmsg::Chat), (std::vector<int>{3, 5})); }},
        {netmsg::Flares, "flares", 1,
         [&] {
             std::vector<std::uint8_t> bytes(8);
             bytes.resize(static_cast<std::size_t>(netmsg::FlaresMsg{}.encodeClient(bytes)));
             return bytes;
         },
         [&] { EXPECT_EQ(sentTo(netmsg::Flares), (std::vector<int>{3, 5})); }},
        {netmsg::WeaponLaunch, "launch", netmsg::WeaponLaunchMsg::kClientSize,
         [&] {
             netmsg::WeaponLaunchMsg launch;
             launch.weaponId = missile->weapon_id;
             launch.targetId = second->id();
             std::vector<std::uint8_t> bytes(16);
             bytes.resize(static_cast<std::size_t>(launch.encodeClient(bytes)));
             return bytes;
         },
         [&] {
             EXPECT_EQ(mode->missiles().count(), 1);
             EXPECT_EQ(sentTo(netmsg::WeaponLaunch), (std::vector<int>{3, 5}));
         }},
        {netmsg::WeaponHit, "hit", netmsg::WeaponHitMsg::kSize,
         [&] {
             netmsg::WeaponHitMsg hit;
             hit.weaponId = missile->weapon_id;
             hit.victimId = second->id();
             hit.attackerId = first->id();
             return bytesOf(hit);
         },
         [&] { EXPECT_LT(second->health(), secondHealth); }},
        {netmsg::Relay, "relay", 0,
         [&] {
             netmsg::RelayMsg relay;
             relay.payload = {1, 2, 3};
             return bytesOf(relay);
         },
         [&] { EXPECT_EQ(sentTo(netmsg::Relay).size(), 1u); }},
        {netmsg::TeamRequest, "team request", netmsg::TeamRequestMsg::kSize,
         [&] {
             netmsg::TeamRequestMsg ask;
             ask.value = 1 - firstTeam;
             return bytesOf(ask);
         },
         [&] {
             EXPECT_EQ(first->team(), 1 - firstTeam);
             EXPECT_EQ(sentTo(netmsg::TeamSwitch), (std::vector<int>{0, 3, 5}));
         }},
        {netmsg::Eject, "eject", 5,
         [&] {
             from = 3;
             std::vector<std::uint8_t> bytes(8);
             bytes.resize(static_cast<std::size_t>(netmsg::EjectMsg{}.encodeClient(bytes)));
             return bytes;
         },
         [&] { EXPECT_EQ(sentTo(netmsg::Eject), (std::vector<int>{0, 3, 5})); }},  // to all, the sender too
        {netmsg::AirplaneDestroyed, "death", netmsg::AirplaneDestroyedMsg::kSize,
         [&] {
             netmsg::AirplaneDestroyedMsg crash;
             crash.kind = static_cast<int>(CrashCause::Ground);
             crash.flags = 4;
             crash.victimId = second->id();
             crash.respawnTime = 5.0f;
             crash.position = second->position();
             return bytesOf(crash);
         },
         [&] {
             // Down, in play until its owner says the death is over.
             EXPECT_FALSE(second->isAlive());
             EXPECT_EQ(sentTo(netmsg::AirplaneDestroyed), (std::vector<int>{0, 5}));
         }},
    };
    checkRows(rows, [&](const std::vector<std::uint8_t>& bytes) {
        fake->sent.clear();
        fake->inbox.push_back({from, bytes});
        frames(1);
    });
}

// Host to client: every message the host sends a joined player, each acted
// on as the protocol says (the join's own messages brought it in already).
TEST_F(MessageTable, AClientAppliesEveryMessageTheHostSends)
{
    netmsg::JoinCompleteMsg setup;
    setup.teamMatch = true;
    GameModeCustom* mode = joinedClient(4, setup);
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(handler->client.playerId, 2);  // Welcome, JoinComplete, EntityRecord and JoinEnd did that
    Airplane* own = mode->playerAirplane();
    Airplane* other = announced(*mode, 77);
    ASSERT_TRUE(own && other);
    const WeaponCfg* missile = firstMissile();
    ASSERT_NE(missile, nullptr);
    const Vec3 moved = other->position() + Vec3{-25.0f, 10.0f, 60.0f};
    const int otherTeam = other->team();
    const int flares = other->flareCount();
    auto* ctf = dynamic_cast<GameModeCTF*>(mode);
    ASSERT_NE(ctf, nullptr);
    Flag* enemyFlag = ctf->flagOfTeam(1 - otherTeam);
    ASSERT_NE(enemyFlag, nullptr);

    const std::vector<KindRow> rows = {
        {netmsg::PlayerInfo, "player record", 0,
         [&] {
             std::vector<std::uint8_t> record = recordBytes(*mode, *own);
             record[6] = 78;
             record[7] = 0;
             netmsg::RecordMsg::frame(record, netmsg::PlayerInfo, false, 5);
             return record;
         },
         [&] {
             EXPECT_NE(mode->findPlayerAirplane(78), nullptr);
             EXPECT_FALSE(NetworkGame::chatLine().empty());
         }},
        {netmsg::PlayerLeft, "player left", netmsg::PlayerLeftMsg::kSize,
         [&] {
             netmsg::PlayerLeftMsg left;
             left.airplaneId = 78;
             return bytesOf(left);
         },
         [&] { EXPECT_EQ(mode->findPlayerAirplane(78), nullptr); }},
        {netmsg::Respawn, "respawn", netmsg::RespawnMsg::kSize,
         [&] {
             netmsg::RespawnMsg r;
             r.airplaneId = 77;
             r.value = 0.0f;
             r.position = other->position();
             return bytesOf(r);
         },
         [&] { EXPECT_TRUE(other->isActive()); }},
        {netmsg::AirplaneState, "state", 0,
         [&] {
             std::vector<std::uint8_t> bytes;
             stateAt(*other, moved, bytes);
             netmsg::AirplaneStateMsg::frame(bytes, 77);
             return bytes;
         },
         [&] { EXPECT_LT(vec3DistanceSq(other->position(), moved), 1.0f); }},
        {netmsg::Health, "health", netmsg::HealthMsg::kSize,
         [&] {
             netmsg::HealthMsg health;
             health.health = 0.5f;
             return bytesOf(health);
         },
         [&] { EXPECT_NEAR(own->health(), 0.496f, 1e-6f); }},
        {netmsg::Chat, "chat", 0,
         [&] {
             netmsg::ChatMsg chat;
             chat.senderId = 77;
             chat.text = u"break left";
             std::vector<std::uint8_t> bytes(64);
             bytes.resize(static_cast<std::size_t>(chat.encodeRelayed(bytes)));
             return bytes;
         },
         [&] { EXPECT_NE(NetworkGame::chatLine().find(u"break left"), std::u16string::npos); }},
        {netmsg::WeaponLaunch, "launch", netmsg::WeaponLaunchMsg::kHostSize,
         [&] {
             netmsg::WeaponLaunchMsg launch;
             launch.weaponId = missile->weapon_id;
             launch.ownerId = 77;
             launch.targetId = own->id();
             std::vector<std::uint8_t> bytes(16);
             bytes.resize(static_cast<std::size_t>(launch.encodeHost(bytes)));
             return bytes;
         },
         [&] { EXPECT_EQ(mode->missiles().count(), 1); }},
        {netmsg::Flares, "flares", 3,
         [&] {
             netmsg::FlaresMsg flares;
             flares.airplaneId = 77;
             std::vector<std::uint8_t> bytes(8);
             bytes.resize(static_cast<std::size_t>(flares.encodeHost(bytes)));
             return bytes;
         },
         [&] { EXPECT_LT(other->flareCount(), flares); }},
        {netmsg::Weather, "weather", netmsg::WeatherMsg::kSize,
         [&] {
             netmsg::WeatherMsg weather;
             weather.mode = 1;
             return bytesOf(weather);
         },
         [&] { EXPECT_EQ(mode->weatherTarget(), 1); }},
        {netmsg::TeamSwitch, "team switch", netmsg::TeamSwitchMsg::kSize,
         [&] {
             netmsg::TeamSwitchMsg sw;
             sw.airplaneId = 77;
             sw.team = 1 - otherTeam;
             sw.value = 0.0f;  // back at once: later rows need it flying
             sw.position = other->position();
             return bytesOf(sw);
         },
         [&] { EXPECT_EQ(other->team(), 1 - otherTeam); }},
        {netmsg::TeamFlag, "team flag", netmsg::TeamFlagMsg::kSize,
         [&] {
             netmsg::TeamFlagMsg flag;
             flag.teamChange = false;
             return bytesOf(flag);
         },
         [&] { EXPECT_FALSE(mode->teamChangeAllowed); }},
        {netmsg::ScoreEvent, "score", 44,
         [&] {
             netmsg::ScoreEventMsg score;
             score.airplaneId = 77;
             score.record = {7, 0, 3, 0, 0, 0, 0, 0, 0};
             return bytesOf(score);
         },
         [&] { EXPECT_EQ(other->scores[0], 7); }},
        {netmsg::FlightState, "flight state", netmsg::FlightStateMsg::kSize,
         [&] {
             netmsg::FlightStateMsg fs;
             fs.airplaneId = 77;
             fs.state = 4;
             return bytesOf(fs);
         },
         [&] { EXPECT_EQ(other->flightState(), FlightState::EngineDead); }},
        {netmsg::ModeValue, "mode value (not one of capture the flag's)", netmsg::ModeValueMsg::kSize,
         [&] {
             netmsg::ModeValueMsg value;
             value.value = 9.0f;
             return bytesOf(value);
         },
         [&] { EXPECT_FALSE(mode->playStopped); }},
        {netmsg::FlagEvent, "flag event", netmsg::FlagEventMsg::kSize,
         [&] {
             netmsg::FlagEventMsg flag;
             flag.event = 0;  // taken
             flag.flagId = enemyFlag->id();
             flag.playerId = 77;
             return bytesOf(flag);
         },
         [&] { EXPECT_EQ(enemyFlag->carrier(), other); }},
        {netmsg::Eject, "eject", 7,
         [&] {
             netmsg::EjectMsg eject;
             eject.airplaneId = 77;
             std::vector<std::uint8_t> bytes(8);
             bytes.resize(static_cast<std::size_t>(eject.encodeHost(bytes)));
             return bytes;
         },
         [&] { EXPECT_EQ(mode->parachuteCount(), 1); }},
        {netmsg::AirplaneDestroyed, "death", netmsg::AirplaneDestroyedMsg::kSize,
         [&] {
             netmsg::AirplaneDestroyedMsg d;
             d.kind = static_cast<int>(CrashCause::Ground);
             d.flags = 4;
             d.victimId = 77;
             d.respawnTime = 5.0f;
             d.position = other->position();
             return bytesOf(d);
         },
         [&] { EXPECT_EQ(other->lifeState(), LifeState::Destroyed); }},
        {netmsg::TakeOut, "take out", netmsg::TakeOutMsg::kSize,
         [&] {
             netmsg::TakeOutMsg out;
             out.airplaneId = 77;
             return bytesOf(out);
         },
         [&] { EXPECT_FALSE(other->isActive()); }},
        {netmsg::AirplaneStateChange, "state change", netmsg::AirplaneStateChangeMsg::kSize,
         [&] {
             netmsg::AirplaneStateChangeMsg change;
             change.airplaneId = 77;
             change.state = static_cast<int>(LifeState::Dying);
             return bytesOf(change);
         },
         [&] { EXPECT_EQ(other->lifeState(), LifeState::Dying); }},
        {netmsg::ServerData, "server data", 0,
         [&] {
             ServerData data;
             mode->fillServerData(data);
             data.elapsed = 42.0f;
             netmsg::ServerDataMsg msg;
             msg.data.resize(static_cast<std::size_t>(serverDataSize(data.layout)));
             encodeServerData(data, msg.data);
             return bytesOf(msg);
         },
         [&] { EXPECT_NEAR(ScoreMgr::instance().elapsed(), 42.0f, 0.5f); }},
        {netmsg::MatchEnd, "match end", 0,
         [&] {
             ServerData data;
             mode->fillServerData(data);
             netmsg::MatchEndMsg end;
             end.countdown = 10.0f;
             end.data.resize(static_cast<std::size_t>(serverDataSize(data.layout)));
             encodeServerData(data, end.data);
             return bytesOf(end);
         },
         [&] { EXPECT_TRUE(mode->playStopped); }},
        {netmsg::Restart, "restart", netmsg::RestartMsg::kSize, [&] { return bytesOf(netmsg::RestartMsg{}); },
         [&] { EXPECT_FALSE(mode->playStopped); }},
    };
    checkRows(rows, [&](const std::vector<std::uint8_t>& bytes) { receive(bytes); });
}
