#include "net/match/AirplaneStateCodec.h"

#include "entities/TestPlanes.h"
#include "entities/aircraft/Airplane.h"
#include "support/entities/SimHost.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace {
struct StateBlock : testing::Test {
    PlaneCfg cfg = testFighter();
    SimHost host;
    std::unique_ptr<Airplane> sender = Target::create<Airplane>(host, cfg, 0, std::u16string());
    std::unique_ptr<Airplane> receiver = Target::create<Airplane>(host, cfg, 1, std::u16string());
    std::array<std::uint8_t, 64> buffer{};

    void SetUp() override
    {
        sender->setPositionAndStop({1234.5f, 2100.25f, -987.0f});
        sender->setOrientation(quatFromEuler(0.7f, 0.2f, -0.4f));
        sender->setSpeed(187.5f);
        sender->setHealth(0.64f);
        sender->setThrottleSetting(-0.5f);
        sender->setControlVector({0.5f, -0.25f, 1.0f});
        sender->setFlightState(FlightState::Avionics, 5.0f);
    }
    // The block as the match sends it, and read back as a received one is.
    static int writeState(const Airplane& a, std::span<std::uint8_t> out)
    {
        AirplaneNetState s;
        return a.netState(s) ? encodeAirplaneState(s, out) : 0;
    }
    static bool readState(Airplane& a, std::span<const std::uint8_t> in)
    {
        AirplaneNetState s;
        return decodeAirplaneState(in, s) && a.applyNetState(s);
    }
    void putF32(int offset, float v)
    {
        const auto raw = std::bit_cast<std::uint32_t>(v);
        std::memcpy(&buffer[static_cast<std::size_t>(offset)], &raw, 4);
    }
};

TEST_F(StateBlock, FitsThePlayerRecordAndRoundTrips)
{
    const int length = writeState(*sender, buffer);
    EXPECT_GT(length, 3);
    EXPECT_LE(length, 35);
    ASSERT_TRUE(readState(*receiver, std::span<const std::uint8_t>(buffer.data(), std::size_t(length))));
    EXPECT_FLOAT_EQ(receiver->position().x, 1234.5f);
    EXPECT_FLOAT_EQ(receiver->position().y, 2100.25f);
    EXPECT_FLOAT_EQ(receiver->speed(), 187.5f);
    EXPECT_NEAR(receiver->health(), 0.64f, 0.01f);
    EXPECT_NEAR(receiver->throttleSetting(), -0.5f, 0.01f);
    EXPECT_NEAR(receiver->controlVector().y, -0.25f, 0.01f);
    EXPECT_EQ(receiver->flightState(), FlightState::Avionics);
    EXPECT_TRUE(receiver->ejectFlag());
    const Quat a = sender->orientation(), b = receiver->orientation();
    EXPECT_NEAR(std::fabs(a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w), 1.0f, 1e-4f);
}

TEST_F(StateBlock, ShortNanAndInfiniteBlocksChangeNothing)
{
    const int length = writeState(*sender, buffer);
    const Vec3 before = receiver->position();
    for (int cut = 0; cut < length; ++cut)
        EXPECT_FALSE(readState(*receiver, std::span<const std::uint8_t>(buffer.data(), std::size_t(cut)))) << cut;
    for (int offset : {3, 7, 11, 23}) {
        writeState(*sender, buffer);
        putF32(offset, NAN);
        EXPECT_FALSE(readState(*receiver, buffer)) << offset;
        putF32(offset, INFINITY);
        EXPECT_FALSE(readState(*receiver, buffer)) << offset;
    }
    writeState(*sender, buffer);
    std::memset(&buffer[15], 0, 8);  // a zero quaternion
    EXPECT_FALSE(readState(*receiver, buffer));
    EXPECT_FLOAT_EQ(receiver->position().x, before.x);
    EXPECT_FLOAT_EQ(receiver->speed(), 300.0f);
    EXPECT_EQ(writeState(*sender, std::span<std::uint8_t>(buffer.data(), 10)), 0);
}

TEST_F(StateBlock, OutOfRangeValuesAreClamped)
{
    writeState(*sender, buffer);
    putF32(3, 5.0e9f);
    putF32(23, -40.0f);
    buffer[27] = 0x80;  // health -128 / 125
    buffer[32] = 200;   // no such flight state
    ASSERT_TRUE(readState(*receiver, buffer));
    EXPECT_FLOAT_EQ(receiver->position().x, AirplaneNetState::kWorldLimit);
    EXPECT_FLOAT_EQ(receiver->speed(), 0.0f);
    EXPECT_FLOAT_EQ(receiver->health(), -1.0f);
    EXPECT_EQ(receiver->flightState(), FlightState::Normal);
    const Quat q = receiver->orientation();
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-5f);
}
}  // namespace
