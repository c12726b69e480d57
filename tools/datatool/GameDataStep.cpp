// Loads the staged plane, weapon, unit and map lists with the game's own
// loaders, fails the run when any record is skipped, and prints a page of
// the aircraft's numbers so a person can judge the balance.
#include "DataTool.h"
#include "StagedRecords.h"

#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "platform/File.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr float kMetresPerSecondToKmh = 3.6f;
constexpr float kDegreesPerRadian = 57.29578f;

void printAircraftSummary(const PlaneList& planes, const WeaponList& weapons)
{
    std::printf("\nAircraft: speeds in km/h, rates in degrees a second, gun damage a second\n");
    std::printf("%3s %-11s %-4s %-4s %5s %5s %5s %5s %6s %5s %3s  %-24s %-17s %-17s\n", "id", "name", "tier", "eng",
                "top", "stall", "pitch", "roll", "armour", "dmg", "fl", "gun (dps)", "slot 0", "slot 1");
    for (int i = 0; i < planes.count(); ++i) {
        const PlaneCfg& p = *planes.at(i);
        const WeaponCfg* gun = weapons.findByName(p.pGunWeapon);
        const float dps = gun ? gun->damage * float(gun->numSlots) / gun->reloadTime : 0.0f;
        char gunText[40];
        std::snprintf(gunText, sizeof gunText, "%s (%.0f)", p.pGunWeapon.c_str(), dps);
        std::printf("%3d %-11s %-4d %-4s %5.0f %5.0f %5.0f %5.0f %6.2f %5.2f %3d  %-24s %-17s %-17s\n", p.plane_id,
                    p.name.c_str(), p.plane_tier, p.pEngine ? "jet" : "prop", p.topSpeed() * kMetresPerSecondToKmh,
                    p.pStallSpeed * kMetresPerSecondToKmh, p.pPitchRate * kDegreesPerRadian,
                    p.pRollRate * kDegreesPerRadian, p.pArmour, p.pDamage, p.pFlares, gunText,
                    p.sp_weapon0.empty() ? "-" : p.sp_weapon0.c_str(), p.sp_weapon1.empty() ? "-" : p.sp_weapon1.c_str());
    }
    std::printf("%d aircraft in %d tiers, %d weapons\n\n", planes.count(), planes.tierCount(), weapons.count());
}

bool checkGameData(DataContext& context)
{
    StagedRecords records(context);
    records.finish();
    for (const std::string& fault : records.faults)
        context.error(fault);
    if (!records.faults.empty())
        return false;
    printAircraftSummary(records.planes, records.weapons);
    return true;
}
}  // namespace

SKYFRONT_DATA_STEP(800, "game data check", checkGameData);
