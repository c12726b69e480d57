#pragma once
#include "modes/GameType.h"

#include <memory>

class GameMode;

// The mode the game starts for a game type number (as menus, saves and the
// network carry it); null for a number no game type has.
std::unique_ptr<GameMode> createGameMode(int gameType);
