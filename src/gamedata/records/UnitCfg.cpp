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
    health = std::isfinite(health) ? std::clamp(health, 1.0f, kMaxHealth) : 100.0f;
    speed = std::isfinite(speed) ? std::clamp(speed, 0.0f, kMaxSpeed) : 0.0f;
    radarFactor = std::isfinite(radarFactor) ? std::clamp(radarFactor, -1.0f, kMaxRadarFactor) : -1.0f;
    for (float* extent : {&size.x, &size.y, &size.z})
        *extent = std::isfinite(*extent) ? std::clamp(*extent, 0.0f, kMaxExtent) : 1.0f;
    if (weapons.count() > kMaxWeapons)
        weapons.resize(kMaxWeapons);
    for (int i = 0; i < weapons.count(); ++i) {
        Vec3& offset = weapons.at(i)->offset;
        for (float* axis : {&offset.x, &offset.y, &offset.z})
            *axis = std::isfinite(*axis) ? std::clamp(*axis, -kMaxExtent, kMaxExtent) : 0.0f;
    }
    gibs = std::clamp(gibs, 0, 4);
    return true;
}
