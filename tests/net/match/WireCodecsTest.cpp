#include "net/match/AirplaneStateCodec.h"
#include "net/match/NetMessage.h"
#include "net/match/PlayerRecordCodec.h"
#include "net/match/ServerDataCodec.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {
using Bytes = std::vector<std::uint8_t>;
using Codec = std::function<Bytes(const Bytes&)>;  // decode, then encode; empty when refused

PlayerRecordLimits anyWorld()
{
    PlayerRecordLimits limits;
    limits.itemCount = 4096;
    limits.objectCount = 4096;
    return limits;
}

Bytes recordAgain(const Bytes& in)
{
    PlayerRecord r;
    if (!decodePlayerRecord(in, anyWorld(), r))
        return {};
    Bytes out(PlayerRecord::kAirplaneSize);
    out.resize(static_cast<std::size_t>(encodePlayerRecord(r, out)));
    return out;
}

Bytes joinAgain(const Bytes& in)
{
    JoinRequest j;
    if (!decodeJoinRequest(in, anyWorld(), j))
        return {};
    Bytes out(JoinRequest::kSize);
    out.resize(static_cast<std::size_t>(encodeJoinRequest(j, out)));
    return out;
}

Codec serverDataAgain(ServerData::Layout layout)
{
    return [layout](const Bytes& in) {
        ServerData d;
        if (decodeServerData(in, layout, d) != static_cast<int>(in.size()))
            return Bytes{};
        Bytes out(16);
        out.resize(static_cast<std::size_t>(encodeServerData(d, out)));
        return out;
    };
}

Bytes stateAgain(const Bytes& in)
{
    AirplaneNetState s;
    if (!decodeAirplaneState(in, s))
        return {};
    Bytes out(AirplaneNetState::kSize);
    out.resize(static_cast<std::size_t>(encodeAirplaneState(s, out)));
    return out;
}

template <typename T>
Bytes encoded(const T& value, int (*encode)(const T&, std::span<std::uint8_t>), std::size_t room)
{
    Bytes out(room);
    out.resize(static_cast<std::size_t>(encode(value, out)));
    return out;
}

