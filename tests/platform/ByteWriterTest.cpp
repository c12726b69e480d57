#include "platform/ByteWriter.h"

#include "platform/ByteReader.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {
// Every value type lands little-endian, and ByteReader reads the same values back.
TEST(ByteWriter, WritesLittleEndianWhatTheReaderReadsBack)
{
    std::array<std::uint8_t, 24> out{};
    out.fill(0xEE);
    ByteWriter w(out);
    EXPECT_TRUE(w.u8(0x81) && w.u16(0x1234) && w.i16(-2) && w.u32(0xA1B2C3D4u) && w.i32(-7) && w.f32(1.5f) &&
                w.zeros(2) && w.bytes("xy", 2));
    ASSERT_EQ(w.size(), 21u);
    const std::vector<std::uint8_t> head(out.begin(), out.begin() + 9);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{0x81, 0x34, 0x12, 0xFE, 0xFF, 0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(out[17], 0);
    EXPECT_EQ(out[18], 0);
    EXPECT_EQ(out[19], 'x');
    EXPECT_EQ(out[21], 0xEE);  // nothing past what was written
    EXPECT_EQ(w.written().size(), 21u);

    ByteReader r(w.written());
    std::uint8_t a = 0;
    std::uint16_t b = 0;
    std::int16_t c = 0;
    std::uint32_t d = 0;
    std::int32_t e = 0;
    float f = 0.0f;
    ASSERT_TRUE(r.u8(a) && r.u16(b) && r.i16(c) && r.u32(d) && r.i32(e) && r.f32(f) && r.skip(4));
    EXPECT_EQ(a, 0x81);
    EXPECT_EQ(b, 0x1234);
    EXPECT_EQ(c, -2);
    EXPECT_EQ(d, 0xA1B2C3D4u);
    EXPECT_EQ(e, -7);
    EXPECT_EQ(f, 1.5f);
    EXPECT_TRUE(r.atEnd());
}

// A value that does not fit writes none of its bytes, and every later write
// fails too, even one that would fit; the writer reports nothing written.
TEST(ByteWriter, AWritePastTheEndFailsAndStaysFailed)
{
    for (std::size_t room = 0; room < 4; ++room) {
        std::array<std::uint8_t, 4> out{};
        out.fill(0x5A);
        ByteWriter w{std::span(out).first(room)};
        EXPECT_FALSE(w.u32(0)) << room;
        EXPECT_TRUE(w.failed());
        EXPECT_EQ(out[0], 0x5A) << room;
        EXPECT_FALSE(w.u8(1));
        EXPECT_FALSE(w.zeros(0));
        EXPECT_EQ(w.size(), 0u);
        EXPECT_TRUE(w.written().empty());
    }
    std::array<std::uint8_t, 3> out{};
    ByteWriter w(out);
    EXPECT_TRUE(w.u16(1));
    EXPECT_FALSE(w.zeros(2));
    EXPECT_FALSE(w.bytes("a", 1));
    EXPECT_FALSE(w.f32(0.0f));
    // Exactly full is not failed.
    ByteWriter full(out);
    EXPECT_TRUE(full.u8(1) && full.u16(2));
    EXPECT_FALSE(full.failed());
    EXPECT_EQ(full.size(), 3u);
}

// Without a span the writer grows, and hands over what it wrote once.
TEST(ByteWriter, AGrowingWriterHandsOverItsBytes)
{
    ByteWriter w;
    EXPECT_TRUE(w.u16(0xBEEF) && w.zeros(3) && w.bytes(nullptr, 0) &&
                w.f32(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(w.size(), 9u);
    const std::vector<std::uint8_t> bytes = w.take();
    ASSERT_EQ(bytes.size(), 9u);
    EXPECT_EQ(bytes[0], 0xEF);
    EXPECT_EQ(bytes[4], 0);
    // The reader refuses the NaN the writer was given.
    ByteReader r(bytes);
    float f = 0.0f;
    EXPECT_TRUE(r.skip(5));
    EXPECT_FALSE(r.f32(f));
    EXPECT_TRUE(w.take().empty());
}
}  // namespace
