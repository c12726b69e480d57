#include "modes/progress/IGameModeInfo.h"

namespace {
const IGameModeInfo* g_mode = nullptr;
}

void setCurrentMatchInfo(const IGameModeInfo* mode) { g_mode = mode; }
const IGameModeInfo* currentMatchInfo() { return g_mode; }

bool isNetworkGame(const IGameModeInfo* mode)
{
    return mode && (mode->isNetworkClient() || mode->isNetworkServer());
}

bool isSinglePlayerGame(const IGameModeInfo* mode) { return !mode || mode->isSinglePlayer(); }