Bytes f32(float v)
{
    const auto raw = std::bit_cast<std::uint32_t>(v);
    return {static_cast<std::uint8_t>(raw), static_cast<std::uint8_t>(raw >> 8), static_cast<std::uint8_t>(raw >> 16),
            static_cast<std::uint8_t>(raw >> 24)};
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

PlayerRecord pilot()
{
    PlayerRecord r;
    r.state = PlayerRecord::State::Waiting;
    r.team = 1;
    r.role = 1;
    r.entityId = 77;
    r.playerValues = {1, -2, 3, -4};
    r.stats = {5, 6, 7, 8, 9, 10, 11, 12, 13};
    r.spawnCounter = 3;
    r.hasStateBlock = true;
    r.stateBlock.position = {100.0f, 2000.0f, -300.0f};
    r.stateBlock.speed = 150.0f;
    r.stateBlock.flightState = 4;
    r.stateBlock.flags = AirplaneNetState::kBoost;
    r.planeId = 9;
    r.paint = PlanePaint{90.0f, 0.5f, -0.25f, 180.0f, 1.0f, 0.0f};
    r.weaponIds = {12, -1, 40};
    r.name = u"Osprey";
    return r;
}

struct Case {
    std::string name;
    Bytes bytes;
    Codec again;
};

// Every codec gives back the bytes it was given, for messages as the game
// writes them and for hand-made ones: a field read from one place and
// written to another, or a byte the decoder drops, shows here.
TEST(WireCodecs, DecodeThenEncodeGivesTheSameBytes)
{
    PlayerRecord ship;
    ship.kind = 9;
    ship.role = 2;
    ship.entityId = 12;
    ship.mapItem = 1999;
    PlayerRecord flag;
    flag.kind = 19;
    flag.entityId = 300;  // flags keep their own u16 id
    flag.mapItem = 1;
    flag.state = PlayerRecord::State::OutForGood;
    flag.extra = PlayerRecord::Extra::FlagPosition;
    flag.flagPosition = {-5.5f, 60.0f, 1.0e5f};
    PlayerRecord base;
    base.kind = 6;
    base.entityId = 4;
    base.mapItem = 2;
    base.extra = PlayerRecord::Extra::BaseHealth;
    base.baseHealth = -0.496f;
    JoinRequest join;
    join.planeValue = 2.5f;
    join.rank = 17;
    join.name = std::u16string(31, u'j');
    join.planeId = 3;
    join.loadout = {40, 12};
    join.settingsValue = 0xBEEF;
    join.playerWords = {-1, 0, 1, 0x7FFFFFFF};
    AirplaneNetState state;
    state.position = {1.0f, 2.0f, 3.0f};
    state.speed = 99.0f;
    state.health = 0.6f;
    state.throttle = -1.0f;
    state.inputs = {0.0f, -1.0f, 1.0f};
    state.flightState = 11;
    state.flags = 0x3F;

    const std::vector<Case> cases = {
        {"airplane record", encoded(pilot(), &encodePlayerRecord, 256), recordAgain},
        {"map entity record", encoded(ship, &encodePlayerRecord, 256), recordAgain},
        {"flag record", encoded(flag, &encodePlayerRecord, 256), recordAgain},
        {"base record", encoded(base, &encodePlayerRecord, 256), recordAgain},
        {"join request", encoded(join, &encodeJoinRequest, 256), joinAgain},
        {"state block", encoded(state, &encodeAirplaneState, 64), stateAgain},
        {"match time", f32(61.25f), serverDataAgain(ServerData::Layout::Time)},
        {"flags", f32(3.0f) + Bytes{7, 0, 0xFF, 0xFF, 2}, serverDataAgain(ServerData::Layout::Flags)},
        {"rounds", f32(10.0f) + f32(-2.0f), serverDataAgain(ServerData::Layout::Rounds)},
        {"last stand", f32(10.0f) + f32(4.0f) + Bytes{1} + f32(7.5f), serverDataAgain(ServerData::Layout::LastStand)},
        {"waves", f32(0.0f) + f32(30.0f) + Bytes{0xFE, 0xFF}, serverDataAgain(ServerData::Layout::Waves)},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.bytes.empty()) << c.name;
        EXPECT_EQ(c.again(c.bytes), c.bytes) << c.name;
    }
}

// Each layout has its length; one byte less is refused and leaves what it
// would have filled as it was, and the fields sit where the clients read them.
TEST(WireCodecs, ServerDataHasItsLayoutsLengthsAndOffsets)
{
    const std::pair<ServerData::Layout, int> sizes[] = {
        {ServerData::Layout::Time, 4},   {ServerData::Layout::Flags, 9}, {ServerData::Layout::Rounds, 8},
        {ServerData::Layout::LastStand, 13}, {ServerData::Layout::Waves, 10}, {ServerData::Layout::None, 0}};
    for (const auto& [layout, size] : sizes) {
        EXPECT_EQ(serverDataSize(layout), size);
        const Bytes full(static_cast<std::size_t>(size) + 2, 0);
        ServerData out;
        out.wave = 99;
        EXPECT_EQ(decodeServerData(std::span(full).first(static_cast<std::size_t>(std::max(size - 1, 0))), layout, out),
                  0);
        EXPECT_EQ(out.wave, 99);
        // Bytes past the layout belong to the next field (the match end's count-down).
        EXPECT_EQ(decodeServerData(full, layout, out), size);
    }

    ServerData flags;
    flags.layout = ServerData::Layout::Flags;
    flags.elapsed = 1.0f;
    flags.carriers = {ServerData::kNoCarrier, 250};
    flags.flagsHome = 1;
    Bytes bytes(9);
    ASSERT_EQ(encodeServerData(flags, bytes), 9);
    EXPECT_EQ(bytes, (f32(1.0f) + Bytes{0xFF, 0xFF, 250, 0, 1}));

    // A time that is not a number: the match time's clients skip it (-1),
    // the kinds read it as 0.
    const Bytes nan = f32(std::numeric_limits<float>::quiet_NaN()) + f32(std::numeric_limits<float>::infinity());
    ServerData time, rounds;
    ASSERT_EQ(decodeServerData(nan, ServerData::Layout::Time, time), 4);
    EXPECT_EQ(time.elapsed, -1.0f);
    ASSERT_EQ(decodeServerData(nan, ServerData::Layout::Rounds, rounds), 8);
    EXPECT_EQ(rounds.elapsed, 0.0f);
    EXPECT_EQ(rounds.timer, 0.0f);
    const ServerData none;
    EXPECT_EQ(encodeServerData(none, bytes), 0);  // None sends nothing
}

