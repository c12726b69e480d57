#include "platform/ByteReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// An empty name as the last thing of a file: the read of nothing succeeds
// without touching the bytes (the sanitizer build checks span indexing), and
// whatever the file still owes then fails.
TEST(ByteReader, ReadOfNothingAtTheEndSucceedsAndTheNextReadFails)
{
    const std::vector<std::uint8_t> bytes = {0x00, 0x00};
    ByteReader in(bytes);
    std::uint16_t length = 7;
    ASSERT_TRUE(in.count(length, 1));
    EXPECT_EQ(length, 0);
    std::string name;
    EXPECT_TRUE(in.bytes(name.data(), length));
    EXPECT_TRUE(in.atEnd());
    std::uint32_t next = 0;
    EXPECT_FALSE(in.u32(next));
    EXPECT_TRUE(in.failed());
    EXPECT_EQ(in.remaining(), 0u);

    ByteReader empty(std::span<const std::uint8_t>{});
    EXPECT_TRUE(empty.bytes(nullptr, 0));
    std::uint8_t byte = 0;
    EXPECT_FALSE(empty.u8(byte));
}
}  // namespace
