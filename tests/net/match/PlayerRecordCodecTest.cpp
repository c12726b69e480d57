#include "net/match/PlayerRecordCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {
PlayerRecordLimits worldOf(int items)
{
    PlayerRecordLimits limits;
    limits.itemCount = items;
    limits.objectCount = items;
    limits.isKnownWeapon = [](int id) { return id == 3 || id == 40; };
    return limits;
}

PlayerRecord pilot()
{
    PlayerRecord r;
    r.state = PlayerRecord::State::Waiting;
    r.team = 1;
    r.role = 0;
    r.kind = 0;
    r.entityId = 201;
    r.playerValues = {7, -8, 9, 10};
    r.stats = {12, 0, 35, 4, 1, 2, 3, 5, 0};
    r.spawnCounter = 6;
    r.hasStateBlock = true;
    r.stateBlock.position = {10.0f, 20.0f, 30.0f};
    r.planeId = 14;
    r.paint = PlanePaint{180.0f, -0.5f, 0.25f, 90.0f, 1.5f, -2.0f};
    r.weaponIds = {3, -1, 40};
    r.name = std::u16string(31, u'x');
    return r;
}

std::vector<std::uint8_t> encoded(const PlayerRecord& r)
{
    std::vector<std::uint8_t> out(PlayerRecord::kAirplaneSize + 10);
    out.resize(static_cast<std::size_t>(encodePlayerRecord(r, out)));
    return out;
}

int word(const std::vector<std::uint8_t>& b, int at) { return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8)); }

TEST(PlayerRecordCodec, AnAirplaneRoundTripsIn198Bytes)
{
    const std::vector<std::uint8_t> bytes = encoded(pilot());
    ASSERT_EQ(bytes.size(), 198u);
    EXPECT_EQ(bytes[4], 2);     // a local airplane is sent as role 2
    EXPECT_EQ(bytes[74], 3);    // the state block's type byte
    EXPECT_EQ(word(bytes, 75), 201);
    EXPECT_EQ(word(bytes, 110), 16000);   // hue 180 / 360 x 32000
    EXPECT_EQ(word(bytes, 112), -16000);  // -0.5 x 32000
    EXPECT_EQ(word(bytes, 118), 32000);   // 1.5 clamped to 1
    EXPECT_EQ(word(bytes, 120), -32000);
    EXPECT_EQ(bytes[130], 0xFF);          // the empty middle slot
    EXPECT_EQ(bytes[131], 0xFF);

    PlayerRecord back;
    ASSERT_TRUE(decodePlayerRecord(bytes, worldOf(100), back));
    EXPECT_EQ(back.state, PlayerRecord::State::Waiting);
    EXPECT_EQ(back.team, 1);
    EXPECT_EQ(back.role, 2);
    EXPECT_EQ(back.entityId, 201);
    EXPECT_EQ(back.playerValues[1], -8);
    EXPECT_EQ(back.stats[2], 35);
    EXPECT_EQ(back.spawnCounter, 6);
    EXPECT_EQ(back.planeId, 14);
    EXPECT_NEAR(back.paint.hue0, 180.0f, 0.02f);
    EXPECT_NEAR(back.paint.saturation0, -0.5f, 1e-4f);
    EXPECT_NEAR(back.paint.value1, -1.0f, 1e-4f);
    EXPECT_EQ(back.weaponIds, (std::array<int, 3>{3, -1, 40}));
    EXPECT_EQ(back.name, std::u16string(31, u'x'));
}

TEST(PlayerRecordCodec, AMapEntityRoundTripsIn30Bytes)
{
    PlayerRecord r;
    r.kind = 9;  // a ship
    r.team = 0;
    r.role = 1;
    r.entityId = 17;
    r.mapItem = 1999;
    const std::vector<std::uint8_t> bytes = encoded(r);
    ASSERT_EQ(bytes.size(), 30u);
    PlayerRecord back;
    ASSERT_TRUE(decodePlayerRecord(bytes, worldOf(2048), back));
    EXPECT_EQ(back.kind, 9);
    EXPECT_EQ(back.mapItem, 1999);
    EXPECT_EQ(back.role, 1);

    // A unit is named by its map object, a runway by its map item.
    PlayerRecordLimits fewItems = worldOf(10);
    fewItems.objectCount = 2048;
    EXPECT_TRUE(decodePlayerRecord(bytes, fewItems, back));
    r.kind = 17;
    EXPECT_FALSE(decodePlayerRecord(encoded(r), fewItems, back));

    // Every unit kind, the carrier and the submarine of the sea maps among
    // them, is checked against the objects whatever the item count.
    PlayerRecordLimits fewObjects = worldOf(2048);
    fewObjects.objectCount = 10;
    for (int kind = 1; kind <= 11; ++kind) {
        if (kind == 6)
            continue;  // a base comes in a record of its own
        r.kind = kind;
        r.mapItem = 1999;
        EXPECT_TRUE(decodePlayerRecord(encoded(r), fewItems, back)) << "kind " << kind;
        EXPECT_FALSE(decodePlayerRecord(encoded(r), fewObjects, back)) << "kind " << kind;
        r.mapItem = 9;
        EXPECT_TRUE(decodePlayerRecord(encoded(r), fewObjects, back)) << "kind " << kind;
    }
}

TEST(PlayerRecordCodec, LongNamesAreCutToThirtyOneUnits)
{
    PlayerRecord r = pilot();
    r.name = std::u16string(40, u'n');
    PlayerRecord back;
    ASSERT_TRUE(decodePlayerRecord(encoded(r), worldOf(0), back));
    EXPECT_EQ(back.name.size(), 31u);
}

