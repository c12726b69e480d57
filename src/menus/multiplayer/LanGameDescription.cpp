#include "menus/multiplayer/LanGameDescription.h"

#include "platform/ByteReader.h"

#include <algorithm>

bool isHostedGameType(int type)
{
    switch (type) {
    case 2: case 3: case 4: case 5: case 6: case 10: case 13:
        return true;
    default:
        return false;
    }
}

bool LanGameDescription::read(std::span<const std::uint8_t> bytes, int mapCount)
{
    if (bytes.size() < ServerInfo::kSize)
        return false;
    std::copy_n(bytes.begin(), ServerInfo::kSize, info.bytes.begin());
    gameType = info.bytes[ServerInfo::GameType];
    mapIndex = info.bytes[ServerInfo::MapIndex];
    players = info.bytes[ServerInfo::PlayerCount];
    maxPlayers = info.bytes[ServerInfo::MaxPlayers];
    if (!isHostedGameType(gameType) || mapIndex >= mapCount)
        return false;
    name.clear();
    ByteReader r{std::span(info.bytes).first(2 * kMaxNameUnits)};
    std::uint16_t c = 0;
    while (r.u16(c) && c != 0)
        name.push_back(static_cast<char16_t>(c));
    // The copy kept is terminated as well, for whoever reads it next.
    info.bytes[2 * kMaxNameUnits] = 0;
    info.bytes[2 * kMaxNameUnits + 1] = 0;
    return true;
}
