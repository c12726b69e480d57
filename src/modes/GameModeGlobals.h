#pragma once
#include <memory>

class GameMode;

// The one rules object of the running game; null between games.
GameMode* currentGameMode();
// Makes the mode current, deleting the one before (its level is cleared first).
void setCurrentGameMode(std::unique_ptr<GameMode> mode);
// Deletes the current mode; nothing when there is none.
void deleteCurrentGameMode();
// Set once the result page has booked the finished game's points; making a
// new mode current clears it, so no road to the result books a game twice.
bool& gameResultBooked();
// Set while the player holds the "Scores" action: the mode's score table is
// updated and drawn over the HUD, and the game does not pause.
bool& scorePeek();

// The tutorial the next game of type 9 plays (0..5); the tutorial list and
// the game start set it before the mode is made.
int& tutorialIndex();

// Seconds since the round started; the mode's update advances it and the
// round reset zeroes it.
float gameClock();
void setGameClock(float seconds);

// Squared distances between entities by id, as of this frame's proximity pass.
// Ids outside 0..255 read as infinitely far and are never written.
class DistanceTable {
public:
    static constexpr int kSize = 256;
    float at(int a, int b) const;
    void set(int a, int b, float distanceSq);
    void clear();

private:
    float m_values[kSize * kSize] = {};
};
DistanceTable& distanceTable();

// How many entities each of teams 0 and 1 holds (added and moved by the mode).
struct TeamCounters {
    int team0 = 0;
    int team1 = 0;
    void add(int team, int delta);
};
TeamCounters& teamCounters();

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
