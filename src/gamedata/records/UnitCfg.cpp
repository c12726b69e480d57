#include "gamedata/records/UnitCfg.h"

#include <algorithm>
#include <cmath>

void UnitWeaponCfg::describe(SerMembers& members)
{
    members.add("name", name);
    members.add("offset", offset);
}

void UnitCfg::describe(SerMembers& members)
{
    members.add("name", name);
    members.add("kind", kind);
    members.add("variant", variant);
    members.add("model", model);
    members.add("health", health);
    members.add("radarFactor", radarFactor);
    members.add("targetable", targetable);
    members.add("weapons", weapons);
    members.add("gibs", gibs);
    members.add("size", size);
    members.add("speed", speed);
    members.add("display", display);
}

bool UnitCfg::validate(std::string& error)
{
    if (name.size() > kMaxNameBytes) {
        error = "unit name \"" + name + "\" longer than " + std::to_string(kMaxNameBytes) + " bytes";
        return false;
    }
    if (model.empty()) {
        error = "no \"model\"";
        return false;
    }
    if (kind < 1 || kind > 11) {
        error = "unit kind " + std::to_string(kind) + " outside 1..11";
        return false;
    }
    // Health divides the health bar and starts every life.
    health = std::isfinite(health) ? std::max(health, 1.0f) : 100.0f;
    speed = std::isfinite(speed) ? std::max(speed, 0.0f) : 0.0f;
    if (weapons.count() > kMaxWeapons)
        weapons.resize(kMaxWeapons);
    gibs = std::clamp(gibs, 0, 4);
    return true;
}
