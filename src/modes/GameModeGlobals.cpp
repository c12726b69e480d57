#include "modes/GameModeGlobals.h"

#include "modes/GameMode.h"
#include "modes/progress/IGameModeInfo.h"

#include <limits>

namespace {
std::unique_ptr<GameMode> g_current;

// What progression reads of the current mode.
class CurrentModeInfo : public IGameModeInfo {
public:
    bool isNetworkClient() const override { return g_current && g_current->isNetworkClient(); }
    bool isNetworkServer() const override { return g_current && g_current->isNetworkServer(); }
    bool isSinglePlayer() const override { return !g_current || g_current->isSinglePlayer(); }
    int difficulty() const override { return g_current ? g_current->difficulty : 1; }
};
CurrentModeInfo g_info;
float g_clock = 0.0f;
DistanceTable g_distances;
TeamCounters g_teams;

bool validId(int id) { return id >= 0 && id < DistanceTable::kSize; }
}  // namespace

GameMode* currentGameMode() { return g_current.get(); }

int& tutorialIndex()
{
    static int index = 0;
    return index;
}

void setCurrentGameMode(std::unique_ptr<GameMode> mode)
{
    deleteCurrentGameMode();
    g_current = std::move(mode);
    if (g_current) {
        setCurrentGameModeInfo(&g_info);
        gameResultBooked() = false;
    }
}

bool& scorePeek()
{
    static bool peek = false;
    return peek;
}

bool& gameResultBooked()
{
    static bool booked = false;
    return booked;
}

void deleteCurrentGameMode()
{
    // Nobody may reach the mode through the global while it tears down.
    std::unique_ptr<GameMode> old = std::move(g_current);
    if (old)
        setCurrentGameModeInfo(nullptr);
    old.reset();
}

float gameClock() { return g_clock; }
void setGameClock(float seconds) { g_clock = seconds; }

float DistanceTable::at(int a, int b) const
{
    if (!validId(a) || !validId(b))
        return std::numeric_limits<float>::max();
    return m_values[a * kSize + b];
}

void DistanceTable::set(int a, int b, float distanceSq)
{
    if (!validId(a) || !validId(b))
        return;
    m_values[a * kSize + b] = distanceSq;
    m_values[b * kSize + a] = distanceSq;
}

void DistanceTable::clear()
{
    for (float& v : m_values)
        v = 0.0f;
}

DistanceTable& distanceTable() { return g_distances; }

void TeamCounters::add(int team, int delta)
{
    if (team == 0)
        team0 += delta;
    else if (team == 1)
        team1 += delta;
}

TeamCounters& teamCounters() { return g_teams; }

GameChoices& gameChoices()
{
    static GameChoices choices;
    return choices;
}
