#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/PlayerRecord.h"
#include "modes/kinds/GameModeCustom.h"
#include "gamedata/records/WeaponCfg.h"
#include "gamedata/records/WeaponList.h"
#include "net/match/NetMessage.h"
#include "net/match/NetworkGameHandler.h"
#include "net/match/NetworkPlayer.h"
#include "net/match/PlayerRecordCodec.h"
#include "net/match/ServerDataCodec.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include "MatchOverFakeNet.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <memory>
#include <vector>

// What a peer can send that the format allows but the game must not act on:
// values out of their range, ids that are not the sender's, senders that are
// not the host. Each case names the slip it guards against.
namespace {

using matchtest::bytesOf;
using matchtest::recordBytes;

struct OddValues : matchtest::MatchOverFakeNet {
    OddValues() : MatchOverFakeNet(52) {}

    // The host of a free-for-all with three joiners in play, on slots 0, 1 and 2.
    GameModeCustom* hostWithJoiners() { return hostWith(2, {{0, u"First"}, {1, u"Second"}, {2, u"Third"}}, 3); }
    Airplane* joinerAirplane(GameMode& mode, int playerId) { return joinerOf(mode, playerId); }
    // A client joined as player 2 and in play, with a second airplane (id 77) of another player.
    GameModeCustom* joinedClient()
    {
        GameModeCustom* mode = MatchOverFakeNet::joinedClient(2, {}, false, {77});
        return handler->client.state == NetworkGameClient::Playing ? mode : nullptr;
    }
};

}  // namespace

// A team request for team 2 (or 255, which only the host may send) would put
// the joiner in a team that does not exist; 0 and 1 are taken and told to all.
TEST_F(OddValues, TheHostTakesTeamRequestsForTeamZeroOrOneOnly)
{
    GameModeCustom* mode = hostWithJoiners();
    ASSERT_NE(mode, nullptr);
    Airplane* first = joinerAirplane(*mode, 1);
    ASSERT_NE(first, nullptr);
    const int team = first->team();
    netmsg::TeamRequestMsg request;
    for (int odd : {2, 255}) {
        request.value = odd;
        fake->inbox.push_back({0, bytesOf(request)});
        frames(1);
        EXPECT_EQ(first->team(), team) << odd;
    }
    EXPECT_EQ(fake->count(netmsg::TeamSwitch), 0);
    for (int wanted : {1, 0}) {
        request.value = wanted;
        fake->inbox.push_back({0, bytesOf(request)});
        frames(1);
        EXPECT_EQ(first->team(), wanted);
    }
    EXPECT_EQ(fake->peersOf(netmsg::TeamSwitch), (std::vector<int>{0, 1, 2, 0, 1, 2}));
    // Once the host has closed team changes (half of a timed match gone) it
    // takes none: the asker alone hears that they are closed, and nothing
    // brings its airplane back afresh.
    for (int i = 0; i < 900 && !first->isActive(); ++i)
        frames(1);
    ASSERT_TRUE(first->isActive());
    mode->teamChangeAllowed = false;
    fake->sent.clear();
    request.value = 1;
    fake->inbox.push_back({0, bytesOf(request)});
    frames(1);
    EXPECT_EQ(first->team(), 0);
    EXPECT_TRUE(first->isActive());
    EXPECT_EQ(fake->count(netmsg::TeamSwitch), 0);
    EXPECT_EQ(fake->peersOf(netmsg::TeamFlag), (std::vector<int>{0}));
    EXPECT_EQ(fake->count(netmsg::Respawn), 0);
}

