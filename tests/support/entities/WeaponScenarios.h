#pragma once
#include "entities/Target.h"

#include <cstdint>
#include <string>

struct WeaponCfg;

// A plain target moved by its velocity: ships, vehicles, gun sites.
class ScriptedTarget : public Target {
public:
    ScriptedTarget(IEntityHost& host, TargetKind kind, int team, float radius, float health);
    bool isGroundTarget() const override { return kind() != TargetKind::AirTarget; }
};

// Scripted firing drills: a shooter, a target and a pilot who does what a
// good player would, one seeded run at a time.
enum class Drill {
    None,           // the weapon does no damage (smoke, empty slots)
    GunBurst,       // half a second aimed at the lead point of a 300 u/s crossing target at 600
    LaserBurst,     // the beam held on a 300 u/s target at 600
    FlakBarrage,    // a gun site against an airplane passing at 1500
    GuidedStraight, // locked and launched at 2000 at a target flying (or driving) straight
    GuidedEvading,  // the same at an airplane that breaks hard and drops flares
    Rocket,         // one rocket at the lead point of a vehicle from 800
    Bomb,           // level release over a moving ship at the bomb sight's point
    Torpedo,        // dropped low ahead of a moving ship
};

const char* drillName(Drill drill);
// The drill a weapon is judged by.
Drill drillFor(const WeaponCfg& weapon);

struct DrillResult {
    bool hit = false;        // the target took damage from the shooter
    float damage = 0.0f;     // dealt to the target after the rules
    bool decoyed = false;    // a missile was pulled off by a flare
};

DrillResult runDrill(const WeaponCfg& weapon, Drill drill, std::uint32_t seed);

struct DrillRate {
    int hits = 0;
    int runs = 0;
    int decoyed = 0;
    float rate() const { return runs > 0 ? static_cast<float>(hits) / static_cast<float>(runs) : 0.0f; }
};
// Seeds 1..runs.
DrillRate rateDrill(const WeaponCfg& weapon, Drill drill, int runs);
