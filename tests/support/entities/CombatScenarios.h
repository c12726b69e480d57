#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class GameWorld;
class WeaponList;
struct PlaneCfg;

// Bots against bots in a SimHost over a map: two teams, the map's ground
// units, respawns, and a tally of what happened.
struct CombatSetup {
    GameWorld* world = nullptr;  // null: flat land; its objects link to the units made for them
    std::vector<const PlaneCfg*> planes;  // bot i of each team flies planes[i % size]
    const WeaponList* weapons = nullptr;  // null: unarmed bots that only chase
    int bots = 8;                         // split evenly between the teams
    float seconds = 300.0f;
    std::uint32_t seed = 1;
    std::array<float, 2> skill{0.5f, 0.5f};
    bool groundUnits = true;  // the map's armed units (flak at the bases)
    float frame = 1.0f / 60.0f;
};

struct CombatResult {
    std::array<int, 2> kills{};   // by the team that scored
    std::array<int, 2> deaths{};  // by the team that lost the plane
    std::array<int, 7> causes{};  // deaths by cause (CrashCause numbers)
    // Ground and water crashes of planes that took no hit in the last 15 s:
    // the pilot's own fault.
    int cleanCrashes = 0;
    int missilesFired = 0, missilesHit = 0;
    int missilesDecoyed = 0;  // ended without a hit after a flare pulled them off
    int terrainSaves = 0;  // pull-ups by the terrain guard
    double simSeconds = 0.0;
    double wallSeconds = 0.0;  // processor seconds of the run: one core's wall-clock time
    double speedFactor() const { return wallSeconds > 0.0 ? simSeconds / wallSeconds : 0.0; }
    // 0 or 1 with more kills; -1 for a draw.
    int winner() const { return kills[0] == kills[1] ? -1 : kills[0] > kills[1] ? 0 : 1; }
};

CombatResult runCombat(const CombatSetup& setup);
// One line of the figures.
std::string describeCombat(const CombatResult& r);