TEST(PlayerRecordCodec, MalformedRecordsAreRejected)
{
    const std::vector<std::uint8_t> good = encoded(pilot());
    PlayerRecord out;
    // Short: any airplane record cut before its end, and less than an entity record.
    for (std::size_t n = 0; n < good.size(); ++n) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(decodePlayerRecord(cut, worldOf(100), out)) << n;
    }
    auto with = [&](int at, std::initializer_list<std::uint8_t> bytes) {
        std::vector<std::uint8_t> b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + at);
        return b;
    };
    EXPECT_FALSE(decodePlayerRecord(with(6, {0x2C, 0x01}), worldOf(100), out));   // id 300
    EXPECT_FALSE(decodePlayerRecord(with(6, {0xFF, 0xFF}), worldOf(100), out));   // id -1
    EXPECT_FALSE(decodePlayerRecord(with(8, {0x88, 0x13}), worldOf(2048), out));  // item 5000
    EXPECT_FALSE(decodePlayerRecord(with(4, {7}), worldOf(100), out));            // no such role
    EXPECT_FALSE(decodePlayerRecord(with(128, {5, 0}), worldOf(100), out));       // unknown weapon 5
    std::vector<std::uint8_t> unterminated = good;
    for (int i = PlayerRecord::kNameOffset; i < PlayerRecord::kAirplaneSize; ++i)
        unterminated[static_cast<std::size_t>(i)] = 'a';
    EXPECT_FALSE(decodePlayerRecord(unterminated, worldOf(100), out));

    // A map unit must name an item of this world.
    PlayerRecord unit;
    unit.kind = 3;
    unit.mapItem = 12;
    EXPECT_FALSE(decodePlayerRecord(encoded(unit), worldOf(12), out));
    unit.mapItem = -1;
    EXPECT_FALSE(decodePlayerRecord(encoded(unit), worldOf(12), out));
}

TEST(PlayerRecordCodec, TooSmallABufferWritesNothing)
{
    std::vector<std::uint8_t> out(197, 0x5A);
    EXPECT_EQ(encodePlayerRecord(pilot(), out), 0);
    EXPECT_EQ(out[0], 0x5A);
}
}  // namespace

namespace {
JoinRequest joiner()
{
    JoinRequest j;
    j.planeValue = 0.75f;
    j.rank = 9;
    j.name = u"Marek";
    j.planeId = 4;
    j.paint = PlanePaint{90.0f, 0.5f, 0.5f, 270.0f, -0.5f, 0.0f};
    j.loadout = {40, -1};
    j.settingsValue = 3;
    j.playerWords = {1, 2, 3, 4};
    return j;
}

std::vector<std::uint8_t> encodedJoin(const JoinRequest& j)
{
    std::vector<std::uint8_t> out(JoinRequest::kSize);
    EXPECT_EQ(encodeJoinRequest(j, out), JoinRequest::kSize);
    return out;
}

TEST(JoinRequestCodec, ARequestRoundTripsIn115Bytes)
{
    const std::vector<std::uint8_t> bytes = encodedJoin(joiner());
    EXPECT_EQ(bytes[1], 0x91);  // the tag, low byte first
    EXPECT_EQ(word(bytes, 75), 8000);  // hue 90 / 360 x 32000
    JoinRequest back;
    ASSERT_TRUE(decodeJoinRequest(bytes, worldOf(0), back));
    EXPECT_FLOAT_EQ(back.planeValue, 0.75f);
    EXPECT_EQ(back.rank, 9);
    EXPECT_EQ(back.name, u"Marek");
    EXPECT_EQ(back.planeId, 4);
    EXPECT_NEAR(back.paint.hue1, 270.0f, 0.02f);
    EXPECT_EQ(back.loadout, (std::array<int, 2>{40, -1}));
    EXPECT_EQ(back.settingsValue, 3);
    EXPECT_EQ(back.playerWords[3], 4);
}

TEST(JoinRequestCodec, MalformedRequestsAreRejected)
{
    const std::vector<std::uint8_t> good = encodedJoin(joiner());
    JoinRequest out;
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(decodeJoinRequest(std::span(good.data(), n), worldOf(0), out)) << n;
    auto with = [&](int at, std::initializer_list<std::uint8_t> bytes) {
        std::vector<std::uint8_t> b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + at);
        return b;
    };
    EXPECT_FALSE(decodeJoinRequest(with(1, {0x92}), worldOf(0), out));                  // wrong tag
    EXPECT_FALSE(decodeJoinRequest(with(5, {0, 0, 0xC0, 0x7F}), worldOf(0), out));      // NaN value
    ASSERT_TRUE(decodeJoinRequest(with(9, {200}), worldOf(0), out));                    // no such rank: the highest
    EXPECT_EQ(out.rank, 17);
    ASSERT_TRUE(decodeJoinRequest(with(93, {5, 0}), worldOf(0), out));                  // unknown weapon: the plane's own
    EXPECT_EQ(out.loadout[0], -1);
    std::vector<std::uint8_t> unterminated = good;
    for (int i = 10; i < 74; ++i)
        unterminated[static_cast<std::size_t>(i)] = 'a';
    ASSERT_TRUE(decodeJoinRequest(unterminated, worldOf(0), out));                       // cut at 31 units
    EXPECT_EQ(out.name.size(), 31u);
}
}  // namespace