// Whatever airplane a client's message names, it speaks for the sender's own.
TEST_F(OddValues, TheHostAppliesAClientsEventsToTheSendersAirplaneAndEchoesThemToTheOthersOnly)
{
    GameModeCustom* mode = hostWithJoiners();
    ASSERT_NE(mode, nullptr);
    Airplane* first = joinerAirplane(*mode, 1);
    Airplane* second = joinerAirplane(*mode, 2);
    Airplane* host = mode->playerAirplane();
    ASSERT_TRUE(first && second && host);

    netmsg::AirplaneDestroyedMsg destroyed;
    destroyed.victimId = host->id();  // names the host's airplane
    destroyed.kind = static_cast<int>(CrashCause::Ground);
    destroyed.flags = 4;
    destroyed.respawnTime = 5.0f;
    destroyed.position = second->position();
    fake->inbox.push_back({1, bytesOf(destroyed)});
    destroyed.flags = 8;  // and down at once
    fake->inbox.push_back({1, bytesOf(destroyed)});
    frames(1);
    EXPECT_TRUE(host->isActive());
    EXPECT_FALSE(second->isActive());
    EXPECT_TRUE(first->isActive());

    // Flares and a chat line reach everybody but the sender, naming its airplane.
    fake->sent.clear();
    std::vector<std::uint8_t> flares(8);
    flares.resize(static_cast<std::size_t>(netmsg::FlaresMsg{}.encodeClient(flares)));
    fake->inbox.push_back({0, flares});
    netmsg::ChatMsg chat;
    chat.text = u"hello";
    std::vector<std::uint8_t> line(32);
    line.resize(static_cast<std::size_t>(chat.encodeClient(line)));
    fake->inbox.push_back({0, line});
    frames(1);
    EXPECT_EQ(fake->peersOf(netmsg::Flares), (std::vector<int>{1, 2}));
    EXPECT_EQ(fake->peersOf(netmsg::Chat), (std::vector<int>{1, 2}));
    for (const auto& s : fake->sent) {
        if (s.bytes[0] == netmsg::Flares) {
            netmsg::FlaresMsg back;
            ASSERT_TRUE(back.decodeHost(s.bytes));
            EXPECT_EQ(back.airplaneId, first->id());
        } else if (s.bytes[0] == netmsg::Chat) {
            netmsg::ChatMsg back;
            ASSERT_TRUE(back.decodeRelayed(s.bytes));
            EXPECT_EQ(back.senderId, static_cast<std::uint32_t>(first->id()));
            EXPECT_EQ(back.text, u"hello");
        }
    }

    // A relay goes to exactly one other player (the first), never back.
    fake->sent.clear();
    netmsg::RelayMsg relay;
    relay.payload = {9};
    fake->inbox.push_back({1, bytesOf(relay)});
    frames(1);
    EXPECT_EQ(fake->peersOf(netmsg::Relay), (std::vector<int>{0}));
}

// A weapon hit counts only for the weapon kinds a client reports (missiles,
// not guns) and only between airplanes the host knows.
TEST_F(OddValues, TheHostTakesWeaponHitsOnlyOfReportedKindsBetweenKnownAirplanes)
{
    GameModeCustom* mode = hostWithJoiners();
    ASSERT_NE(mode, nullptr);
    Airplane* first = joinerAirplane(*mode, 1);
    Airplane* second = joinerAirplane(*mode, 2);
    ASSERT_TRUE(first && second);
    const WeaponList& weapons = WeaponList::instance();
    const WeaponCfg* gun = nullptr;
    const WeaponCfg* missile = nullptr;
    for (int i = 0; i < weapons.count(); ++i) {
        const WeaponCfg* w = weapons.at(i);
        if (w->type == 0 && !gun)
            gun = w;
        if (w->type == 2 && !missile && w->damage > 0.0f)
            missile = w;
    }
    ASSERT_TRUE(gun && missile);
    netmsg::WeaponHitMsg hit;
    hit.attackerId = first->id();
    hit.victimId = second->id();
    hit.weaponId = gun->weapon_id;
    const float before = second->health();
    fake->inbox.push_back({0, bytesOf(hit)});
    frames(1);
    EXPECT_EQ(second->health(), before) << "a gun hit is the host's own to find";
    hit.weaponId = missile->weapon_id;
    hit.victimId = 4000;  // nobody
    fake->inbox.push_back({0, bytesOf(hit)});
    frames(1);
    EXPECT_EQ(second->health(), before);
    hit.victimId = second->id();
    fake->inbox.push_back({0, bytesOf(hit)});
    frames(1);
    EXPECT_LT(second->health(), before);
}

