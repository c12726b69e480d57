#include "net/match/NetMessage.h"
#include "net/match/NetworkPlayer.h"
#include "net/match/ServerInfo.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

using namespace netmsg;

namespace {
using Bytes = std::vector<std::uint8_t>;

template <typename Encode>
Bytes encoded(Encode encode)
{
    std::array<std::uint8_t, kMaxMessage + 8> buffer{};
    const int n = encode(std::span<std::uint8_t>(buffer));
    return Bytes(buffer.begin(), buffer.begin() + std::max(n, 0));
}

std::uint32_t u32At(const Bytes& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void putNaN(Bytes& b, std::size_t at)
{
    const auto bits = std::bit_cast<std::uint32_t>(std::numeric_limits<float>::quiet_NaN());
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
}
}  // namespace

TEST(MatchMessages, SmallMessagesHaveTheirExactBytes)
{
    PlayerLeftMsg left;
    left.quiet = true;
    left.airplaneId = 0x0102;
    EXPECT_EQ(encoded([&](auto o) { return left.encode(o); }), (Bytes{1, 1, 2, 1, 0x9b, 0x44, 0xab, 0xe1}));
    WelcomeMsg welcome;
    welcome.weatherWord = 0x04030201;
    EXPECT_EQ(encoded([&](auto o) { return welcome.encode(o); }), (Bytes{6, 0x5b, 0xc6, 0xf4, 0xb1, 1, 2, 3, 4}));
    JoinEndMsg end;
    end.playerId = 3;
    EXPECT_EQ(encoded([&](auto o) { return end.encode(o); }), (Bytes{55, 3, 0}));
    EXPECT_EQ(encoded([](auto o) { return ReadyMsg{}.encode(o); }), (Bytes{35, 0x51, 0x51, 0x51, 0x51}));
    EXPECT_EQ(encoded([](auto o) { return RestartMsg{}.encode(o); }), (Bytes{67, 0x22, 0x22, 0x11, 0x11}));
    TakeOutMsg out;
    out.airplaneId = -1;
    EXPECT_EQ(encoded([&](auto o) { return out.encode(o); }), (Bytes{57, 0x12, 0x12, 0x12, 0x12, 0xFF, 0xFF}));
    WeaponLaunchMsg launch;
    launch.weaponId = 7;
    launch.ownerId = 4;
    launch.targetId = -1;
    EXPECT_EQ(encoded([&](auto o) { return launch.encodeClient(o); }), (Bytes{9, 7, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(encoded([&](auto o) { return launch.encodeHost(o); }), (Bytes{9, 7, 4, 0, 0xFF, 0xFF, 0xFF}));
    FlaresMsg flares;
    flares.airplaneId = 5;
    EXPECT_EQ(encoded([&](auto o) { return flares.encodeClient(o); }), (Bytes{10}));
    EXPECT_EQ(encoded([&](auto o) { return flares.encodeHost(o); }), (Bytes{10, 5, 0}));
    EjectMsg eject;
    eject.airplaneId = 2;
    EXPECT_EQ(encoded([&](auto o) { return eject.encodeClient(o); }), (Bytes{23, 0x71, 0x71, 0x71, 0x71}));
    EXPECT_EQ(encoded([&](auto o) { return eject.encodeHost(o); }), (Bytes{23, 2, 0, 0x71, 0x71, 0x71, 0x71}));
    WeaponHitMsg hit;
    hit.weaponId = 12;
    hit.victimId = 3;
    hit.attackerId = 258;
    EXPECT_EQ(encoded([&](auto o) { return hit.encode(o); }), (Bytes{71, 12, 3, 0, 2, 1}));
    AirplaneStateChangeMsg change;
    change.a = 1;
    change.b = 2;
    change.state = 9;
    change.airplaneId = 6;
    change.otherId = -1;
    EXPECT_EQ(encoded([&](auto o) { return change.encode(o); }), (Bytes{72, 1, 2, 7, 7, 7, 7, 9, 6, 0, 0xFF, 0xFF}));
    FlagEventMsg flag;
    flag.event = 3;
    flag.flagId = 40;
    flag.playerId = -1;
    EXPECT_EQ(encoded([&](auto o) { return flag.encode(o); }), (Bytes{41, 3, 40, 0, 0x61, 0x61, 0x61, 0x61, 0xFF, 0xFF}));
    TeamFlagMsg team;
    team.teamChange = true;
    EXPECT_EQ(encoded([&](auto o) { return team.encode(o); }), (Bytes{69, 0x21, 0x43, 0x21, 0x43, 1}));
    ModeValueMsg value;
    value.index = 2;
    value.value = 1.0f;
    EXPECT_EQ(encoded([&](auto o) { return value.encode(o); }),
              (Bytes{64, 2, 0, 0x34, 0x12, 0x34, 0x12, 0, 0, 0x80, 0x3f}));
    FlightStateMsg fs;
    fs.airplaneId = 1;
    fs.state = 4;
    fs.time = 2.0f;
    EXPECT_EQ(encoded([&](auto o) { return fs.encode(o); }), (Bytes{73, 1, 0, 4, 0, 0, 0, 0x40}));
    TeamRequestMsg request;
    request.value = 1;
    EXPECT_EQ(encoded([&](auto o) { return request.encode(o); }), (Bytes{40, 0x19, 0x19, 0x19, 0x19, 1}));
}

TEST(MatchMessages, LongMessagesPutEveryFieldAtItsOffset)
{
    AirplaneDestroyedMsg d;
    d.kind = 4;
    d.flags = 8;
    d.victimId = 3;
    d.killerId = -1;
    d.respawnTime = -1.0f;
    d.position = {1.0f, 2.0f, 3.0f};
    d.orientation = {0.0f, 0.0f, 0.0f, 1.0f};
    Bytes b = encoded([&](auto o) { return d.encode(o); });
    ASSERT_EQ(b.size(), 35u);
    EXPECT_EQ(b[1], 4);
    EXPECT_EQ(b[2], 8);
    EXPECT_EQ(u32At(b, 3), kDestroyedTag);
    EXPECT_EQ(b[9], 0xFF);
    EXPECT_EQ(std::bit_cast<float>(u32At(b, 11)), -1.0f);
    EXPECT_EQ(std::bit_cast<float>(u32At(b, 23)), 3.0f);
    EXPECT_EQ(b[33] | (b[34] << 8), 32000);  // w

    RespawnMsg r;
    r.airplaneId = 9;
    r.value = 0.5f;
    r.orientation = {1.0f, 0.0f, -1.0f, 0.0f};
    b = encoded([&](auto o) { return r.encode(o); });
    ASSERT_EQ(b.size(), 31u);
    EXPECT_EQ(b[1] | (b[2] << 8), 32000);
    EXPECT_EQ(static_cast<std::int16_t>(b[5] | (b[6] << 8)), -32000);
    EXPECT_EQ(u32At(b, 7), kRespawnTag);
    EXPECT_EQ(b[11], 9);
    RespawnMsg back;
    ASSERT_TRUE(back.decode(b));
    EXPECT_FLOAT_EQ(back.orientation.x, 1.0f);
    EXPECT_FLOAT_EQ(back.orientation.z, -1.0f);

    JoinCompleteMsg join;
    join.mapIndex = 3;
    join.gameType = 4;
    join.weatherMode = -1;
    join.playerId = 2;
    join.airplaneId = 300;
    join.playerCount = 5;
    join.pointsFactor = 1.5f;
    join.gameName = u"Skyhall";
    join.setupValues = {1, 2, 3, 4};
    b = encoded([&](auto o) { return join.encode(o); });
    ASSERT_EQ(b.size(), 135u);
    EXPECT_EQ(b[1], 3);
    EXPECT_EQ(b[2], 4);
    EXPECT_EQ(u32At(b, 3), kJoinCompleteTag);
    EXPECT_EQ(b[7], 0xFF);
    EXPECT_EQ(b[38], 5);
    EXPECT_EQ(b[39], 2);
    EXPECT_EQ(b[44] | (b[45] << 8), 300);
    EXPECT_EQ(std::bit_cast<float>(u32At(b, 47)), 1.5f);
    EXPECT_EQ(b[55], 'S');
    EXPECT_EQ(u32At(b, 131), 4u);
    JoinCompleteMsg read;
    ASSERT_TRUE(read.decode(b));
    EXPECT_EQ(read.gameName, u"Skyhall");
    EXPECT_EQ(read.weatherMode, -1);

    ScoreEventMsg score;
    score.airplaneId = 1;
    for (int kind : {0, 1, 2}) {
        score.kind = kind;
        score.record = {10, 20, 30, 40, 50, 60, 70, 80, 90};
        b = encoded([&](auto o) { return score.encode(o); });
        EXPECT_EQ(b.size(), kind == 0 ? 44u : kind == 1 ? 12u : 8u);
        ScoreEventMsg got;
        ASSERT_TRUE(got.decode(b));
        // Kind 2 hands an all-zero block on; kind 1 only the second word.
        EXPECT_EQ(got.record[1], kind == 2 ? 0 : 20);
        EXPECT_EQ(got.record[8], kind == 0 ? 90 : 0);
    }
}

TEST(MatchMessages, QuantisedValuesReadBackAsTheGameExpects)
{
    EXPECT_EQ(healthByte(1.0f), 125);
    EXPECT_FLOAT_EQ(healthValue(healthByte(1.0f)), 1.0f);
    EXPECT_EQ(healthByte(-0.5f), -62);
    EXPECT_NEAR(healthValue(healthByte(-0.5f)), -0.496f, 1e-6f);
    EXPECT_EQ(healthByte(3.0f), 125);
    EXPECT_EQ(healthByte(std::numeric_limits<float>::quiet_NaN()), 0);
    // Readers refuse a time that is not a number first; one that slipped through counts as the lowest.
    EXPECT_EQ(respawnSeconds(std::numeric_limits<float>::quiet_NaN()), -1.0f);
    EXPECT_EQ(peerSeconds(-std::numeric_limits<float>::quiet_NaN(), -1.0f, kMaxCountdown), -1.0f);
    EXPECT_EQ(quatWord(1.0f), 32000);
    EXPECT_EQ(quatWord(-2.0f), -32000);
    HealthMsg h;
    h.health = 1.0f;
    Bytes b = encoded([&](auto o) { return h.encode(o); });
    EXPECT_EQ(b, (Bytes{5, 125}));
}

TEST(MatchMessages, AChatOfSixHundredNineCharactersIsSentButNotRelayed)
{
    ChatMsg chat;
    chat.text.assign(609, u'a');
    chat.senderId = 4;
    EXPECT_EQ(encoded([&](auto o) { return chat.encodeClient(o); }).size(), 1221u);
    EXPECT_TRUE(encoded([&](auto o) { return chat.encodeRelayed(o); }).empty());  // 1225 bytes
    chat.text.assign(607, u'b');
    Bytes relayed = encoded([&](auto o) { return chat.encodeRelayed(o); });
    ASSERT_EQ(relayed.size(), 1221u);
    ChatMsg back;
    ASSERT_TRUE(back.decodeRelayed(relayed));
    EXPECT_EQ(back.senderId, 4u);
    EXPECT_EQ(back.text.size(), 607u);
    // An unterminated, odd-length text ends at the message end.
    const Bytes raw{7, 'h', 0, 'i', 0, 'x'};
    ASSERT_TRUE(back.decodeClient(raw));
    EXPECT_EQ(back.text, u"hi");
}

TEST(MatchMessages, ShortLongMistaggedAndNonNumericMessagesAreRefused)
{
    RespawnMsg r;
    Bytes b = encoded([&](auto o) { return r.encode(o); });
    Bytes shorter(b.begin(), b.end() - 1), longer = b;
    longer.push_back(0);
    EXPECT_FALSE(r.decode(shorter));
    EXPECT_FALSE(r.decode(longer));
    Bytes nan = b;
    putNaN(nan, 13);
    EXPECT_FALSE(r.decode(nan));
    Bytes tag = b;
    tag[7] ^= 1;
    EXPECT_FALSE(r.decode(tag));

    JoinCompleteMsg join;
    b = encoded([&](auto o) { return join.encode(o); });
    putNaN(b, 47);
    EXPECT_FALSE(join.decode(b));
    EXPECT_FALSE(join.decode(Bytes(134, 2)));

    TeamSwitchMsg sw;
    sw.team = 1;
    b = encoded([&](auto o) { return sw.encode(o); });
    EXPECT_TRUE(sw.decode(b));
    b[7] = 2;  // no such team
    EXPECT_FALSE(sw.decode(b));

    FlagEventMsg flag;
    b = encoded([&](auto o) { return flag.encode(o); });
    b[1] = 4;
    EXPECT_FALSE(flag.decode(b));
    FlightStateMsg fs;
    b = encoded([&](auto o) { return fs.encode(o); });
    b[3] = 12;
    EXPECT_FALSE(fs.decode(b));
    WeatherMsg weather;
    EXPECT_FALSE(weather.decode(Bytes{12, 9}));

    RelayMsg relay;
    relay.payload = {1, 2, 3};
    b = encoded([&](auto o) { return relay.encode(o); });
    EXPECT_TRUE(relay.decode(b));
    b[4] = 4;  // claims more than came
    EXPECT_FALSE(relay.decode(b));

    ScoreEventMsg score;
    b = encoded([&](auto o) { return score.encode(o); });  // kind 0, 44 bytes
    b.resize(12);
    EXPECT_FALSE(score.decode(b));
    MatchEndMsg end;
    EXPECT_FALSE(end.decode(Bytes{66, 0x81, 0x81, 0x81, 0x81, 0, 0, 0}));
    ServerDataMsg data;
    EXPECT_FALSE(data.decode(Bytes{65, 0x41, 0x41, 0x41, 0x41}));
    EXPECT_TRUE(encoded([&](auto o) { return data.encode(o); }).empty());  // n = 0: nothing sent

    int owner = 0;
    bool quiet = false;
    std::vector<std::uint8_t> record;
    Bytes rec(30, 0);
    RecordMsg::frame(rec, EntityRecord, true, 4);
    ASSERT_TRUE(RecordMsg::decode(rec, EntityRecord, owner, quiet, record));
    EXPECT_EQ(owner, 4);
    EXPECT_TRUE(quiet);
    EXPECT_EQ(record[3], 0);
    EXPECT_FALSE(RecordMsg::decode(rec, PlayerInfo, owner, quiet, record));  // type 54 is not 0
    EXPECT_FALSE(RecordMsg::decode(Bytes(rec.begin(), rec.begin() + 29), EntityRecord, owner, quiet, record));
}

TEST(MatchRoster, ServerInfoFieldsSitAtTheirOffsets)
{
    ServerInfo info;
    info.clear();
    info.setName(u"A name that is much longer than thirty-one units");
    EXPECT_EQ(info.name().size(), 31u);
    EXPECT_EQ(info.bytes[62], 0);
    EXPECT_EQ(info.bytes[ServerInfo::PlayerCount], 1);
    EXPECT_EQ(info.u32(94), 456u);
    EXPECT_EQ(info.u32(102), 789456u);
    EXPECT_EQ(info.u32(98), 0u);
    EXPECT_EQ(static_cast<std::size_t>(ServerInfo::TeamFlag), 85u);
    EXPECT_EQ(static_cast<std::size_t>(ServerInfo::OptionFlags), 86u);
}

TEST(MatchRoster, PlayersAreFoundByIdAndTheRegistryHoldsTwoHundred)
{
    NetworkPlayer::deleteAll();
    auto* host = new NetworkPlayer(0);
    auto* odd = new NetworkPlayer(255);
    EXPECT_EQ(NetworkPlayer::findById(0), host);
    EXPECT_EQ(NetworkPlayer::findById(255), nullptr);  // even though a record holds 255
    EXPECT_EQ(NetworkPlayer::findById(3), nullptr);
    delete odd;
    std::vector<NetworkPlayer*> made;
    for (int i = 1; i < 200; ++i)
        made.push_back(new NetworkPlayer(static_cast<std::uint8_t>(i % 200)));
    EXPECT_EQ(NetworkPlayer::count(), 200u);
    auto* extra = new NetworkPlayer(7);
    EXPECT_FALSE(extra->isRegistered());
    EXPECT_EQ(extra->managedIndex(), 200u);
    EXPECT_NE(NetworkPlayer::findById(7), extra);
    delete extra;
    EXPECT_EQ(NetworkPlayer::count(), 200u);
    NetworkPlayer::deleteAll();
    EXPECT_EQ(NetworkPlayer::count(), 0u);
}
