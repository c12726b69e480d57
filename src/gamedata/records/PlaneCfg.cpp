#include "gamedata/records/PlaneCfg.h"

#include "platform/Log.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>

void PaintRowCfg::describe(SerMembers& members)
{
    members.add("color0", color0);
    members.add("color1", color1);
}

PlanePaint PaintRowCfg::toPaint() const
{
    PlanePaint paint;
    paint.hue0 = color0.x;
    paint.saturation0 = color0.y;
    paint.value0 = color0.z;
    paint.hue1 = color1.x;
    paint.saturation1 = color1.y;
    paint.value1 = color1.z;
    return paint;
}

void PlaneCfg::describe(SerMembers& members)
{
    members.add("name", name);
    members.add("plane_id", plane_id);
    members.add("plane_tier", plane_tier);
    members.add("shortname", shortname);
    members.add("fullname", fullname);
    members.add("file", file);
    members.add("ap_bonus", ap_bonus);
    members.add("sp_weapon0", sp_weapon0);
    members.add("sp_weapon1", sp_weapon1);
    members.add("pDamage", pDamage);
    members.add("pArmour", pArmour);
    members.add("pStallSpeed", pStallSpeed);
    members.add("pFlares", pFlares);
    members.add("pFaintStart", pFaintStart);
    members.add("pFaintEnd", pFaintEnd);
    members.add("pStrInfo", pStrInfo);
    members.add("pWeaponry", pWeaponry);
    members.add("pStructure", pStructure);
    members.add("pAerodynamics", pAerodynamics);
    members.add("pLuck", pLuck);
    members.add("pMinSpeed", pMinSpeed);
    members.add("pSpeedSpan", pSpeedSpan);
    members.add("pCruiseSpeed", pCruiseSpeed);
    members.add("pAccel", pAccel);
    members.add("pPitchRate", pPitchRate);
    members.add("pRollRate", pRollRate);
    members.add("pYawRate", pYawRate);
    members.add("pRadarRange", pRadarRange);
    members.add("pEngine", pEngine);
    members.add("pGunWeapon", pGunWeapon);
    members.add("pStartUnlocked", pStartUnlocked);
    members.add("pHidden", pHidden);
    members.add("paints", paints);
}

namespace {
// Holds each value to its bounds and notes the names of those it had to move,
// so a record out of bounds costs one log line, not one per member.
struct Bounds {
    std::string moved;
    void hold(float& value, float low, float high, float fallback, const char* member)
    {
        const float held = std::isfinite(value) ? std::clamp(value, low, high) : fallback;
        if (held != value)
            note(member);
        value = held;
    }
    void hold(int& value, int low, int high, const char* member)
    {
        const int held = std::clamp(value, low, high);
        if (held != value)
            note(member);
        value = held;
    }
    void note(const char* member)
    {
        if (!moved.empty())
            moved += ", ";
        moved += member;
    }
};
}  // namespace

bool PlaneCfg::validate(std::string& error)
{
    if (plane_id < 0 || plane_id > kMaxPlaneId) {
        error = "plane_id " + std::to_string(plane_id) + " outside 0.." + std::to_string(kMaxPlaneId);
        return false;
    }
    if (file.empty()) {
        error = "no model \"file\"";
        return false;
    }
    Bounds b;
    b.hold(plane_tier, 0, kMaxTier, "plane_tier");
    // The damage rule divides by armour - 0.5 in campaign missions.
    b.hold(pArmour, kMinArmour, kMaxFactor, 1.0f, "pArmour");
    b.hold(pDamage, 0.0f, kMaxFactor, 1.0f, "pDamage");
    b.hold(ap_bonus, 0.0f, kMaxFactor, 1.0f, "ap_bonus");
    b.hold(pFlares, 0, kMaxFlares, "pFlares");
    // What the flight model flies: the top speed is the sum of the first two.
    b.hold(pMinSpeed, 0.0f, kMaxMinSpeed, 100.0f, "pMinSpeed");
    b.hold(pSpeedSpan, 1.0f, kMaxSpeedSpan, 100.0f, "pSpeedSpan");
    b.hold(pStallSpeed, 0.0f, topSpeed(), std::min(40.0f, topSpeed()), "pStallSpeed");
    b.hold(pCruiseSpeed, 0.0f, topSpeed(), std::min(100.0f, topSpeed()), "pCruiseSpeed");
    b.hold(pAccel, kMinAccel, kMaxAccel, 0.5f, "pAccel");
    b.hold(pPitchRate, 0.0f, kMaxTurnRate, 1.5f, "pPitchRate");
    b.hold(pRollRate, 0.0f, kMaxTurnRate, 3.0f, "pRollRate");
    b.hold(pYawRate, 0.0f, kMaxTurnRate, 0.5f, "pYawRate");
    b.hold(pRadarRange, -1.0f, kMaxFactor, -1.0f, "pRadarRange");
    b.hold(pFaintStart, 0.0f, kMaxFaint, 4.5f, "pFaintStart");
    b.hold(pFaintEnd, pFaintStart + 0.1f, kMaxFaint + 1.0f, std::max(8.5f, pFaintStart + 0.1f), "pFaintEnd");
    b.hold(pEngine, 0, 1, "pEngine");
    b.hold(pWeaponry, 0.0f, 1.0f, 0.0f, "pWeaponry");
    b.hold(pStructure, 0.0f, 1.0f, 0.0f, "pStructure");
    b.hold(pAerodynamics, 0.0f, 1.0f, 0.0f, "pAerodynamics");
    b.hold(pLuck, 0.0f, 1.0f, 0.0f, "pLuck");
    if (!b.moved.empty())
        logWarning("gamedata", "plane \"%s\": %s out of bounds; held to the bounds", name.c_str(), b.moved.c_str());
    // A random paint row is picked modulo the count, so there is always one.
    if (paints.count() > kMaxPaintRows)
        paints.resize(kMaxPaintRows);
    if (paints.count() == 0)
        paints.resize(1);
    return true;
}
