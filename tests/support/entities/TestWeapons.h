#pragma once
#include "gamedata/records/WeaponCfg.h"

// A guided weapon of round numbers, so the tests do not depend on the staged
// data; callers change what their case needs.
inline WeaponCfg testMissile(int weaponId, int type, int slots)
{
    WeaponCfg w;
    w.name = "test";
    w.weapon_id = weaponId;
    w.type = type;
    w.numSlots = slots;
    w.damage = 50.0f;
    w.speed = 500.0f;
    w.life = 8.0f;
    w.turnRate = 2.0f;
    w.lockTime = 1.0f;
    w.lockRange = 3000.0f;
    return w;
}

// The all-aspect seeker the removal tests chase targets with.
inline WeaponCfg testSeeker()
{
    WeaponCfg w = testMissile(41, kWeaponAllAspect, 2);
    w.name = "seeker";
    w.reloadTime = 0.2f;
    w.speed = 400.0f;
    w.lockRange = 4000.0f;
    return w;
}
