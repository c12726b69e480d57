#pragma once

// What progression asks of the game mode being played. The game mode fills it
// and registers itself while it runs; with none registered the game counts as
// single player (the menus, the loading screens).
class IGameModeInfo {
public:
    virtual ~IGameModeInfo() = default;
    virtual bool isNetworkClient() const = 0;
    virtual bool isNetworkServer() const = 0;
    virtual bool isSinglePlayer() const = 0;
    // 0 easy, 1 normal, 2 hard.
    virtual int difficulty() const = 0;
};

// Null clears it. Not owned.
void setCurrentMatchInfo(const IGameModeInfo* mode);
const IGameModeInfo* currentMatchInfo();

// Network play is hosting or joining; no mode is single player.
bool isNetworkGame(const IGameModeInfo* mode);
bool isSinglePlayerGame(const IGameModeInfo* mode);
