#include "menus/multiplayer/RoomEntry.h"

#include "platform/ByteReader.h"

#include <algorithm>
#include <cstring>

void RoomEntry::assign(const std::uint8_t* message)
{
    if (message)
        std::memcpy(bytes.data(), message, kSize);
}

bool RoomEntry::listedMode(int mode)
{
    switch (mode) {
    case 2: case 3: case 4: case 5: case 6: case 10: case 13:
        return true;
    default:
        return false;
    }
}

bool RoomEntry::acceptable(const std::uint8_t* message, int mapCount)
{
    if (!message)
        return false;
    std::uint16_t length = 0;
    ByteReader(std::span<const std::uint8_t>(message + 41, 2)).u16(length);
    return length == kInfoSize && message[kInfoAt + kMapAt] < mapCount &&
           listedMode(message[kInfoAt + kModeAt]);
}

std::string RoomEntry::name() const
{
    const char* text = reinterpret_cast<const char*>(bytes.data() + kNameAt);
    // The last byte of the field stands in for a terminator the server forgot.
    return std::string(text, strnlen(text, kNameBytes - 1));
}

std::uint16_t RoomEntry::u16(std::size_t at) const
{
    std::uint16_t v = 0;
    ByteReader(std::span(bytes).subspan(at, 2)).u16(v);
    return v;
}

std::uint32_t RoomEntry::u32(std::size_t at) const
{
    std::uint32_t v = 0;
    ByteReader(std::span(bytes).subspan(at, 4)).u32(v);
    return v;
}

int rankBrackets(std::int64_t rank)
{
    if (rank < 0 || rank > RoomEntry::kMaxRank)
        return 8;
    if (rank <= 3)
        return 1;
    if (rank <= 5)
        return 3;
    if (rank == 6)
        return 2;
    if (rank <= 9)
        return 6;
    return 4;
}

namespace {
int lowestBit(int bits)
{
    int index = 0;
    while (index < 4 && !(bits & (1 << index)))
        ++index;
    return index;
}
}  // namespace

int bracketDistance(std::int64_t playerRank, std::int64_t hostRank)
{
    const int a = rankBrackets(playerRank), b = rankBrackets(hostRank);
    if (playerRank == hostRank || (a & b) != 0)
        return 0;
    return lowestBit(b) - lowestBit(a);
}

int bracketSortKey(int bracket)
{
    return bracket >= 0 ? bracket : 100 - bracket;
}

bool roomFollows(int keyA, std::int64_t rankA, int keyB, std::int64_t rankB)
{
    if (keyA != keyB)
        return keyA > keyB;
    return keyA < 100 ? rankA > rankB : rankA < rankB;
}

int readRoomPlayers(const std::uint8_t* message, std::size_t length, std::array<RoomPlayerLine, 8>& out)
{
    constexpr std::size_t kCountAt = 38, kOffsetsAt = 39, kNamesAt = 311, kMaxName = 63;
    for (RoomPlayerLine& line : out)
        line = RoomPlayerLine{};
    if (!message || length <= kCountAt)
        return 0;
    int n = std::min<int>(message[kCountAt], static_cast<int>(out.size()));
    n = std::min<int>(n, static_cast<int>(length - kOffsetsAt));
    for (int i = 0; i < n; ++i) {
        RoomPlayerLine& line = out[static_cast<std::size_t>(i)];
        const std::size_t rankAt = 6 + 2 * static_cast<std::size_t>(i);
        std::uint16_t rank = 0;
        ByteReader(std::span<const std::uint8_t>(message + rankAt, 2)).u16(rank);
        line.rank = std::min<int>(rank, RoomEntry::kMaxRank);
        const std::size_t at = kNamesAt + message[kOffsetsAt + static_cast<std::size_t>(i)];
        if (at >= length)
            continue;
        const std::size_t room = std::min(length - at, kMaxName);
        const char* text = reinterpret_cast<const char*>(message + at);
        line.name.assign(text, strnlen(text, room));
    }
    return n;
}
