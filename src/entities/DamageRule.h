#pragma once

struct PlaneCfg;
struct WeaponCfg;
class Target;

// The arithmetic of one hit, apart from who may be hit: the host's damage
// service decides that and then asks here how much the hit takes away.
struct DamageContext {
    bool campaign = false;         // campaign missions scale by difficulty and use the harder armour rule
    float dealtScale = 1.0f;       // divides damage the player deals (campaign)
    float takenScale = 1.0f;       // multiplies damage the player takes (campaign)
    bool victimIsPlayer = false;
    bool attackerIsPlayer = false;
    float attackerItemFactor = 1.0f;  // map item attack factor of the attacker
    float victimItemFactor = 1.0f;    // map item defence factor of the victim
};

// Smallest divisor the armour rule uses. Armour of 0.5 or less would divide
// by zero or turn a hit into healing in campaign missions.
constexpr float kMinArmourDivisor = 0.25f;
// Smallest difficulty scale a division uses.
constexpr float kMinDifficultyScale = 0.1f;

float armourDivisor(float armour, bool campaign);
// The damage a hit of `damage` does to victim, given the attacker (may be
// null) and the weapon record (may be null). Never negative, never NaN.
float damageAfterRules(float damage, const Target& victim, const Target* attacker, const WeaponCfg* weapon,
                       const DamageContext& context);
