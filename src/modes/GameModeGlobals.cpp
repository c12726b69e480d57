#include "modes/GameModeGlobals.h"

#include "modes/GameMode.h"

#include <limits>

namespace {
std::unique_ptr<GameMode> g_current;
float g_clock = 0.0f;
DistanceTable g_distances;
TeamCounters g_teams;

bool validId(int id) { return id >= 0 && id < DistanceTable::kSize; }
}  // namespace

GameMode* currentGameMode() { return g_current.get(); }

void setCurrentGameMode(std::unique_ptr<GameMode> mode)
{
    deleteCurrentGameMode();
    g_current = std::move(mode);
}

void deleteCurrentGameMode()
{
    // Nobody may reach the mode through the global while it tears down.
    std::unique_ptr<GameMode> old = std::move(g_current);
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
