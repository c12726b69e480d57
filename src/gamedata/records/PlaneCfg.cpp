#include "gamedata/records/PlaneCfg.h"

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
float finiteOr(float value, float fallback) { return std::isfinite(value) ? value : fallback; }
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
    plane_tier = std::clamp(plane_tier, 0, kMaxTier);
    // The damage rule divides by armour - 0.5 in campaign missions.
    pArmour = std::max(finiteOr(pArmour, 1.0f), kMinArmour);
    pDamage = std::max(finiteOr(pDamage, 1.0f), 0.0f);
    pFlares = std::clamp(pFlares, 0, kMaxFlares);
    pMinSpeed = std::max(finiteOr(pMinSpeed, 0.0f), 0.0f);
    pSpeedSpan = std::max(finiteOr(pSpeedSpan, 150.0f), 1.0f);
    pStallSpeed = std::clamp(finiteOr(pStallSpeed, 40.0f), 0.0f, topSpeed());
    pFaintStart = finiteOr(pFaintStart, 4.5f);
    pFaintEnd = std::max(finiteOr(pFaintEnd, 8.5f), pFaintStart + 0.1f);
    pEngine = std::clamp(pEngine, 0, 1);
    for (float* stat : {&pWeaponry, &pStructure, &pAerodynamics, &pLuck})
        *stat = std::clamp(finiteOr(*stat, 0.0f), 0.0f, 1.0f);
    // A random paint row is picked modulo the count, so there is always one.
    if (paints.count() > kMaxPaintRows)
        paints.resize(kMaxPaintRows);
    if (paints.count() == 0)
        paints.resize(1);
    return true;
}
