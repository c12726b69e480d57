#include "net/match/NetMessage.h"
#include "net/transport/LanTransport.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <limits>
#include <string>
#include <vector>

using namespace netmsg;

namespace {
using Bytes = std::vector<std::uint8_t>;

template <typename Msg>
Bytes bytesOf(const Msg& msg)
{
    Bytes out(kMaxMessage + 8);
    out.resize(static_cast<std::size_t>(std::max(msg.encode(out), 0)));
    return out;
}

void putNaN(Bytes& b, std::size_t at)
{
    const auto bits = std::bit_cast<std::uint32_t>(std::numeric_limits<float>::quiet_NaN());
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// Collects the warnings while it lives.
struct LogLines {
    std::vector<std::string> lines;
    LogLines()
    {
        setLogCapture([this](LogLevel, const std::string& tag, const std::string& m) { lines.push_back(tag + ": " + m); });
    }
    ~LogLines() { setLogCapture({}); }
};
}  // namespace

// The longest message a maker accepts is one the transport queues: the two
// limits are one, so nothing made can be dropped on the way out unseen.
TEST(MatchMessageLimits, TheLongestMessageMadeIsOneTheTransportCarries)
{
    LanTransport transport;
    ChatMsg chat;
    chat.text.assign((kMaxMessage - 3) / 2, u'a');  // 1 + 2n + 2 bytes
    const Bytes longest = [&] {
        Bytes out(kMaxMessage + 8);
        out.resize(static_cast<std::size_t>(chat.encodeClient(out)));
        return out;
    }();
    ASSERT_EQ(longest.size(), kMaxMessage);
    EXPECT_EQ(transport.queueReliable(longest.data(), longest.size(), 0), 0);
    EXPECT_EQ(transport.sendUnreliable(longest.data(), longest.size(), 0), 0);

    ServerDataMsg data;
    data.data.assign(kMaxMessage - 5, 1);
    const Bytes full = bytesOf(data);
    ASSERT_EQ(full.size(), kMaxMessage);
    EXPECT_EQ(transport.queueReliable(full.data(), full.size(), 0), 0);
}

TEST(MatchMessageLimits, AMessageOneByteTooLongIsRefusedAndLoggedWhereItIsMade)
{
    LogLines log;
    std::array<std::uint8_t, kMaxMessage + 64> out{};

    ChatMsg chat;
    chat.text.assign((kMaxMessage - 3) / 2 + 1, u'a');
    EXPECT_EQ(chat.encodeClient(out), 0);
    chat.text.assign((kMaxMessage - 7) / 2 + 1, u'a');  // the host's form is four bytes longer
    EXPECT_EQ(chat.encodeRelayed(out), 0);

    ServerDataMsg data;
    data.data.assign(kMaxMessage - 4, 1);
    EXPECT_EQ(data.encode(out), 0);
    MatchEndMsg end;
    end.data.assign(kMaxMessage - 8, 1);
    EXPECT_EQ(end.encode(out), 0);
    RelayMsg relay;
    relay.payload.assign(kMaxMessage - RelayMsg::kHead + 1, 1);
    EXPECT_EQ(relay.encode(out), 0);
    EXPECT_FALSE(AirplaneStateMsg::frame(std::span<std::uint8_t>(out.data(), kMaxMessage + 1), 3));

    ASSERT_EQ(log.lines.size(), 6u);
    for (const std::string& line : log.lines)
        EXPECT_NE(line.find("net: a match message of"), std::string::npos) << line;
    // The server data one byte over the limit: the count says by how much.
    EXPECT_NE(log.lines[2].find(std::to_string(kMaxMessage + 1) + " bytes"), std::string::npos) << log.lines[2];

    // One byte shorter goes out, and says nothing.
    end.data.assign(kMaxMessage - 9, 1);
    EXPECT_EQ(end.encode(out), static_cast<int>(kMaxMessage));
    EXPECT_TRUE(AirplaneStateMsg::frame(std::span<std::uint8_t>(out.data(), kMaxMessage), 3));
    EXPECT_EQ(log.lines.size(), 6u);
}

// Each decoder that reads fields before its last check is fed a message
// refused at that last check; the object must keep every value it had.
TEST(MatchMessageLimits, ARefusedMessageLeavesTheMessageObjectAsItWas)
{
    JoinCompleteMsg join;
    join.mapIndex = 3;
    join.gameType = 4;
    join.weatherMode = 2;
    join.team1Total = 7;
    join.team2Total = 9;
    join.playerId = 5;
    join.airplaneId = 300;
    join.gameName = u"Kept";
    join.matchValue = 0.5f;
    join.sunValue = 0.7f;
    Bytes b = bytesOf(join);
    b[1] = 9;
    b[39] = 1;
    b[55] = 'X';
    putNaN(b, 47);  // the last float read
    JoinCompleteMsg kept = join;
    kept.matchValue = 42.0f;
    kept.sunValue = 43.0f;
    kept.pointsFactor = 44.0f;
    EXPECT_FALSE(kept.decode(b));
    EXPECT_EQ(kept.mapIndex, 3);
    EXPECT_EQ(kept.playerId, 5);
    EXPECT_EQ(kept.gameName, u"Kept");
    EXPECT_EQ(kept.matchValue, 42.0f);
    EXPECT_EQ(kept.sunValue, 43.0f);
    EXPECT_EQ(kept.pointsFactor, 44.0f);

    AirplaneDestroyedMsg destroyed;
    destroyed.victimId = 4;
    destroyed.respawnTime = 2.5f;
    destroyed.position = {1.0f, 2.0f, 3.0f};
    b = bytesOf(destroyed);
    b[7] = 9;
    putNaN(b, 23);  // position z
    AirplaneDestroyedMsg d2 = destroyed;
    d2.respawnTime = 8.0f;
    EXPECT_FALSE(d2.decode(b));
    EXPECT_EQ(d2.respawnTime, 8.0f);
    EXPECT_EQ(d2.position.x, 1.0f);
    EXPECT_EQ(d2.position.y, 2.0f);
    EXPECT_EQ(d2.victimId, 4);

    TeamSwitchMsg sw;
    sw.airplaneId = 6;
    sw.team = 1;
    sw.value = 3.0f;
    b = bytesOf(sw);
    b[7] = 2;  // no such team
    TeamSwitchMsg sw2;
    sw2.team = 0;
    EXPECT_FALSE(sw2.decode(b));
    EXPECT_EQ(sw2.team, 0);
    b[7] = 1;
    b[5] = 8;
    putNaN(b, 20);  // position z
    EXPECT_FALSE(sw2.decode(b));
    EXPECT_EQ(sw2.value, 0.0f);
    EXPECT_EQ(sw2.airplaneId, -1);

    RespawnMsg respawn;
    respawn.airplaneId = 3;
    respawn.value = 1.0f;
    b = bytesOf(respawn);
    b[11] = 9;
    putNaN(b, 25);
    RespawnMsg r2;
    EXPECT_FALSE(r2.decode(b));
    EXPECT_EQ(r2.value, 0.0f);
    EXPECT_EQ(r2.airplaneId, -1);

    ModeValueMsg value;
    value.index = 12;
    value.value = 4.0f;
    b = bytesOf(value);
    putNaN(b, 7);
    ModeValueMsg v2;
    v2.index = 2;
    v2.value = 5.0f;
    EXPECT_FALSE(v2.decode(b));
    EXPECT_EQ(v2.index, 2);
    EXPECT_EQ(v2.value, 5.0f);

    FlightStateMsg fs;
    fs.airplaneId = 7;
    fs.state = 3;
    b = bytesOf(fs);
    putNaN(b, 4);
    FlightStateMsg f2;
    EXPECT_FALSE(f2.decode(b));
    EXPECT_EQ(f2.airplaneId, -1);
    EXPECT_EQ(f2.state, 0);
}

// The values a decoder lets through are the ones the game can use; one
// past each end is refused.
TEST(MatchMessageLimits, DecodedValuesStayInTheirRanges)
{
    WeatherMsg weather;
    EXPECT_TRUE(weather.decode(Bytes{Weather, 3}));
    EXPECT_EQ(weather.mode, 3);
    EXPECT_FALSE(weather.decode(Bytes{Weather, 4}));
    EXPECT_EQ(weather.mode, 3);

    FlightStateMsg fs;
    fs.state = FlightStateMsg::kMaxState;
    Bytes b = bytesOf(fs);
    EXPECT_TRUE(fs.decode(b));
    b[3] = FlightStateMsg::kMaxState + 1;
    EXPECT_FALSE(fs.decode(b));

    FlagEventMsg flag;
    flag.event = 3;
    b = bytesOf(flag);
    EXPECT_TRUE(flag.decode(b));
    b[1] = 4;
    EXPECT_FALSE(flag.decode(b));

    TeamSwitchMsg sw;
    for (int team : {0, 1, 255}) {
        sw.team = team;
        b = bytesOf(sw);
        TeamSwitchMsg back;
        EXPECT_TRUE(back.decode(b)) << team;
        EXPECT_EQ(back.team, team);
    }
    for (int team : {2, 254}) {
        b[7] = static_cast<std::uint8_t>(team);
        EXPECT_FALSE(sw.decode(b)) << team;
    }

    // The two team totals keep their places, and the game name without a
    // terminator ends at its 31st unit.
    JoinCompleteMsg join;
    join.team1Total = 11;
    join.team2Total = 22;
    join.gameName.assign(40, u'n');
    b = bytesOf(join);
    for (std::size_t i = 55; i < 119; ++i)
        b[i] = (i - 55) % 2 ? 0 : 'z';
    JoinCompleteMsg back;
    ASSERT_TRUE(back.decode(b));
    EXPECT_EQ(back.team1Total, 11u);
    EXPECT_EQ(back.team2Total, 22u);
    EXPECT_EQ(back.gameName, std::u16string(31, u'z'));

    // A record under another tag is no record.
    std::vector<std::uint8_t> record(40, 0);
    RecordMsg::frame(record, PlayerInfo, false, 3);
    int owner = -1;
    bool quiet = true;
    std::vector<std::uint8_t> read;
    EXPECT_TRUE(RecordMsg::decode(record, PlayerInfo, owner, quiet, read));
    record[12] ^= 1;
    owner = -1;
    EXPECT_FALSE(RecordMsg::decode(record, PlayerInfo, owner, quiet, read));
    EXPECT_EQ(owner, -1);

    // Ids travel signed: -1 is none, not 65535.
    PlayerLeftMsg left;
    left.airplaneId = -1;
    PlayerLeftMsg leftBack;
    ASSERT_TRUE(leftBack.decode(bytesOf(left)));
    EXPECT_EQ(leftBack.airplaneId, -1);
}
