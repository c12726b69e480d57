#include "net/match/ServerInfo.h"

#include <algorithm>

void ServerInfo::clear()
{
    bytes.fill(0);
    setU32(Marker1, 456);
    setU32(Marker2, 789456);
    bytes[PlayerCount] = 1;
}

void ServerInfo::setName(const std::u16string& name)
{
    std::fill_n(bytes.begin(), 64, std::uint8_t{0});
    const std::size_t n = std::min<std::size_t>(name.size(), 31);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(name[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(name[i] >> 8);
    }
}

std::u16string ServerInfo::name() const
{
    std::u16string out;
    for (std::size_t i = 0; i < 31; ++i) {
        const auto unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (unit == 0)
            break;
        out.push_back(unit);
    }
    return out;
}

void ServerInfo::setU32(std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

std::uint32_t ServerInfo::u32(std::size_t at) const
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}
