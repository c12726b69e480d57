#include "gamedata/records/WeaponCfg.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
constexpr SerEnumValue kTypeNames[] = {
    {kWeaponMachinegun, "machinegun"},   {kWeaponAllAspect, "all_aspect"},
    {kWeaponJointStrike, "joint_strike"}, {kWeaponMultiAir, "multi_air"},
    {kWeaponMultiGround, "multi_ground"}, {kWeaponRadarGuided, "radar_guided"},
    {kWeaponNone, "none"},               {kWeaponAlienQuick, "alien_quick"},
    {kWeaponAlienLaser, "alien_laser"},   {kWeaponSimple, "simple"},
    {kWeaponFlak, "flak"},               {kWeaponSmoke, "smoke"},
};

float nonNegative(float value)
{
    return std::isfinite(value) ? std::clamp(value, 0.0f, WeaponCfg::kMaxValue) : 0.0f;
}
}  // namespace

std::span<const SerEnumValue> weaponTypeNames() { return kTypeNames; }

void WeaponCfg::describe(SerMembers& members)
{
    members.add("name", name);
    members.add("weapon_id", weapon_id);
    members.add("type", type, kTypeNames);
    members.add("damage", damage);
    members.add("description", description);
    members.add("damage_stat", damage_stat);
    members.add("speed", speed);
    members.add("reloadTime", reloadTime);
    members.add("numSlots", numSlots);
    members.add("spread", spread);
    members.add("splash_range", splash_range);
    members.add("usableFlags", usableFlags);
    members.add("slotUsed", slotUsed);
    members.add("frameUsed", frameUsed);
    members.add("playerDamage", playerDamage);
    members.add("dmgNaval", dmgNaval);
    members.add("dmgLand", dmgLand);
    members.add("dmgAir", dmgAir);
    members.add("blastRadius", blastRadius);
    members.add("blastDamage", blastDamage);
    members.add("silent", silent);
    members.add("subtype", subtype);
    members.add("life", life);
    members.add("turnRate", turnRate);
    members.add("lockTime", lockTime);
    members.add("lockKind", lockKind);
    members.add("lockRange", lockRange);
    members.add("ammo", ammo);
    members.add("iconIndex", iconIndex);
}

bool WeaponCfg::validate(std::string& error)
{
    if (weapon_id < 0 || weapon_id > kMaxWeaponId) {
        error = "weapon_id " + std::to_string(weapon_id) + " outside 0.." + std::to_string(kMaxWeaponId);
        return false;
    }
    if (type < 0 || type >= static_cast<int>(std::size(kTypeNames))) {
        error = "unknown weapon type " + std::to_string(type);
        return false;
    }
    // Sizes the launcher timer array.
    numSlots = std::clamp(numSlots, 1, kMaxSlots);
    for (float* value : {&damage, &damage_stat, &speed, &spread, &splash_range, &playerDamage, &dmgNaval, &dmgLand,
                         &dmgAir, &blastRadius, &blastDamage, &life, &turnRate, &lockTime, &lockRange})
        *value = nonNegative(*value);
    // A zero interval would fire every frame at any frame rate.
    reloadTime = std::max(nonNegative(reloadTime), 0.01f);
    subtype = std::clamp(subtype, 0, 2);
    lockKind = std::clamp(lockKind, 0, 1);
    ammo = std::max(ammo, 0);
    if (iconIndex < 0)
        iconIndex = frameUsed;
    return true;
}
