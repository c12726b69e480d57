#pragma once

// What kind of game a mode runs; stored in saves and sent to clients as these numbers.
enum class GameType : int {
    Campaign = 1,
    FreeForAll = 2,
    TeamDeathmatch = 3,
    CaptureTheFlag = 4,
    DestroyTheBase = 5,
    Survival = 6,
    Dogfight = 7,
    MenuBackground = 8,
    Tutorial = 9,
    FreeFlight = 10,
    CampaignLike = 11,  // played by the campaign's rules
    LastManStanding = 13,
};

// Matches are everything but the campaign's missions.
constexpr bool isMatchType(GameType type) { return type != GameType::Campaign && type != GameType::CampaignLike; }
// False for numbers no game type has (12, 0, anything from outside).
constexpr bool isKnownGameType(int type) { return (type >= 1 && type <= 11) || type == 13; }
