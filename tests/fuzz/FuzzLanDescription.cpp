// libFuzzer entry for the game description a LAN host sends with its
// discovery answer: the first byte is the number of maps this side has, the
// rest the description. Any bytes read without a fault, and a description
// that makes a row names a known map and game type and at most 31 units.
#include "menus/multiplayer/LanGameDescription.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int mapCount = data[0] % 33;
    LanGameDescription game;
    if (!game.read(std::span<const std::uint8_t>(data + 1, size - 1), mapCount))
        return 0;
    if (!isHostedGameType(game.gameType) || game.mapIndex < 0 || game.mapIndex >= mapCount)
        std::abort();
    if (game.name.size() > LanGameDescription::kMaxNameUnits)
        std::abort();
    for (char16_t c : game.name)
        if (c == 0)
            std::abort();
    if (game.info.bytes[62] != 0 || game.info.bytes[63] != 0)
        std::abort();
    return 0;
}