// Odd values the host could send: a player-left naming this machine's own
// airplane, weather mode 4, a team switch to team 2, a match end whose
// count-down is not a number. None is acted on; the sound ones are.
TEST_F(OddValues, AClientActsOnlyOnValuesItCanUse)
{
    GameModeCustom* mode = joinedClient();
    ASSERT_NE(mode, nullptr);
    Airplane* own = mode->playerAirplane();
    Target* other = mode->findPlayerAirplane(77);
    ASSERT_TRUE(own && other);

    netmsg::PlayerLeftMsg left;
    left.quiet = true;
    left.airplaneId = own->id();
    receive(bytesOf(left));
    EXPECT_EQ(mode->findPlayerAirplane(own->id()), own);

    netmsg::WeatherMsg weather;
    receive({netmsg::Weather, 4});
    EXPECT_EQ(mode->weatherTarget(), -1);
    weather.mode = 3;
    receive(bytesOf(weather));
    EXPECT_EQ(mode->weatherTarget(), 3);

    netmsg::TeamSwitchMsg sw;
    sw.airplaneId = 77;
    sw.team = 1;
    sw.value = -1.0f;
    std::vector<std::uint8_t> toTwo = bytesOf(sw);
    toTwo[7] = 2;
    const int otherTeam = other->team();
    receive(toTwo);
    EXPECT_EQ(other->team(), otherTeam);
    sw.team = otherTeam == 0 ? 1 : 0;
    receive(bytesOf(sw));
    EXPECT_EQ(other->team(), sw.team);
    // Out of the match, a switch with no time left brings it back at once.
    netmsg::TakeOutMsg out;
    out.airplaneId = 77;
    receive(bytesOf(out));
    ASSERT_FALSE(other->isActive());
    sw.value = 0.0f;
    receive(bytesOf(sw));
    EXPECT_TRUE(other->isActive());

    // The health of the own airplane only, and a state only for active airplanes.
    netmsg::HealthMsg health;
    health.health = 0.25f;
    const float otherHealth = other->health();
    receive(bytesOf(health));
    EXPECT_NEAR(own->health(), 0.248f, 1e-6f);
    EXPECT_EQ(other->health(), otherHealth);

    // A score record of kind 1 sets the out-of-order word alone.
    netmsg::ScoreEventMsg score;
    score.airplaneId = own->id();
    score.kind = 1;
    score.record.fill(9);
    const auto scores = own->scores;
    receive(bytesOf(score));
    for (std::size_t i = 0; i < scores.size(); ++i)
        EXPECT_EQ(own->scores[i], i == Airplane::kScoreOutOrder ? 9 : scores[i]) << i;

    netmsg::MatchEndMsg end;
    end.countdown = std::numeric_limits<float>::quiet_NaN();
    ServerData data;
    mode->fillServerData(data);
    end.data.resize(static_cast<std::size_t>(serverDataSize(data.layout)));
    const int n = encodeServerData(data, end.data);
    ASSERT_GT(n, 0);
    receive(bytesOf(end));
    EXPECT_FALSE(mode->playStopped);

    // A quiet player-left for the other airplane removes it.
    left.airplaneId = 77;
    receive(bytesOf(left));
    EXPECT_EQ(mode->findPlayerAirplane(77), nullptr);
}

// A message that comes in from a peer other than the host, or a record that
// belongs to the join after the join is over, is not acted on.
TEST_F(OddValues, AJoinedClientTakesNothingButItsHostsMessagesAndNoLateJoinRecords)
{
    GameModeCustom* mode = joinedClient();
    ASSERT_NE(mode, nullptr);
    Airplane* own = mode->playerAirplane();
    const float health = own->health();
    netmsg::HealthMsg hit;
    hit.health = -0.5f;
    receive(bytesOf(hit), 3);
    EXPECT_EQ(own->health(), health);

    std::vector<std::uint8_t> record = recordBytes(*mode, *own);
    record[6] = 88;
    record[7] = 0;
    netmsg::RecordMsg::frame(record, netmsg::EntityRecord, false, 4);
    receive(record);
    EXPECT_EQ(mode->findPlayerAirplane(88), nullptr) << "entity records belong to the join";
    netmsg::JoinEndMsg joinEnd;
    receive(bytesOf(joinEnd));
    EXPECT_EQ(handler->client.state, NetworkGameClient::Playing);

    // A respawn of its own airplane with no time left puts a waiting client in play;
    // one that keeps it out does not.
    handler->client.state = NetworkGameClient::Waiting;
    netmsg::RespawnMsg respawn;
    respawn.airplaneId = own->id();
    respawn.value = -1.0f;
    respawn.position = own->position();
    receive(bytesOf(respawn));
    EXPECT_EQ(handler->client.state, NetworkGameClient::Waiting);
    respawn.value = 0.0f;
    receive(bytesOf(respawn));
    EXPECT_EQ(handler->client.state, NetworkGameClient::Playing);
}

