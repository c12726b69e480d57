// The weapon kinds by the record's type.
#include "entities/weapons/Flak.h"
#include "entities/weapons/Launcher.h"
#include "entities/weapons/Machinegun.h"
#include "entities/weapons/MissileKinds.h"
#include "gamedata/records/WeaponCfg.h"

std::unique_ptr<Weapon> Weapon::makeKind(const WeaponCfg& record, Target& owner, int group, int id)
{
    switch (record.type) {
    case kWeaponMachinegun:
        return std::make_unique<Machinegun>(record, owner, group, id);
    case kWeaponAllAspect:
        return std::make_unique<Launcher<AllAspectMissile>>(record, owner, group, id);
    case kWeaponJointStrike:
        return std::make_unique<Launcher<JointStrikeMissile>>(record, owner, group, id);
    case kWeaponMultiAir:
        return std::make_unique<Launcher<MultiAAMissile>>(record, owner, group, id);
    case kWeaponMultiGround:
        return std::make_unique<Launcher<MultiAGMissile>>(record, owner, group, id);
    case kWeaponRadarGuided:
        return std::make_unique<Launcher<RadarGuidedMissile>>(record, owner, group, id);
    case kWeaponAlienQuick:
        return std::make_unique<Launcher<AlienQuickMissile>>(record, owner, group, id);
    case kWeaponAlienLaser:
        return std::make_unique<AlienLaser>(record, owner, group, id);
    case kWeaponSimple:
        return std::make_unique<Launcher<SimpleMissile>>(record, owner, group, id);
    case kWeaponFlak:
        return std::make_unique<Flak>(record, owner, group, id);
    case kWeaponSmoke:
        return std::make_unique<SmokeWeapon>(record, owner, group, id);
    default:
        // A slot that fires nothing.
        return std::make_unique<Weapon>(record, owner, group, id);
    }
}
