// The game records (aircraft, weapons, units, maps) read from text and held by
// their validate: the first byte picks the record, the rest is its text. What
// validates must hold only finite values inside the bounds validate promises,
// because the flight model, the damage rules and the world use them unchecked.
#include "FuzzTarget.h"

#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/UnitCfg.h"
#include "gamedata/records/WeaponCfg.h"

#include <cmath>

namespace {
bool within(float value, float low, float high)
{
    return std::isfinite(value) && value >= low && value <= high;
}

void checkPlane(const PlaneCfg& p)
{
    FUZZ_CHECK(p.plane_id >= 0 && p.plane_id <= PlaneCfg::kMaxPlaneId && !p.file.empty());
    FUZZ_CHECK(p.plane_tier >= 0 && p.plane_tier <= PlaneCfg::kMaxTier);
    FUZZ_CHECK(p.pFlares >= 0 && p.pFlares <= PlaneCfg::kMaxFlares);
    FUZZ_CHECK(within(p.pArmour, PlaneCfg::kMinArmour, PlaneCfg::kMaxFactor));
    FUZZ_CHECK(within(p.pDamage, 0.0f, PlaneCfg::kMaxFactor) && within(p.ap_bonus, 0.0f, PlaneCfg::kMaxFactor));
    FUZZ_CHECK(within(p.pMinSpeed, 0.0f, PlaneCfg::kMaxMinSpeed));
    FUZZ_CHECK(within(p.pSpeedSpan, 1.0f, PlaneCfg::kMaxSpeedSpan));
    FUZZ_CHECK(within(p.topSpeed(), 1.0f, PlaneCfg::kMaxMinSpeed + PlaneCfg::kMaxSpeedSpan));
    FUZZ_CHECK(within(p.pStallSpeed, 0.0f, p.topSpeed()) && within(p.pCruiseSpeed, 0.0f, p.topSpeed()));
    FUZZ_CHECK(within(p.pAccel, PlaneCfg::kMinAccel, PlaneCfg::kMaxAccel));
    for (const float rate : {p.pPitchRate, p.pRollRate, p.pYawRate})
        FUZZ_CHECK(within(rate, 0.0f, PlaneCfg::kMaxTurnRate));
    FUZZ_CHECK(within(p.pRadarRange, -1.0f, PlaneCfg::kMaxFactor));
    FUZZ_CHECK(within(p.pFaintStart, 0.0f, PlaneCfg::kMaxFaint) && p.pFaintEnd > p.pFaintStart &&
               std::isfinite(p.pFaintEnd));
    for (const float stat : {p.pWeaponry, p.pStructure, p.pAerodynamics, p.pLuck})
        FUZZ_CHECK(within(stat, 0.0f, 1.0f));
    FUZZ_CHECK(p.pEngine == 0 || p.pEngine == 1);
    FUZZ_CHECK(p.paints.count() >= 1 && p.paints.count() <= PlaneCfg::kMaxPaintRows);
}

void checkWeapon(const WeaponCfg& w)
{
    FUZZ_CHECK(w.weapon_id >= 0 && w.weapon_id <= WeaponCfg::kMaxWeaponId);
    FUZZ_CHECK(w.numSlots >= 1 && w.numSlots <= WeaponCfg::kMaxSlots);
    for (const float value : {w.damage, w.damage_stat, w.speed, w.spread, w.splash_range, w.playerDamage, w.dmgNaval,
                              w.dmgLand, w.dmgAir, w.blastRadius, w.blastDamage, w.life, w.turnRate, w.lockTime,
                              w.lockRange})
        FUZZ_CHECK(within(value, 0.0f, WeaponCfg::kMaxValue));
    FUZZ_CHECK(within(w.reloadTime, 0.01f, WeaponCfg::kMaxValue));
    FUZZ_CHECK(w.subtype >= 0 && w.subtype <= 2 && w.lockKind >= 0 && w.lockKind <= 1 && w.ammo >= 0);
    FUZZ_CHECK(w.iconIndex >= 0 || w.iconIndex == w.frameUsed);
}

void checkUnit(const UnitCfg& u)
{
    FUZZ_CHECK(u.name.size() <= UnitCfg::kMaxNameBytes && !u.model.empty() && u.kind >= 1 && u.kind <= 11);
    FUZZ_CHECK(within(u.health, 1.0f, UnitCfg::kMaxHealth) && within(u.speed, 0.0f, UnitCfg::kMaxSpeed));
    FUZZ_CHECK(within(u.radarFactor, -1.0f, UnitCfg::kMaxRadarFactor));
    for (const float extent : {u.size.x, u.size.y, u.size.z})
        FUZZ_CHECK(within(extent, 0.0f, UnitCfg::kMaxExtent));
    FUZZ_CHECK(u.weapons.count() <= UnitCfg::kMaxWeapons && u.gibs >= 0 && u.gibs <= 4);
    for (int i = 0; i < u.weapons.count(); ++i) {
        const Vec3& o = u.weapons.at(i)->offset;
        for (const float axis : {o.x, o.y, o.z})
            FUZZ_CHECK(within(axis, -UnitCfg::kMaxExtent, UnitCfg::kMaxExtent));
    }
}

void checkMap(const MapInfoCfg& m)
{
    FUZZ_CHECK(!m.terrain.empty());
    for (const float d : {m.difficulty.x, m.difficulty.y, m.difficulty.z})
        FUZZ_CHECK(within(d, MapInfoCfg::kMinDifficulty, 10.0f));
    FUZZ_CHECK(within(m.rainProb, 0.0f, 100.0f) && within(m.snowProb, 0.0f, 100.0f));
    FUZZ_CHECK(within(m.cloudAmount, 0.0f, 1.0f) && within(m.water, 0.0f, 1.0f));
    FUZZ_CHECK(within(m.sunValue, 0.04f, 0.96f) && within(m.fogStart, 0.0f, 1.0e6f));
    FUZZ_CHECK(m.treeCount >= 0 && m.missionPoints >= 0 && m.menuFrame >= 0);
    for (const int time : {m.goldTime, m.silverTime, m.goldTimeAce, m.silverTimeAce})
        FUZZ_CHECK(time >= 0);
}

template <typename Record, typename Check>
void readValidateCheck(std::string_view text, Check check)
{
    Record record;
    std::string error;
    if (!readRecord(text, "fuzz.cfg", record, error) || !record.validate(error))
        return;
    check(record);
    // A validated record written and read back validates to the same values.
    const std::string written = writeRecord(record);
    Record again;
    FUZZ_CHECK(readRecord(written, "written.cfg", again, error));
    FUZZ_CHECK(again.validate(error));
    FUZZ_CHECK(writeRecord(again) == written);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    if (size < 1)
        return 0;
    const std::string_view text = fuzz::text(data + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        readValidateCheck<PlaneCfg>(text, checkPlane);
        break;
    case 1:
        readValidateCheck<WeaponCfg>(text, checkWeapon);
        break;
    case 2:
        readValidateCheck<UnitCfg>(text, checkUnit);
        break;
    default:
        readValidateCheck<MapInfoCfg>(text, checkMap);
        break;
    }
    return 0;
}
