#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>

// "data/gamesdetection.lst": one line per other game of ours, "<app id>
// <bundle name>". Owning one of them unlocks a reward through the unlock
// rules, which live above the platform, hence the hooks.
inline constexpr const char* kGamesDetectionListName = "data/gamesdetection.lst";
constexpr int kUnlockEventHasOtherGame = 8;  // "ET_HAS_ZUB_GAME"

struct GamesDetectionEntry {
    std::uint32_t appId = 0;
    std::string bundle;
};

struct GamesDetectionHooks {
    std::function<bool(std::uint32_t appId)> isAppInstalled;  // false when unset
    std::function<void(int eventType)> fireUnlockEvent;       // nothing when unset
};
void setGamesDetectionHooks(GamesDetectionHooks hooks);

// Reads the list and keeps its entries; a missing file is an empty list.
// Malformed lines are skipped with one log line.
void loadGamesDetectionList();
// Fires the unlock event once when any listed game is installed.
void processGamesDetection();
void clearGamesDetection();
std::span<const GamesDetectionEntry> gamesDetectionList();