// Times beyond any a match uses (1e30, NaN) are held to their range where they
// come in, before the mode counts with them or turns them into whole seconds
// (the respawn text, the end table's clock): a respawn wait at most 255 s or
// out, a restart count-down at most an hour, an elapsed time at most a day.
TEST_F(OddValues, TimesFromAPeerChangeNothingButWhatTheirRangeAllows)
{
    constexpr float kHuge = 1e30f;
    const float notANumber = std::numeric_limits<float>::quiet_NaN();
    GameModeCustom* mode = joinedClient();
    ASSERT_NE(mode, nullptr);
    Airplane* own = mode->playerAirplane();
    Target* other = mode->findPlayerAirplane(77);
    ASSERT_TRUE(own && other);
    std::u16string text;

    netmsg::RespawnMsg respawn;
    respawn.airplaneId = own->id();
    respawn.position = own->position();
    respawn.value = kHuge;
    receive(bytesOf(respawn));
    EXPECT_FALSE(own->isActive());
    EXPECT_EQ(own->respawnTimer, netmsg::kMaxRespawnWait);
    EXPECT_TRUE(mode->respawnText(text)) << "whole seconds left, counted up";
    respawn.value = notANumber;
    receive(bytesOf(respawn));
    EXPECT_EQ(own->respawnTimer, netmsg::kMaxRespawnWait) << "not a number: nothing changes";

    netmsg::AirplaneDestroyedMsg destroyed;
    destroyed.victimId = 77;
    destroyed.flags = 4;
    destroyed.respawnTime = kHuge;
    destroyed.position = other->position();
    receive(bytesOf(destroyed));
    destroyed.flags = 8;  // the death is over
    receive(bytesOf(destroyed));
    EXPECT_FALSE(other->isActive());
    EXPECT_EQ(other->respawnTimer, netmsg::kMaxRespawnWait);

    netmsg::TeamSwitchMsg sw;
    sw.airplaneId = 77;
    sw.team = other->team() == 0 ? 1 : 0;
    sw.value = kHuge;
    sw.position = other->position();
    receive(bytesOf(sw));
    EXPECT_EQ(other->team(), sw.team);
    EXPECT_EQ(other->respawnTimer, netmsg::kMaxRespawnWait);

    ServerData data;
    mode->fillServerData(data);
    const float elapsed = ScoreMgr::instance().elapsed();
    netmsg::ServerDataMsg state;
    state.data.resize(static_cast<std::size_t>(serverDataSize(data.layout)));
    data.elapsed = notANumber;
    ASSERT_GT(encodeServerData(data, state.data), 0);
    receive(bytesOf(state));
    EXPECT_EQ(ScoreMgr::instance().elapsed(), elapsed);
    data.elapsed = kHuge;
    ASSERT_GT(encodeServerData(data, state.data), 0);
    receive(bytesOf(state));
    EXPECT_EQ(ScoreMgr::instance().elapsed(), netmsg::kMaxElapsed);

    netmsg::MatchEndMsg end;
    end.data = state.data;
    end.countdown = notANumber;
    receive(bytesOf(end));
    EXPECT_EQ(mode->restartCountdown(), -1.0f) << "no count-down came";
    end.countdown = kHuge;
    receive(bytesOf(end));
    EXPECT_EQ(mode->restartCountdown(), netmsg::kMaxCountdown);
}

// The host holds a client's own respawn time the same way.
TEST_F(OddValues, TheHostHoldsAClientsRespawnTimeToItsRange)
{
    GameModeCustom* mode = hostWithJoiners();
    ASSERT_NE(mode, nullptr);
    Airplane* first = joinerAirplane(*mode, 1);
    ASSERT_NE(first, nullptr);
    netmsg::AirplaneDestroyedMsg destroyed;
    destroyed.victimId = first->id();
    destroyed.flags = 4;
    destroyed.respawnTime = 1e30f;
    destroyed.position = first->position();
    fake->inbox.push_back({0, bytesOf(destroyed)});
    destroyed.flags = 8;  // the death is over
    fake->inbox.push_back({0, bytesOf(destroyed)});
    frames(1);
    EXPECT_FALSE(first->isActive());
    EXPECT_LE(first->respawnTimer, netmsg::kMaxRespawnWait);
    EXPECT_GT(first->respawnTimer, 0.0f);
}
