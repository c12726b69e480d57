#include "net/match/ServerInfo.h"

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

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
    ByteWriter w{std::span(bytes).first(64)};
    const std::size_t n = std::min<std::size_t>(name.size(), 31);
    for (std::size_t i = 0; i < n; ++i)
        w.u16(name[i]);
    w.zeros(64 - 2 * n);
}

std::u16string ServerInfo::name() const
{
    std::u16string out;
    ByteReader r{std::span(bytes).first(62)};
    std::uint16_t unit = 0;
    while (r.u16(unit) && unit != 0)
        out.push_back(static_cast<char16_t>(unit));
    return out;
}

void ServerInfo::setU32(std::size_t at, std::uint32_t value)
{
    ByteWriter(std::span(bytes).subspan(at, 4)).u32(value);
}

std::uint32_t ServerInfo::u32(std::size_t at) const
{
    std::uint32_t value = 0;
    ByteReader(std::span(bytes).subspan(at, 4)).u32(value);
    return value;
}
