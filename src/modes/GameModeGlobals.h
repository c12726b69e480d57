#pragma once
#include <cstdint>
#include <string>

// What the menus choose for the next game; the running match is reached
// through currentMatch() (modes/Match.h).

// Set while the player holds the "Scores" action: the mode's score table is
// updated and drawn over the HUD, and the game does not pause.
bool& scorePeek();

// The tutorial the next game of type 9 plays (0..5); the tutorial list and
// the game start set it before the mode is made.
int& tutorialIndex();

// What the menus chose for the next game, read by the game start and the
// result pages. The saved difficulty, the selected plane, the selected map
// and the last skirmish type live in the settings record.
struct GameChoices {
    int currentCampaign = 0;
    int selectedMission = 0;
    int resume = 0;           // 1: continue from the mission's checkpoint
    int nextDifficulty = 1;   // 0 easy, 1 normal, 2 hard
    int duelMatch = 0;        // 1: the network game joined or opened is one against one
};
GameChoices& gameChoices();

// The host's match set-up as a joining client received it; the client's
// match plays by these instead of its own settings. Cleared when the client
// leaves the network game.
struct JoinedMatchSetup {
    bool valid = false;
    int scoreLimit = 0;
    int minutes = 0;
    int respawnDelay = 0;
    bool teamMatch = false;
    std::uint32_t optionFlags = 0;  // the weapon rule and the team variant
    std::u16string gameName;
};
JoinedMatchSetup& joinedMatchSetup();
