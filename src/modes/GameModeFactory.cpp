#include "modes/GameModeFactory.h"

#include "modes/GameMode.h"

std::unique_ptr<GameMode> createGameMode(int gameType)
{
    if (!isKnownGameType(gameType))
        return nullptr;
    // Every type plays by the base rules until its own kind exists.
    return std::make_unique<GameMode>(static_cast<GameType>(gameType));
}
