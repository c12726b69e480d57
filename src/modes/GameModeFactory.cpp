#include "modes/GameModeFactory.h"

#include "modes/GameMode.h"
#include "modes/kinds/GameModeFFA.h"
#include "modes/kinds/GameModeFreeFlight.h"

std::unique_ptr<GameMode> createGameMode(int gameType)
{
    if (!isKnownGameType(gameType))
        return nullptr;
    switch (static_cast<GameType>(gameType)) {
    case GameType::FreeForAll: return std::make_unique<GameModeFFA>();
    case GameType::TeamDeathmatch: return std::make_unique<GameModeTD>();
    case GameType::FreeFlight: return std::make_unique<GameModeFreeFlight>();
    case GameType::MenuBackground: return std::make_unique<GameModeMenu>();
    default: break;
    }
    // The other types play by the base rules until their own kind exists.
    return std::make_unique<GameMode>(static_cast<GameType>(gameType));
}