// A flag's record needs its 42 bytes and a base's its 31 (35 with its whole
// health, which a sender that stops at 31 leaves to the byte); the role byte
// is never 0 on the wire, so a record carrying it is refused, not made local.
TEST(WireCodecs, RecordsShortForTheirKindOrWithRoleZeroAreRefused)
{
    PlayerRecord flag;
    flag.kind = 19;
    flag.extra = PlayerRecord::Extra::FlagPosition;
    PlayerRecord base;
    base.kind = 6;
    base.extra = PlayerRecord::Extra::BaseHealth;
    const Bytes flagBytes = encoded(flag, &encodePlayerRecord, 64), baseBytes = encoded(base, &encodePlayerRecord, 64);
    ASSERT_EQ(flagBytes.size(), 42u);
    ASSERT_EQ(baseBytes.size(), 35u);
    PlayerRecord out;
    EXPECT_TRUE(decodePlayerRecord(flagBytes, anyWorld(), out));
    EXPECT_FALSE(decodePlayerRecord(std::span(flagBytes).first(41), anyWorld(), out));
    EXPECT_TRUE(decodePlayerRecord(baseBytes, anyWorld(), out));
    EXPECT_FALSE(decodePlayerRecord(std::span(baseBytes).first(30), anyWorld(), out));

    base.baseHealth = 3.25f;
    Bytes whole = encoded(base, &encodePlayerRecord, 64);
    ASSERT_TRUE(decodePlayerRecord(whole, anyWorld(), out));
    EXPECT_FLOAT_EQ(out.baseHealth, 3.25f);
    EXPECT_EQ(whole[30], 125);  // what a reader of the byte alone sees: full
    ASSERT_TRUE(decodePlayerRecord(std::span(whole).first(31), anyWorld(), out));
    EXPECT_FLOAT_EQ(out.baseHealth, 1.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(whole.data() + 31, &nan, 4);
    ASSERT_TRUE(decodePlayerRecord(whole, anyWorld(), out));
    EXPECT_FLOAT_EQ(out.baseHealth, 1.0f);

    for (Bytes bytes : {encoded(pilot(), &encodePlayerRecord, 256), flagBytes, baseBytes}) {
        bytes[4] = 0;
        PlayerRecord kept;
        kept.team = 7;
        EXPECT_FALSE(decodePlayerRecord(bytes, anyWorld(), kept));
        EXPECT_EQ(kept.team, 7);  // a refused record leaves the target as it was
    }
}

// A refused match message leaves the message object as it was.
TEST(WireCodecs, RefusedMessagesLeaveTheirFieldsAlone)
{
    netmsg::JoinCompleteMsg join;
    join.mapIndex = 5;
    Bytes bytes(netmsg::JoinCompleteMsg::kSize);
    ASSERT_EQ(join.encode(bytes), static_cast<int>(bytes.size()));
    const Bytes nan = f32(std::numeric_limits<float>::quiet_NaN());
    std::copy(nan.begin(), nan.end(), bytes.begin() + 47);  // the points factor
    bytes[1] = 9;
    netmsg::JoinCompleteMsg got;
    got.mapIndex = 2;
    got.matchValue = 8.0f;
    EXPECT_FALSE(got.decode(bytes));
    EXPECT_EQ(got.mapIndex, 2);
    EXPECT_EQ(got.matchValue, 8.0f);

    netmsg::FlightStateMsg fs;
    fs.airplaneId = 3;
    Bytes flight{73, 9, 0, 2};
    flight = flight + nan;
    EXPECT_FALSE(fs.decode(flight));
    EXPECT_EQ(fs.airplaneId, 3);
}
}  // namespace
