#pragma once
#include "net/match/ServerInfo.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// What a LAN row shows of a host's game description, read from the bytes a
// discovery answer carried. Hosts are strangers: only a known map and a game
// type this program plays make a row, and the name stops at 31 units.
struct LanGameDescription {
    static constexpr std::size_t kMaxNameUnits = 31;

    ServerInfo info;
    std::u16string name;
    int gameType = 0;
    int mapIndex = 0;
    int players = 0;
    int maxPlayers = 0;

    // False, with nothing useful kept, for fewer than 110 bytes, a map index
    // at or past mapCount, or a game type that no LAN game has.
    bool read(std::span<const std::uint8_t> bytes, int mapCount);
};

// The game types a hosted game may have: 2-6, 10 and 13.
bool isHostedGameType(int type);
